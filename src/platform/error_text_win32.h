#ifndef TRAMO_PLATFORM_ERROR_TEXT_WIN32_H_
#define TRAMO_PLATFORM_ERROR_TEXT_WIN32_H_

#include <string>

namespace platform {

// The system's own message for a Win32 error code (GetLastError), without
// the trailing line break; a generic text when the system has none.
std::string ErrorText(unsigned long code);

}  // namespace platform

#endif  // TRAMO_PLATFORM_ERROR_TEXT_WIN32_H_
