#include "platform/system.h"

namespace platform {

namespace {
Clock* g_clock = nullptr;
}  // namespace

void SetClock(Clock* clock) { g_clock = clock; }

double Now() { return g_clock != nullptr ? g_clock->Now() : SystemNow(); }

uint32_t TickCount() {
  return g_clock != nullptr ? g_clock->TickCount() : SystemTickCount();
}

}  // namespace platform
