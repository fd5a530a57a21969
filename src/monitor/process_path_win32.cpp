#include "monitor/process_path.h"

#include <windows.h>
#include <tlhelp32.h>

namespace {

using ModuleNameFn = DWORD(WINAPI*)(HANDLE, HMODULE, LPSTR, DWORD);
using ImageNameFn = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);

struct PsApi {
  ModuleNameFn file_name = nullptr;
  ModuleNameFn base_name = nullptr;
  ImageNameFn image_name = nullptr;  // Vista and later
};

// PsAPI is loaded at first use and kept for the life of the process.
const PsApi& LoadPsApi() {
  static PsApi api = [] {
    PsApi result;
    if (HMODULE module = LoadLibraryA("psapi.dll")) {
      result.file_name = reinterpret_cast<ModuleNameFn>(
          reinterpret_cast<void*>(GetProcAddress(module, "GetModuleFileNameExA")));
      result.base_name = reinterpret_cast<ModuleNameFn>(
          reinterpret_cast<void*>(GetProcAddress(module, "GetModuleBaseNameA")));
    }
    result.image_name = reinterpret_cast<ImageNameFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "QueryFullProcessImageNameA")));
    return result;
  }();
  return api;
}

// The module list of a 64-bit process cannot be read from a 32-bit one; the
// system still tells its image path, the same one a 64-bit build reads.
std::string ImagePathOf(const PsApi& api, HANDLE process) {
  if (api.image_name == nullptr) return std::string();
  char buffer[MAX_PATH + 1] = {};
  DWORD length = MAX_PATH;
  if (!api.image_name(process, 0, buffer, &length) || length == 0) return std::string();
  return std::string(buffer, length);
}

// The snapshot's own name of a process, and whether the process was listed.
bool FindSnapshotEntry(DWORD process_id, std::string* exe_name) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof(entry);
  bool found = false;
  for (BOOL more = Process32First(snapshot, &entry); more && !found;
       more = Process32Next(snapshot, &entry)) {
    if (entry.th32ProcessID == process_id) {
      found = true;
      entry.szExeFile[MAX_PATH - 1] = '\0';
      *exe_name = entry.szExeFile;
    }
  }
  CloseHandle(snapshot);
  return found;
}

}  // namespace

std::string GetProcessImageName(uint32_t process_id, bool full_path) {
  const PsApi& api = LoadPsApi();
  const ModuleNameFn query = full_path ? api.file_name : api.base_name;
  if (query == nullptr) return std::string();
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, process_id);
  if (process == nullptr) return std::string();
  char buffer[MAX_PATH + 1] = {};
  const DWORD length = query(process, nullptr, buffer, MAX_PATH);
  std::string name = length > 0 ? std::string(buffer) : ImagePathOf(api, process);
  CloseHandle(process);
  if (length == 0 && !full_path) name = name.substr(name.find_last_of('\\') + 1);
  return name;
}

std::string GetWindowExePath(uintptr_t window) {
  HWND hwnd = reinterpret_cast<HWND>(window);
  if (!IsWindow(hwnd)) return std::string();
  DWORD process_id = 0xFFFFFFFF;
  GetWindowThreadProcessId(hwnd, &process_id);
  // The snapshot tells whether the process is still there and gives the
  // stand-in name; only the window's own process is opened.
  std::string exe_name;
  if (!FindSnapshotEntry(process_id, &exe_name)) return std::string();
  if (process_id == 0) return "System Idle Process";
  const std::string image = GetProcessImageName(process_id, true);
  return image.empty() ? exe_name : image;
}
