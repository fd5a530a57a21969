#include "support/autostart.h"

namespace {

bool IsCheck(int op) { return op == aoCheckIcon || op == aoCheckNoIcon; }
bool IsWrite(int op) { return op == aoWriteIcon || op == aoWriteNoIcon; }

}  // namespace

bool SetAutostart(AutostartEntries* entries, bool per_user, int op) {
  if (IsCheck(op)) {
    return entries->RunKeyAutostart(per_user, op) || entries->ShortcutAutostart(per_user, op);
  }
  if (IsWrite(op)) {
    const int check = op - 1;
    entries->RunKeyAutostart(per_user, op);
    if (entries->RunKeyAutostart(per_user, check)) {
      // A shortcut left by an earlier fallback would start a second copy.
      entries->ShortcutAutostart(per_user, aoRemove);
      return true;
    }
    // The registry may be closed to us (the all-users key usually is).
    entries->ShortcutAutostart(per_user, op);
    return entries->ShortcutAutostart(per_user, check);
  }
  if (op == aoRemove) {
    const bool run_key_removed = entries->RunKeyAutostart(per_user, aoRemove);
    const bool shortcut_removed = entries->ShortcutAutostart(per_user, aoRemove);
    return run_key_removed || shortcut_removed;
  }
  return false;
}

int ApplyStartMode(AutostartEntries* entries, int item, bool with_icon) {
  if (item == kStartModeNever) {
    SetAutostart(entries, true, aoRemove);
    SetAutostart(entries, false, aoRemove);
    return item;
  }
  if (item != kStartModeThisProfile && item != kStartModeAllUsers) return item;
  const int check = with_icon ? aoCheckIcon : aoCheckNoIcon;
  const bool per_user = item == kStartModeThisProfile;
  // Written even over a suitable entry: that entry may be in the old form or
  // switched off in Task Manager, and the user asked for it to start.
  SetAutostart(entries, per_user, check + 1);
  if (SetAutostart(entries, per_user, check)) {
    // Only now: until the new entry is there the old one is all the user has.
    SetAutostart(entries, !per_user, aoRemove);
    return item;
  }
  SetAutostart(entries, per_user, aoRemove);
  if (SetAutostart(entries, !per_user, aoCheckIcon) ||
      SetAutostart(entries, !per_user, aoCheckNoIcon)) {
    return per_user ? kStartModeAllUsers : kStartModeThisProfile;
  }
  return kStartModeNever;
}

std::string RunValueData(const std::string& exe_path, bool with_icon) {
  return "\"" + exe_path + "\" " + ShortcutArguments(with_icon);
}

bool RunValueMatches(const std::string& value, const std::string& exe_path, bool with_icon) {
  return value == RunValueData(exe_path, with_icon) ||
         value == exe_path + " " + ShortcutArguments(with_icon);
}

std::string ShortcutArguments(bool with_icon) { return with_icon ? "/mini" : "/mini /noIco"; }

bool ArgumentsSayNoIcon(const std::string& arguments) {
  return arguments.size() > 1 && arguments.find("/noIco") != std::string::npos;
}

bool ApprovalSaysDisabled(const std::string& data) {
  return !data.empty() && (data[0] == '\x03' || data[0] == '\x07');
}

std::string EnabledApproval() {
  std::string data(12, '\0');
  data[0] = '\x02';
  return data;
}
