#include "monitor/window_title.h"

#include <windows.h>

#include "platform/wide_text_win32.h"

std::string ReadWindowTitle(uintptr_t window) {
  HWND hwnd = reinterpret_cast<HWND>(window);
  // Read as UTF-16: the A call would give the system's code page, which on
  // a Western system has no room for "ř", "č" or "ů".
  wchar_t title[256] = {};
  int count = GetWindowTextLengthW(hwnd) + 1;
  if (count > 255) count = 255;
  const int read = GetWindowTextW(hwnd, title, count);
  return platform::Narrow(title, read);
}
