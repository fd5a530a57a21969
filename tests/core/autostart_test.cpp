#include <gtest/gtest.h>

#include <string>

#include "support/autostart.h"

namespace {

constexpr char kExe[] = "C:\\Apps\\Tramo2\\Tramo2.exe";

// Both mechanisms in memory, with switches that refuse writes the way a
// closed all-users key or folder would.
class FakeEntries : public AutostartEntries {
 public:
  struct Scope {
    bool run_present = false;
    std::string run_value;
    bool shortcut_present = false;
    std::string shortcut_arguments;
    bool refuse_run = false;
    bool refuse_shortcut = false;
  };

  bool RunKeyAutostart(bool per_user, int op) override {
    Scope& s = scope(per_user);
    switch (op) {
      case aoCheckIcon:
      case aoCheckNoIcon:
        return s.run_present && RunValueMatches(s.run_value, kExe, op == aoCheckIcon);
      case aoWriteIcon:
      case aoWriteNoIcon:
        ++writes;
        if (s.refuse_run) return false;
        s.run_present = true;
        s.run_value = RunValueData(kExe, op == aoWriteIcon);
        return true;
      case aoRemove: {
        const bool was = s.run_present;
        s.run_present = false;
        return was;
      }
    }
    return false;
  }

  bool ShortcutAutostart(bool per_user, int op) override {
    Scope& s = scope(per_user);
    switch (op) {
      case aoCheckIcon:
        return s.shortcut_present;
      case aoCheckNoIcon:
        return s.shortcut_present && ArgumentsSayNoIcon(s.shortcut_arguments);
      case aoWriteIcon:
      case aoWriteNoIcon:
        ++writes;
        if (s.refuse_shortcut) return false;
        s.shortcut_present = true;
        s.shortcut_arguments = ShortcutArguments(op == aoWriteIcon);
        return true;
      case aoRemove: {
        const bool was = s.shortcut_present;
        s.shortcut_present = false;
        return was;
      }
    }
    return false;
  }

  Scope& scope(bool per_user) { return per_user ? user : all_users; }
  bool Empty(bool per_user) { return !scope(per_user).run_present && !scope(per_user).shortcut_present; }

  Scope user;
  Scope all_users;
  int writes = 0;
};

TEST(AutostartTest, EntryTexts) {
  EXPECT_EQ("\"C:\\Apps\\Tramo2\\Tramo2.exe\" /mini", RunValueData(kExe, true));
  EXPECT_EQ("\"C:\\Apps\\Tramo2\\Tramo2.exe\" /mini /noIco", RunValueData(kExe, false));
  EXPECT_EQ("/mini", ShortcutArguments(true));
  EXPECT_EQ("/mini /noIco", ShortcutArguments(false));
  struct Case {
    const char* arguments;
    bool no_icon;
  };
  const Case cases[] = {{"/mini /noIco", true}, {"/noIco", true},  {"/mini", false},
                        {"/mini /noico", false}, {"", false},      {"/", false}};
  for (const Case& c : cases) EXPECT_EQ(c.no_icon, ArgumentsSayNoIcon(c.arguments)) << c.arguments;
}

TEST(AutostartTest, RunValuesOfThisCopy) {
  const std::string exe = "C:\\Program Files\\Tramo2\\Tramo2.exe", q = "\"" + exe + "\"";
  const std::pair<std::string, bool> icon_cases[] = {
      {q + " /mini", true},  {exe + " /mini", true},  {q + " /mini /noIco", false},
      {q + "/mini", false},  {"\"" + exe + " /mini", false}, {"\"C:\\Other\\Tramo2.exe\" /mini", false}};
  for (const auto& c : icon_cases) EXPECT_EQ(c.second, RunValueMatches(c.first, exe, true)) << c.first;
  EXPECT_TRUE(RunValueMatches(exe + " /mini /noIco", exe, false));
  const std::pair<std::string, bool> approvals[] = {{EnabledApproval(), false}, {"\x06", false},
      {"", false}, {std::string("\x03\0\0\0\xd4\x0d", 6), true}, {"\x07", true}};
  for (const auto& a : approvals) EXPECT_EQ(a.second, ApprovalSaysDisabled(a.first)) << int(a.first[0]);
}

TEST(AutostartTest, AChoiceRewritesItsEntry) {
  // An entry in the old form counts as ours and becomes the quoted one.
  FakeEntries entries;
  entries.user.run_present = true;
  entries.user.run_value = "C:\\Apps\\Tramo2\\Tramo2.exe /mini";
  EXPECT_EQ(kStartModeThisProfile, ApplyStartMode(&entries, kStartModeThisProfile, true));
  EXPECT_EQ(RunValueData(kExe, true), entries.user.run_value);

  // A shortcut left without the icon goes once the value with it is there.
  FakeEntries shortcut_only;
  shortcut_only.user.shortcut_present = true;
  shortcut_only.user.shortcut_arguments = "/mini /noIco";
  EXPECT_EQ(kStartModeThisProfile, ApplyStartMode(&shortcut_only, kStartModeThisProfile, true));
  EXPECT_EQ(RunValueData(kExe, true), shortcut_only.user.run_value);
  EXPECT_FALSE(shortcut_only.user.shortcut_present);
}

TEST(AutostartTest, FallsBackToTheShortcutAndKeepsTheOtherScopeUntilConfirmed) {
  FakeEntries entries;
  entries.all_users.refuse_run = true;
  entries.user.run_present = true;
  EXPECT_EQ(kStartModeAllUsers, ApplyStartMode(&entries, kStartModeAllUsers, true));
  EXPECT_FALSE(entries.all_users.run_present);
  EXPECT_TRUE(entries.all_users.shortcut_present);
  EXPECT_EQ("/mini", entries.all_users.shortcut_arguments);
  EXPECT_TRUE(entries.Empty(true));

  FakeEntries closed;
  closed.all_users.refuse_run = true;
  closed.all_users.refuse_shortcut = true;
  closed.user.run_present = true;
  closed.user.run_value = RunValueData(kExe, true);
  EXPECT_EQ(kStartModeThisProfile, ApplyStartMode(&closed, kStartModeAllUsers, true));
  EXPECT_FALSE(closed.Empty(true));
  closed.user.run_present = false;
  EXPECT_EQ(kStartModeNever, ApplyStartMode(&closed, kStartModeAllUsers, true));
}

TEST(AutostartTest, NeverRemovesBothScopesAndNoSelectionDoesNothing) {
  FakeEntries entries;
  entries.user.run_present = entries.user.shortcut_present = true;
  entries.all_users.run_present = entries.all_users.shortcut_present = true;
  EXPECT_EQ(kStartModeNone, ApplyStartMode(&entries, kStartModeNone, true));
  EXPECT_FALSE(entries.Empty(true));
  EXPECT_EQ(kStartModeNever, ApplyStartMode(&entries, kStartModeNever, true));
  EXPECT_TRUE(entries.Empty(true));
  EXPECT_TRUE(entries.Empty(false));
}

TEST(AutostartTest, UnknownCodesDoNothing) {
  FakeEntries entries;
  for (int op : {-1, 5, 99}) {
    EXPECT_FALSE(SetAutostart(&entries, true, op));
    EXPECT_FALSE(SetAutostart(&entries, false, op));
  }
  EXPECT_EQ(0, entries.writes);
}

}  // namespace
