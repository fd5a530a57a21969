#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/file.h"
#include "platform/system.h"
#include "support/autostart_win32.h"
#include "support/text_routines.h"

namespace {

// What a scope holds, read independently of the code under test.
std::string RunValue(bool per_user) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(per_user ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE,
                    "Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0,
                    KEY_QUERY_VALUE | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS) {
    return "<no key>";
  }
  char data[1024] = {};
  DWORD size = sizeof(data) - 1;
  DWORD type = 0;
  const LONG result =
      RegQueryValueExA(key, "Tramo", nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS) return "<none>";
  return type == REG_SZ ? std::string(data) : "<not a string>";
}

// Task Manager's switches of our entries (the shortcut's first: a Run value would pass its check).
struct Switch { bool per_user, run_key; HKEY root; const char* list; const char* name; };
const Switch kSwitches[] = {
    {false, false, HKEY_LOCAL_MACHINE, "StartupFolder", "Tramo2.lnk"}, {true, true, HKEY_CURRENT_USER, "Run", "Tramo"},
    {false, true, HKEY_LOCAL_MACHINE, "Run", "Tramo"}, {false, true, HKEY_LOCAL_MACHINE, "Run32", "Tramo"}};

// Sets the switch's first byte (0 deletes it, -1 leaves it); answers it, 0 for none.
int Approval(const Switch& s, int set = -1) {
  HKEY key = nullptr;
  RegCreateKeyExA(s.root, (std::string("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\") + s.list).c_str(),
                  0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, &key, nullptr);
  BYTE data[12] = {static_cast<BYTE>(set), 0, 0, 0, 0xd4, 0x0d, 0x43, 0x8d, 0xc8, 0x3b, 0xd9, 0x01};
  if (set == 0) RegDeleteValueA(key, s.name);
  if (set > 0) RegSetValueExA(key, s.name, 0, REG_BINARY, data, sizeof(data));
  DWORD size = sizeof(data);
  if (RegQueryValueExA(key, s.name, nullptr, nullptr, data, &size) != ERROR_SUCCESS) data[0] = 0;
  RegCloseKey(key);
  return data[0];
}

struct Shortcut {
  std::string target, arguments, folder, icon;
  int icon_index = -1;
};

bool ReadShortcut(const std::string& path, Shortcut* shortcut) {
  IShellLinkA* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link)))) {
    return false;
  }
  IPersistFile* file = nullptr;
  wchar_t wide[MAX_PATH + 1] = {};
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
  bool ok = SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
            SUCCEEDED(file->Load(wide, STGM_READ));
  char buffer[MAX_PATH + 1] = {};
  if (ok && SUCCEEDED(link->GetPath(buffer, MAX_PATH, nullptr, SLGP_RAWPATH))) shortcut->target = buffer;
  if (ok && SUCCEEDED(link->GetArguments(buffer, MAX_PATH))) shortcut->arguments = buffer;
  if (ok && SUCCEEDED(link->GetWorkingDirectory(buffer, MAX_PATH))) shortcut->folder = buffer;
  if (ok && SUCCEEDED(link->GetIconLocation(buffer, MAX_PATH, &shortcut->icon_index))) {
    shortcut->icon = buffer;
  }
  if (file != nullptr) file->Release();
  link->Release();
  return ok;
}

// The all-users Run key refused, as for a user without administrator rights.
class ClosedRunKey : public AutostartEntries {
 public:
  explicit ClosedRunKey(AutostartEntries* real) : real_(real) {}
  bool RunKeyAutostart(bool per_user, int op) override {
    if (!per_user && (op == aoWriteIcon || op == aoWriteNoIcon)) return false;
    return real_->RunKeyAutostart(per_user, op);
  }
  bool ShortcutAutostart(bool per_user, int op) override {
    return real_->ShortcutAutostart(per_user, op);
  }

 private:
  AutostartEntries* real_;
};

class AutostartWin32Test : public testing::Test {
 protected:
  AutostartWin32Test() : exe_(platform::ExecutablePath()), autostart_(exe_) {}

  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    for (bool per_user : {true, false}) {
      ASSERT_FALSE(WindowsAutostart::ShortcutPath(per_user).empty()) << per_user;
    }
    Clear();
  }
  void TearDown() override {
    RemoveDirectoryA(WindowsAutostart::ShortcutPath(false).c_str());
    Clear();
    for (const Switch& s : kSwitches) Approval(s, 0);
    CoUninitialize();
  }
  void Clear() {
    SetAutostart(&autostart_, true, aoRemove);
    SetAutostart(&autostart_, false, aoRemove);
  }
  bool ShortcutExists(bool per_user) {
    return platform::FileExists(WindowsAutostart::ShortcutPath(per_user));
  }
  std::string Folder() const { return exe_.substr(0, exe_.rfind('\\') + 1); }

  std::string exe_;
  WindowsAutostart autostart_;
};

TEST_F(AutostartWin32Test, RunValueInBothScopesWithAndWithoutIcon) {
  for (bool per_user : {true, false}) {
    for (bool icon : {true, false}) {
      SCOPED_TRACE(std::string(per_user ? "per user" : "all users") + (icon ? ", icon" : ""));
      const int item = per_user ? kStartModeThisProfile : kStartModeAllUsers;
      EXPECT_EQ(item, ApplyStartMode(&autostart_, item, icon));
      EXPECT_EQ(RunValueData(exe_, icon), RunValue(per_user));
      EXPECT_FALSE(ShortcutExists(per_user));
      EXPECT_EQ("<none>", RunValue(!per_user));
      EXPECT_TRUE(SetAutostart(&autostart_, per_user, icon ? aoCheckIcon : aoCheckNoIcon));
      EXPECT_FALSE(SetAutostart(&autostart_, per_user, icon ? aoCheckNoIcon : aoCheckIcon));

      EXPECT_EQ(kStartModeNever, ApplyStartMode(&autostart_, kStartModeNever, icon));
      EXPECT_EQ("<none>", RunValue(per_user));
      EXPECT_FALSE(SetAutostart(&autostart_, per_user, aoCheckIcon));
    }
  }
}

TEST_F(AutostartWin32Test, ShortcutInBothScopesWithAndWithoutIcon) {
  for (bool per_user : {true, false}) {
    for (bool icon : {true, false}) {
      SCOPED_TRACE(std::string(per_user ? "per user" : "all users") + (icon ? ", icon" : ""));
      ASSERT_TRUE(autostart_.ShortcutAutostart(per_user, icon ? aoWriteIcon : aoWriteNoIcon));
      Shortcut shortcut;
      ASSERT_TRUE(ReadShortcut(WindowsAutostart::ShortcutPath(per_user), &shortcut));
      EXPECT_TRUE(AsciiEqualNoCase(exe_, shortcut.target)) << shortcut.target;
      EXPECT_EQ(ShortcutArguments(icon), shortcut.arguments);
      EXPECT_EQ(exe_, shortcut.icon);
      EXPECT_EQ(0, shortcut.icon_index);
      EXPECT_EQ(Folder(), shortcut.folder);
      EXPECT_TRUE(autostart_.ShortcutAutostart(per_user, aoCheckIcon));
      EXPECT_EQ(!icon, autostart_.ShortcutAutostart(per_user, aoCheckNoIcon));
      EXPECT_FALSE(autostart_.RunKeyAutostart(per_user, aoCheckIcon));

      EXPECT_TRUE(autostart_.ShortcutAutostart(per_user, aoRemove));
      EXPECT_FALSE(ShortcutExists(per_user));
      EXPECT_FALSE(autostart_.ShortcutAutostart(per_user, aoRemove));
      EXPECT_FALSE(autostart_.ShortcutAutostart(per_user, aoCheckIcon));
    }
  }
}

TEST_F(AutostartWin32Test, AllUsersFallBackToTheCommonStartupShortcut) {
  ClosedRunKey closed(&autostart_);
  EXPECT_EQ(kStartModeAllUsers, ApplyStartMode(&closed, kStartModeAllUsers, true));
  EXPECT_EQ("<none>", RunValue(false));
  Shortcut shortcut;
  ASSERT_TRUE(ReadShortcut(WindowsAutostart::ShortcutPath(false), &shortcut));
  EXPECT_EQ("/mini", shortcut.arguments);
}

TEST_F(AutostartWin32Test, AFailedChoiceKeepsTheOtherScope) {
  ClosedRunKey closed(&autostart_);
  ASSERT_EQ(kStartModeThisProfile, ApplyStartMode(&autostart_, kStartModeThisProfile, true));
  ASSERT_TRUE(autostart_.RunKeyAutostart(false, aoWriteNoIcon));
  // A folder where the shortcut belongs: saving fails for root as well.
  ASSERT_TRUE(CreateDirectoryA(WindowsAutostart::ShortcutPath(false).c_str(), nullptr));
  EXPECT_EQ(kStartModeThisProfile, ApplyStartMode(&closed, kStartModeAllUsers, true));
  EXPECT_EQ(RunValueData(exe_, true), RunValue(true));
  EXPECT_EQ("<none>", RunValue(false));
}

TEST_F(AutostartWin32Test, AnEntrySwitchedOffDoesNotStartUntilChosenAgain) {
  ClosedRunKey closed(&autostart_);
  for (const Switch& s : kSwitches) {
    SCOPED_TRACE(s.list);
    AutostartEntries* entries = s.run_key ? static_cast<AutostartEntries*>(&autostart_) : &closed;
    const int item = s.per_user ? kStartModeThisProfile : kStartModeAllUsers;
    ASSERT_EQ(item, ApplyStartMode(entries, item, true));
    ASSERT_EQ(3, Approval(s, 3));
    EXPECT_FALSE(SetAutostart(entries, s.per_user, aoCheckIcon));
    EXPECT_EQ(item, ApplyStartMode(entries, item, true));
    EXPECT_EQ(2, Approval(s));
  }
}

}  // namespace
