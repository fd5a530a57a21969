#ifndef TRAMO_PLATFORM_HELD_FILE_WIN32_H_
#define TRAMO_PLATFORM_HELD_FILE_WIN32_H_

#include <functional>

namespace platform {

// How long a file another process holds is waited for, in milliseconds.
constexpr unsigned long kHeldFileWaitMs = 1000;

// Sync clients, backups and antivirus programs open files for a moment
// without sharing them. Calls attempt (false with the reason in
// GetLastError) again while it fails with a sharing or lock violation, for
// up to kHeldFileWaitMs; any other failure ends at once. With
// access_denied_too also while it fails with "access denied", which is how
// replacing a file that someone has open fails. On failure GetLastError
// holds the last attempt's reason, as if there had been no retry.
bool RetryWhileHeld(const std::function<bool()>& attempt, bool access_denied_too = false);

}  // namespace platform

#endif  // TRAMO_PLATFORM_HELD_FILE_WIN32_H_
