#ifndef TRAMO_SUPPORT_AUTOSTART_H_
#define TRAMO_SUPPORT_AUTOSTART_H_

#include <string>

// Start with the system: a value under the Run key and, when that cannot be
// confirmed, a shortcut in the Startup folder. Entries start the program
// hidden, and without the tray icon when it is off.

// Operation codes shared by the autostart functions; each write code is its
// check code plus one.
enum AutostartOp {
  aoCheckIcon = 0,    // is an entry for the start with tray icon present
  aoWriteIcon = 1,    // write an entry for the start with tray icon
  aoRemove = 2,       // remove the entry
  aoCheckNoIcon = 3,  // is an entry for the start without tray icon present
  aoWriteNoIcon = 4,  // write an entry for the start without tray icon
};

// Items of the settings dialog's RadioRun.
enum StartMode {
  kStartModeNone = -1,         // no item selected
  kStartModeNever = 0,         // "Nespouštět"
  kStartModeThisProfile = 1,   // "Spustit v tomto profilu"
  kStartModeAllUsers = 2,      // "Spustit u všech uživatelů"
};

// The two mechanisms of one system. per_user picks the current user's entry,
// otherwise the all-users one. Each call answers whether the check found a
// suitable entry or the write or removal succeeded; codes outside 0-4 give
// false.
class AutostartEntries {
 public:
  virtual ~AutostartEntries() = default;
  // The registry value "Tramo" under the scope's Run key.
  virtual bool RunKeyAutostart(bool per_user, int op) = 0;
  // The shortcut "Tramo2.lnk" in the scope's Startup folder.
  virtual bool ShortcutAutostart(bool per_user, int op) = 0;
};

// One operation over both mechanisms: a check asks the registry value, then
// the shortcut; a write writes the registry value and falls back to the
// shortcut when the value cannot be confirmed (a confirmed value removes the
// scope's shortcut, which would start a second copy); a removal clears both.
// Codes outside 0-4 do nothing and give false.
bool SetAutostart(AutostartEntries* entries, bool per_user, int op);

// RadioRunClick's work for the selected item (StartMode) with the tray icon
// setting: "Nespouštět" removes the entries of both scopes; a scope writes
// its entry (also over a suitable one, which rewrites an old form and
// switches a disabled entry on again) and, once the entry is confirmed,
// removes the other scope's entries. Returns the item that must be selected
// now: item itself; when no entry of item's scope could be confirmed, its
// remains are removed and the answer is the other scope's item if that
// scope still starts the program, else kStartModeNever (the window only
// shows the new selection; running this again for it is harmless).
int ApplyStartMode(AutostartEntries* entries, int item, bool with_icon);

// Data of the Run value: the executable's path in double quotes (Windows
// would split an unquoted path at its first blank), " /mini", and " /noIco"
// without the tray icon.
std::string RunValueData(const std::string& exe_path, bool with_icon);
// Whether a Run value is RunValueData of exe_path, or the unquoted form
// older versions wrote (path, " /mini"...).
bool RunValueMatches(const std::string& value, const std::string& exe_path, bool with_icon);
// Arguments of the shortcut: "/mini", or "/mini /noIco" without the icon.
std::string ShortcutArguments(bool with_icon);
// Whether a shortcut's arguments start the program without the tray icon:
// longer than one character and containing "/noIco" (case-sensitive).
bool ArgumentsSayNoIcon(const std::string& arguments);

// Task Manager's switch of an entry (a binary value under
// "...\Explorer\StartupApproved"): whether it says the entry is disabled,
// its first byte 03 or 07 (02 and 06 are enabled; a missing value too).
bool ApprovalSaysDisabled(const std::string& data);
// The value that switches an entry on: 02, then zeros (no time stamp).
std::string EnabledApproval();

#endif  // TRAMO_SUPPORT_AUTOSTART_H_
