#include "support/autostart_win32.h"

#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include <utility>
#include <vector>

#include "platform/file.h"
#include "platform/wide_text_win32.h"

namespace {

using platform::Narrow;
using platform::Wide;

constexpr char kValueName[] = "Tramo";
constexpr char kShortcutName[] = "\\Tramo2.lnk";

HKEY RunRoot(bool per_user) { return per_user ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE; }

const char* RunKeyPath(bool per_user) {
  return per_user ? "Software\\Microsoft\\Windows\\CurrentVersion\\Run"
                  : "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
}

// 64-bit Windows keeps two all-users Run keys and shows a 32-bit program
// only the 32-bit one; both are run at logon. Both builds use that one, so
// that either sees and removes the entry the other wrote. The per-user key
// is the same in both views.
constexpr REGSAM kRunKeyView = KEY_WOW64_32KEY;

// Task Manager's switches: one binary value per entry, named as the entry.
// An entry of the 32-bit all-users Run key has its switch under "Run32" on
// 64-bit Windows; both lists are looked at. The key is read in the native
// view, as Task Manager writes it.
constexpr char kApprovedKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\";
constexpr REGSAM kApprovedView = KEY_WOW64_64KEY;

class RegistryKey {
 public:
  RegistryKey() = default;
  ~RegistryKey() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  bool Open(HKEY root, const char* path, REGSAM access = KEY_QUERY_VALUE | kRunKeyView) {
    return RegOpenKeyExA(root, path, 0, access, &key_) == ERROR_SUCCESS;
  }
  bool Create(HKEY root, const char* path) {
    return RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_SET_VALUE | kRunKeyView, nullptr, &key_, nullptr) == ERROR_SUCCESS;
  }
  // The value's bytes; false for a missing value or one of another type.
  bool Read(const char* name, DWORD wanted_type, std::string* value) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key_, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    if (type != wanted_type) return false;
    std::vector<BYTE> data(size + 1);
    if (RegQueryValueExA(key_, name, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) {
      return false;
    }
    value->assign(reinterpret_cast<const char*>(data.data()), size);
    return true;
  }
  // A string value without its terminating zero; false for a missing value
  // or one of another type. Read as UTF-16: the path may be outside the
  // system code page.
  bool ReadString(const char* name, std::string* value) {
    const std::wstring wide_name = platform::Wide(name);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key_, wide_name.c_str(), nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
      return false;
    }
    std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key_, wide_name.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(&data[0]), &size) != ERROR_SUCCESS) {
      return false;
    }
    // Stored strings need not end in a zero; cut at the first one.
    *value = platform::Narrow(data.c_str(), lstrlenW(data.c_str()));
    return true;
  }
  bool Write(const char* name, DWORD type, const std::string& bytes) {
    return RegSetValueExA(key_, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                          static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
  }
  bool WriteString(const char* name, const std::string& value) {
    const std::wstring wide = platform::Wide(value);
    return RegSetValueExW(key_, platform::Wide(name).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(wide.c_str()),
                          static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t))) ==
           ERROR_SUCCESS;
  }
  bool DeleteValue(const char* name) { return RegDeleteValueA(key_, name) == ERROR_SUCCESS; }

 private:
  HKEY key_ = nullptr;
};

// The switches that may hold one entry of a mechanism and scope.
struct Approvals {
  HKEY root;
  const char* lists[2];
  const char* name;
};

Approvals RunApprovals(bool per_user) {
  if (per_user) return {HKEY_CURRENT_USER, {"Run", nullptr}, kValueName};
  return {HKEY_LOCAL_MACHINE, {"Run", "Run32"}, kValueName};
}

Approvals ShortcutApprovals(bool per_user) {
  return {RunRoot(per_user), {"StartupFolder", nullptr}, kShortcutName + 1};
}

bool SwitchedOff(const Approvals& approvals, const char* list) {
  RegistryKey key;
  std::string data;
  return key.Open(approvals.root, (std::string(kApprovedKey) + list).c_str(),
                  KEY_QUERY_VALUE | kApprovedView) &&
         key.Read(approvals.name, REG_BINARY, &data) && ApprovalSaysDisabled(data);
}

// Whether Windows skips the entry at logon.
bool Disabled(const Approvals& approvals) {
  for (const char* list : approvals.lists) {
    if (list != nullptr && SwitchedOff(approvals, list)) return true;
  }
  return false;
}

// Switches on what Task Manager switched off; missing switches stay missing.
bool Enable(const Approvals& approvals) {
  bool enabled = true;
  for (const char* list : approvals.lists) {
    if (list == nullptr || !SwitchedOff(approvals, list)) continue;
    RegistryKey key;
    enabled = key.Open(approvals.root, (std::string(kApprovedKey) + list).c_str(),
                       KEY_SET_VALUE | kApprovedView) &&
              key.Write(approvals.name, REG_BINARY, EnabledApproval()) && enabled;
  }
  return enabled;
}

// COM for the shell link object; left alone when the thread has it already
// in another mode.
class ComScope {
 public:
  ComScope() : initialised_(SUCCEEDED(CoInitialize(nullptr))) {}
  ~ComScope() {
    if (initialised_) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  bool initialised_;
};

template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() {
    if (p_ != nullptr) p_->Release();
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  T* operator->() const { return p_; }
  T* get() const { return p_; }
  void** out() { return reinterpret_cast<void**>(&p_); }

 private:
  T* p_ = nullptr;
};

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of("\\/:");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool SaveShortcut(const std::string& exe_path, const std::string& arguments,
                  const std::string& path) {
  ComPtr<IShellLinkW> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              link.out()))) {
    return false;
  }
  const std::wstring exe = Wide(exe_path);
  link->SetPath(exe.c_str());
  link->SetArguments(Wide(arguments).c_str());
  link->SetIconLocation(exe.c_str(), 0);
  link->SetWorkingDirectory(Wide(FolderOf(exe_path)).c_str());
  ComPtr<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, file.out()))) return false;
  return SUCCEEDED(file->Save(Wide(path).c_str(), TRUE));
}

bool LoadShortcutArguments(const std::string& path, std::string* arguments) {
  ComPtr<IShellLinkW> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              link.out()))) {
    return false;
  }
  ComPtr<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, file.out())) ||
      FAILED(file->Load(Wide(path).c_str(), STGM_READ))) {
    return false;
  }
  wchar_t buffer[256] = {};
  if (FAILED(link->GetArguments(buffer, 256))) return false;
  buffer[255] = L'\0';
  *arguments = Narrow(buffer, lstrlenW(buffer));
  return true;
}

}  // namespace

WindowsAutostart::WindowsAutostart(std::string exe_path) : exe_path_(std::move(exe_path)) {}

bool WindowsAutostart::RunKeyAutostart(bool per_user, int op) {
  RegistryKey key;
  switch (op) {
    case aoCheckIcon:
    case aoCheckNoIcon: {
      std::string value;
      return key.Open(RunRoot(per_user), RunKeyPath(per_user)) &&
             key.ReadString(kValueName, &value) &&
             RunValueMatches(value, exe_path_, op == aoCheckIcon) &&
             !Disabled(RunApprovals(per_user));
    }
    case aoWriteIcon:
    case aoWriteNoIcon:
      return key.Create(RunRoot(per_user), RunKeyPath(per_user)) &&
             key.WriteString(kValueName, RunValueData(exe_path_, op == aoWriteIcon)) &&
             Enable(RunApprovals(per_user));
    case aoRemove:
      return key.Create(RunRoot(per_user), RunKeyPath(per_user)) && key.DeleteValue(kValueName);
    default:
      return false;
  }
}

bool WindowsAutostart::ShortcutAutostart(bool per_user, int op) {
  if (op < aoCheckIcon || op > aoWriteNoIcon) return false;
  ComScope com;
  const std::string path = ShortcutPath(per_user);
  if (path.empty()) return false;
  switch (op) {
    case aoCheckIcon:
      return platform::FileExists(path) && !Disabled(ShortcutApprovals(per_user));
    case aoCheckNoIcon: {
      std::string arguments;
      return platform::FileExists(path) && LoadShortcutArguments(path, &arguments) &&
             ArgumentsSayNoIcon(arguments) && !Disabled(ShortcutApprovals(per_user));
    }
    case aoWriteIcon:
    case aoWriteNoIcon:
      return SaveShortcut(exe_path_, ShortcutArguments(op == aoWriteIcon), path) &&
             Enable(ShortcutApprovals(per_user));
    case aoRemove:
      return DeleteFileW(Wide(path).c_str()) != FALSE;
  }
  return false;
}

std::string WindowsAutostart::ShortcutPath(bool per_user) {
  LPITEMIDLIST items = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, per_user ? CSIDL_STARTUP : CSIDL_COMMON_STARTUP,
                                        &items)) ||
      items == nullptr) {
    return std::string();
  }
  wchar_t folder[MAX_PATH + 1] = {};
  const bool found = SHGetPathFromIDListW(items, folder) != FALSE;
  CoTaskMemFree(items);
  if (!found || folder[0] == L'\0') return std::string();
  return Narrow(folder, lstrlenW(folder)) + kShortcutName;
}

bool WindowsAutostart::CanWriteAllUsers() {
  RegistryKey key;
  if (key.Create(HKEY_LOCAL_MACHINE, RunKeyPath(false))) return true;
  const std::string shortcut = ShortcutPath(false);
  if (shortcut.empty()) return false;
  const std::string folder = shortcut.substr(0, shortcut.size() - (sizeof(kShortcutName) - 1));
  // A file of our own in the common Startup folder, removed at once.
  wchar_t probe[MAX_PATH] = {};
  if (GetTempFileNameW(Wide(folder).c_str(), L"Tr2", 0, probe) == 0) return false;
  DeleteFileW(probe);
  return true;
}
