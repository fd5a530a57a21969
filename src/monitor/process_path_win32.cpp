#include "monitor/process_path.h"

#include <windows.h>
#include <tlhelp32.h>

#include "platform/wide_text_win32.h"

namespace {

// Vista's right for the image path and the exit code; granted where
// PROCESS_QUERY_INFORMATION | PROCESS_VM_READ is refused (elevated programs).
constexpr DWORD kQueryLimited = 0x1000;

using ImageNameFn = BOOL(WINAPI*)(HANDLE, DWORD, LPWSTR, PDWORD);
using ModuleNameFn = DWORD(WINAPI*)(HANDLE, HMODULE, LPWSTR, DWORD);

struct ImageQuery {
  ImageNameFn image_name = nullptr;  // Vista and later
  ModuleNameFn module_name = nullptr;  // XP: the main module through psapi
};

// Resolved once: the headers target XP, which lacks QueryFullProcessImageNameW.
const ImageQuery& LoadImageQuery() {
  static ImageQuery query = [] {
    ImageQuery result;
    result.image_name = reinterpret_cast<ImageNameFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "QueryFullProcessImageNameW")));
    if (result.image_name == nullptr) {
      if (HMODULE psapi = LoadLibraryA("psapi.dll")) {
        result.module_name = reinterpret_cast<ModuleNameFn>(
            reinterpret_cast<void*>(GetProcAddress(psapi, "GetModuleFileNameExW")));
      }
    }
    return result;
  }();
  return query;
}

// The system's image path works across bitness (the module list of a 64-bit
// process is unreadable from a 32-bit one) and with the limited right.
bool QueryImagePath(DWORD process_id, std::string* path) {
  const ImageQuery& query = LoadImageQuery();
  if (query.image_name == nullptr && query.module_name == nullptr) return false;
  const DWORD access =
      query.image_name != nullptr ? kQueryLimited : PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;
  HANDLE process = OpenProcess(access, FALSE, process_id);
  if (process == nullptr) return false;
  // Room for a long path (\\?\ folders), which MAX_PATH would refuse.
  std::wstring buffer(32768, L'\0');
  DWORD length = static_cast<DWORD>(buffer.size());
  if (query.image_name != nullptr) {
    if (!query.image_name(process, 0, &buffer[0], &length)) length = 0;
  } else {
    length = query.module_name(process, nullptr, &buffer[0], MAX_PATH);
  }
  // A handle keeps an ended process's id and name alive; it is gone all the same.
  DWORD exit_code = 0;
  const bool running = GetExitCodeProcess(process, &exit_code) && exit_code == STILL_ACTIVE;
  CloseHandle(process);
  if (length == 0 || !running) return false;
  *path = platform::Narrow(buffer.data(), static_cast<int>(length));
  return true;
}

struct CoreWindowSearch {
  DWORD owner;
  DWORD found;
};

bool HasClass(HWND window, const wchar_t* name) {
  wchar_t class_name[64] = {};
  return GetClassNameW(window, class_name, 64) != 0 && lstrcmpW(class_name, name) == 0;
}

BOOL CALLBACK FindForeignCoreWindow(HWND child, LPARAM context) {
  auto* search = reinterpret_cast<CoreWindowSearch*>(context);
  if (!HasClass(child, L"Windows.UI.Core.CoreWindow")) return TRUE;
  DWORD process_id = 0;
  if (GetWindowThreadProcessId(child, &process_id) == 0 || process_id == search->owner) {
    return TRUE;
  }
  search->found = process_id;
  return FALSE;
}

bool FindSnapshotName(DWORD process_id, std::string* name) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32W entry;
  entry.dwSize = sizeof(entry);
  bool found = false;
  for (BOOL more = Process32FirstW(snapshot, &entry); more && !found;
       more = Process32NextW(snapshot, &entry)) {
    if (entry.th32ProcessID == process_id) {
      found = true;
      entry.szExeFile[MAX_PATH - 1] = L'\0';
      *name = platform::Narrow(std::wstring(entry.szExeFile));
    }
  }
  CloseHandle(snapshot);
  return found;
}

}  // namespace

std::string GetProcessImageName(uint32_t process_id, bool full_path) {
  std::string path;
  if (!QueryImagePath(process_id, &path)) return std::string();
  return full_path ? path : path.substr(path.find_last_of('\\') + 1);
}

std::string GetWindowExePath(uintptr_t window) {
  HWND hwnd = reinterpret_cast<HWND>(window);
  DWORD owner = 0;
  if (!IsWindow(hwnd) || GetWindowThreadProcessId(hwnd, &owner) == 0) return std::string();
  WindowAnswers answers;
  answers.owner = owner;
  // Only a Store app's frame is searched: a walk of all children of, say, an
  // IDE's window costs milliseconds.
  if (HasClass(hwnd, L"ApplicationFrameWindow")) {
    CoreWindowSearch search{owner, 0};
    EnumChildWindows(hwnd, FindForeignCoreWindow, reinterpret_cast<LPARAM>(&search));
    answers.core_window_owner = search.found;
  }
  const DWORD process_id = WindowProcessOf(answers);
  answers.image_known = QueryImagePath(process_id, &answers.image_path);
  if (!answers.image_known) answers.listed = FindSnapshotName(process_id, &answers.bare_name);
  return ExePathOf(answers);
}
