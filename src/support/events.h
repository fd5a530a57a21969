#ifndef TRAMO_SUPPORT_EVENTS_H_
#define TRAMO_SUPPORT_EVENTS_H_

#include <string>

// Receiver of failure events: the program never shows ordinary failures in
// dialogs; each becomes one event (level 0-3, higher is more serious).
class EventSink {
 public:
  virtual ~EventSink() = default;
  virtual void AddEvent(int level, const std::string& text) = 0;
};

// Installs the process-wide receiver (not owned); nullptr removes it.
void SetEventSink(EventSink* sink);
EventSink* CurrentEventSink();

// Forwards to the installed receiver; events before one exists are dropped.
void AddEvent(int level, const std::string& text);

#endif  // TRAMO_SUPPORT_EVENTS_H_
