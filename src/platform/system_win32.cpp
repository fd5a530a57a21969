#include "platform/system.h"

#include <windows.h>
#include <shlobj.h>

#include "platform/wide_text_win32.h"
#include "support/datetime.h"

namespace platform {

double SystemNow() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return EncodeDateTime(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond,
                        t.wMilliseconds);
}

uint32_t SystemTickCount() { return GetTickCount(); }

std::string ExecutablePath() {
  wchar_t buffer[MAX_PATH + 1];
  const DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
  return Narrow(buffer, static_cast<int>(n));
}

namespace {

// The layout of PROCESS_MEMORY_COUNTERS (40 bytes in the 32-bit build).
struct MemoryCounters {
  DWORD cb;
  DWORD PageFaultCount;
  SIZE_T PeakWorkingSetSize;
  SIZE_T WorkingSetSize;
  SIZE_T QuotaPeakPagedPoolUsage;
  SIZE_T QuotaPagedPoolUsage;
  SIZE_T QuotaPeakNonPagedPoolUsage;
  SIZE_T QuotaNonPagedPoolUsage;
  SIZE_T PagefileUsage;
  SIZE_T PeakPagefileUsage;
};

using GetProcessMemoryInfoFn = BOOL(WINAPI*)(HANDLE, MemoryCounters*, DWORD);

}  // namespace

uint32_t WorkingSetSize() {
  // PsAPI is loaded at run time: older systems may lack it.
  static HMODULE psapi = LoadLibraryA("psapi.dll");
  if (psapi == nullptr) return 0;
  auto get_info = reinterpret_cast<GetProcessMemoryInfoFn>(
      reinterpret_cast<void*>(GetProcAddress(psapi, "GetProcessMemoryInfo")));
  if (get_info == nullptr) return 0;
  MemoryCounters counters = {};
  counters.cb = sizeof(counters);
  if (!get_info(GetCurrentProcess(), &counters, sizeof(counters))) return 0;
  return static_cast<uint32_t>(counters.WorkingSetSize);
}

std::string SpecialFolderPath(int csidl) {
  LPITEMIDLIST list = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &list)) || list == nullptr) {
    return std::string();
  }
  wchar_t buffer[MAX_PATH] = {};
  const bool found = SHGetPathFromIDListW(list, buffer) != FALSE;
  CoTaskMemFree(list);
  return found ? Narrow(buffer, lstrlenW(buffer)) : std::string();
}

std::string UserLongTimeText(double date_time) {
  const DateTimeParts parts = DecodeDateTime(date_time);
  SYSTEMTIME t = {};
  t.wYear = 2000;
  t.wMonth = 1;
  t.wDay = 1;
  t.wHour = static_cast<WORD>(parts.hour);
  t.wMinute = static_cast<WORD>(parts.minute);
  t.wSecond = static_cast<WORD>(parts.second);
  wchar_t buffer[80];
  const int n = GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &t, nullptr, buffer, 80);
  return n > 1 ? Narrow(buffer, n - 1) : FixedTimeText(date_time);
}

}  // namespace platform
