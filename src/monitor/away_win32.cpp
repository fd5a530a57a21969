#include "monitor/away_win32.h"

#include <wtsapi32.h>

namespace {

// The lock screen, a secure desktop (UAC, Ctrl+Alt+Del) or a disconnected
// session: this process cannot open the desktop that takes the input.
bool InputDesktopIsOurs() {
  HDESK desktop = OpenInputDesktop(0, FALSE, DESKTOP_READOBJECTS);
  if (desktop == nullptr) return false;
  CloseDesktop(desktop);
  return true;
}

}  // namespace

void AwayWatch::Start(HWND window) {
  registered_ = WTSRegisterSessionNotification(window, NOTIFY_FOR_THIS_SESSION) != FALSE;
}

void AwayWatch::Stop(HWND window) {
  if (registered_) WTSUnRegisterSessionNotification(window);
  registered_ = false;
}

void AwayWatch::OnSessionChange(WPARAM reason) {
  if (reason == WTS_SESSION_LOCK) locked_ = true;
  if (reason == WTS_SESSION_UNLOCK) locked_ = false;
}

bool AwayWatch::IsAwayNow(const AwayRule& rule) const {
  if (rule.minutes == 0) return false;
  LASTINPUTINFO input = {};
  input.cbSize = sizeof(input);
  // Tick counts wrap after 49.7 days; the unsigned difference does not mind.
  const DWORD idle_ms = GetLastInputInfo(&input) ? GetTickCount() - input.dwTime : 0;
  return IsAway(rule, idle_ms, locked_ || !InputDesktopIsOurs());
}
