#include "support/events.h"

namespace {
EventSink* g_sink = nullptr;
}  // namespace

void SetEventSink(EventSink* sink) { g_sink = sink; }

EventSink* CurrentEventSink() { return g_sink; }

void AddEvent(int level, const std::string& text) {
  if (g_sink != nullptr) g_sink->AddEvent(level, text);
}
