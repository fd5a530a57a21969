#ifndef TRAMO_MONITOR_AWAY_WIN32_H_
#define TRAMO_MONITOR_AWAY_WIN32_H_

#include <windows.h>

#include "monitor/sampler.h"

// Whether anybody works at the computer, as Windows tells it: the last
// keyboard or mouse input, the lock of this session and the input desktop.
class AwayWatch {
 public:
  // The lock comes as WM_WTSSESSION_CHANGE to window, between these two.
  void Start(HWND window);
  void Stop(HWND window);
  void OnSessionChange(WPARAM reason);

  // IsAway for this moment; asks Windows nothing while the rule is off.
  bool IsAwayNow(const AwayRule& rule) const;

 private:
  bool registered_ = false;
  bool locked_ = false;
};

#endif  // TRAMO_MONITOR_AWAY_WIN32_H_
