#include "platform/held_file_win32.h"

#include <windows.h>

namespace platform {

bool RetryWhileHeld(const std::function<bool()>& attempt, bool access_denied_too) {
  // Short sleeps: the holder lets go at a moment nobody announces.
  constexpr DWORD kStepMs = 20;
  const DWORD started = GetTickCount();
  for (;;) {
    if (attempt()) return true;
    const DWORD code = GetLastError();
    const bool held = code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION ||
                      (access_denied_too && code == ERROR_ACCESS_DENIED);
    if (!held || GetTickCount() - started >= kHeldFileWaitMs) {
      SetLastError(code);
      return false;
    }
    Sleep(kStepMs);
  }
}

}  // namespace platform
