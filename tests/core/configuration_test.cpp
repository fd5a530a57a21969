#include "app/configuration.h"

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "core/configuration_fields.h"
#include "core/test_util.h"
#include "platform/file.h"
#include "platform/ini_file.h"

namespace {

using testutil::TempFolder;
using testutil::WriteFileBytes;

const std::vector<ScreenRect> kScreen = {{0, 0, 1920, 1080}};

// Records the keys written, fails the Nth write, throws at the Nth read.
class ScriptedIni : public platform::IniFile {
 public:
  explicit ScriptedIni(const std::string& path) : platform::IniFile(path) {}
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& default_value) override {
    if (++reads == throw_at_read) throw std::runtime_error("read failed");
    return platform::IniFile::ReadString(section, key, default_value);
  }
  bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                   std::string* error) override {
    if (++writes == fail_at_write) {
      *error = "disk full";
      return false;
    }
    written.push_back(section + "." + key);
    return platform::IniFile::WriteString(section, key, value, error);
  }
  int reads = 0;
  int writes = 0;
  int throw_at_read = -1;
  int fail_at_write = -1;
  std::vector<std::string> written;
};

using testutil::Fields;

TEST(IniFileTest, PrivateProfileRules) {
  TempFolder folder;
  const std::string path = folder / "t.ini";
  platform::IniFile ini(path);
  EXPECT_EQ("dflt", ini.ReadString("S", "k", "dflt"));  // no file yet
  WriteFileBytes(path,
                 "[FormOptions]\r\n  Width = 800 \r\nQuoted=\"a b\"\r\nnoequals\r\n\r\n"
                 "[other]\nWidth=1\n");
  EXPECT_EQ("800", ini.ReadString("formoptions", "WIDTH", ""));
  EXPECT_EQ("a b", ini.ReadString("FormOptions", "Quoted", ""));
  EXPECT_EQ("1", ini.ReadString("OTHER", "width", ""));
  EXPECT_EQ("d", ini.ReadString("FormOptions", "Height", "d"));
  EXPECT_EQ("d", ini.ReadString("Missing", "Width", "d"));

  std::string error;
  ASSERT_TRUE(ini.WriteString("FORMOPTIONS", "width", "900", &error)) << error;
  ASSERT_TRUE(ini.WriteString("FormOptions", "Height", "450", &error)) << error;
  ASSERT_TRUE(ini.WriteString("New", "Key", "v", &error)) << error;
  ASSERT_TRUE(ini.DeleteKey("Other", "WIDTH", &error)) << error;
  ASSERT_TRUE(ini.DeleteKey("Other", "Missing", &error)) << error;
  ASSERT_TRUE(ini.Flush(&error)) << error;
  EXPECT_EQ("900", ini.ReadString("FormOptions", "Width", ""));
  EXPECT_EQ("450", ini.ReadString("FormOptions", "Height", ""));
  EXPECT_EQ("gone", ini.ReadString("other", "Width", "gone"));
  EXPECT_EQ("v", ini.ReadString("new", "key", ""));
  // A new key joins its own section, not the file's end.
  const std::string bytes = testutil::ReadFileBytes(path);
  EXPECT_LT(bytes.find("Height=450"), bytes.find("[other]"));
}

TEST(IniFileTest, WriteToFolderFails) {
  TempFolder folder;
  std::string error;
  ASSERT_TRUE(platform::CreateFolders(folder / "blocked.ini", &error));
  platform::IniFile ini(folder / "blocked.ini");
  EXPECT_FALSE(ini.WriteString("S", "k", "v", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ("d", ini.ReadString("S", "k", "d"));
}

TEST(ConfigurationTest, ParseInteger) {
  const std::pair<const char*, int32_t> cases[] = {
      {"42", 42},          {"-7", -7},        {" 5 ", 5},          {"0x1F", 31},
      {"0X1f", 31},        {"$ff", 255},      {"$FFFFFFFF", -1},   {"-$10", -16},
      {"2147483647", 2147483647},             {"-2147483648", INT32_MIN},
      {"2147483648", -99}, {"$100000000", -99}, {"", -99},         {"abc", -99},
      {"12abc", -99},      {"0x", -99},       {"$", -99},          {"1.5", -99},
      {"-", -99},          {"0xG", -99},
  };
  for (const auto& c : cases) EXPECT_EQ(c.second, ParseConfigInteger(c.first, -99)) << c.first;
}

TEST(ConfigurationTest, MissingFileGivesDefaults) {
  TempFolder folder;
  platform::IniFile ini(folder / "none.ini");
  Configuration config;
  config.main_window = {1, 2, 3, 4};
  config.column_widths.fill(7);
  config.search_titles = false;
  config.settings_dialog = {5, 5, 300, 200};
  config.minimum_logged_seconds = 1;
  ReadMainOptions(&ini, kScreen, &config);
  ReadOtherWindowOptions(&ini, kScreen, &config);
  // Window places and column widths keep the caller's first-start values.
  EXPECT_EQ((std::vector<int32_t>{1, 2, 3, 4, 0, 1, 0, 1, 1, 100, 100, 640, 450, 5, 5, 60, 0, 5,
                                  7, 7, 7, 7, 7, 7}),
            Fields(config));
  EXPECT_EQ(300, config.settings_dialog.width);  // its own size stays
}

TEST(ConfigurationTest, StoredValuesAndScreenCheck) {
  struct Case {
    const char* stored;
    int32_t left, top, width;
  } cases[] = {
      {"Left=5000\r\nTop=50\r\n", 0, 50, 640},
      {"Left=-700\r\nWidth=640\r\n", 0, 100, 640},
      {"Left=-600\r\nWidth=640\r\n", -600, 100, 640},
      {"Left=-600\r\nWidth=500\r\n", 0, 100, 500},
      {"Left=1920\r\nTop=1081\r\n", 1920, 0, 640},
      {"Top=-500\r\nHeight=499\r\n", 100, 0, 640},
      {"Left=0x10\r\nTop=$20\r\nWidth=junk\r\n", 16, 32, 640},
  };
  TempFolder folder;
  platform::IniFile ini(folder / "t.ini");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    WriteFileBytes(folder / "t.ini", std::string("[FormOptions]\r\n") + c.stored);
    Configuration config;
    ReadMainOptions(&ini, kScreen, &config);
    EXPECT_EQ(c.left, config.main_window.left);
    EXPECT_EQ(c.top, config.main_window.top);
    EXPECT_EQ(c.width, config.main_window.width);
  }

  WriteFileBytes(folder / "t.ini",
                 "[FormOptions]\r\nChTitulek=0\r\nsortC=259\r\n"
                 "[FormNastaveniOptions]\r\nLeft=1900\r\nTop=-250\r\n");
  Configuration config;
  config.settings_dialog = {0, 0, 300, 200};
  ReadMainOptions(&ini, kScreen, &config);
  ReadOtherWindowOptions(&ini, kScreen, &config);
  EXPECT_FALSE(config.search_titles);
  EXPECT_EQ(3, config.sort_column);  // one byte of 259
  EXPECT_EQ(1900, config.settings_dialog.left);
  EXPECT_EQ(0, config.settings_dialog.top);  // -250 + 200 < 0
}

TEST(ConfigurationTest, RoundTripInFlushOrder) {
  TempFolder folder;
  ScriptedIni ini(folder / "t.ini");
  Configuration out;
  out.main_window = {10, 20, 800, 600};
  out.start_count = 41;
  out.column_widths = {{1, 2, 3, 4, 5, 6}};
  out.sort_column = 4;
  out.sort_direction = 1;
  out.search_titles = false;
  out.search_minimum_seconds = 30;
  out.statistics_editor = {30, 40, 500, 300};
  out.settings_dialog = {50, 60, 0, 0};
  out.minimum_logged_seconds = 120;
  out.away_enabled = true;
  out.away_minutes = 15;
  out.other_data_folders = {"\\\\pc2\\Tramo2\\", "D:\\Zaloha\\pc3"};
  std::string error;
  ASSERT_TRUE(WriteConfiguration(&ini, out, &error)) << error;

  const std::vector<std::string> order = {
      "FormOptions.Spusteni",     "FormOptions.Left",          "FormOptions.Top",
      "FormOptions.Width",        "FormOptions.Height",        "Form2Options.Left",
      "Form2Options.Top",         "Form2Options.Width",        "Form2Options.Height",
      "FormOptions.ChTitulek",    "FormNastaveniOptions.Left", "FormNastaveniOptions.Top",
      "FormNastaveniOptions.MinimalniCas", "FormNastaveniOptions.Necinnost",
      "FormNastaveniOptions.NecinnostMinut", "FormOptions.SpMinCas", "FormOptions.sloupec0",
      "FormOptions.sloupec1",     "FormOptions.sloupec2",      "FormOptions.sloupec3",
      "FormOptions.sloupec4",     "FormOptions.sloupec5",      "FormOptions.sortC",
      "FormOptions.sortD",        "DalsiPocitace.Pocet",       "DalsiPocitace.Slozka1",
      "DalsiPocitace.Slozka2"};
  EXPECT_EQ(order, ini.written);

  Configuration in;
  in.settings_dialog = {0, 0, 0, 0};
  ReadMainOptions(&ini, kScreen, &in);
  ReadOtherWindowOptions(&ini, kScreen, &in);
  Configuration expected = out;
  expected.start_count = 42;
  EXPECT_EQ(Fields(expected), Fields(in));
  EXPECT_EQ(out.other_data_folders, in.other_data_folders);

  // Maximised: the last normal rectangle stays in the file.
  out.main_window = {0, 0, 1920, 1050};
  out.main_window_maximized = true;
  out.other_data_folders.pop_back();  // a shorter list leaves no key behind
  ini.written.clear();
  ASSERT_TRUE(WriteConfiguration(&ini, out, &error)) << error;
  EXPECT_EQ(order.size() - 5, ini.written.size());
  ReadMainOptions(&ini, kScreen, &in);
  ReadOtherWindowOptions(&ini, kScreen, &in);
  EXPECT_EQ(10, in.main_window.left);
  EXPECT_EQ(800, in.main_window.width);
  EXPECT_EQ(out.other_data_folders, in.other_data_folders);
  EXPECT_EQ("", ini.ReadString("DalsiPocitace", "Slozka2", ""));
}

TEST(ConfigurationTest, OtherDataFoldersNeitherOwnNorTwice) {
  const std::vector<std::string> listed = {"\\\\pc2\\data\\"};
  const std::string own = "C:\\Users\\Jan\\AppData\\Roaming\\Tramo2\\";
  EXPECT_TRUE(AcceptsOtherDataFolder(listed, own, "D:\\pc3"));
  for (const char* taken : {"c:\\users\\jan\\appdata\\roaming\\tramo2", "\\\\PC2\\Data", ""}) {
    EXPECT_FALSE(AcceptsOtherDataFolder(listed, own, taken)) << taken;
  }
}

TEST(ConfigurationTest, WriteStopsAtFirstFailure) {
  TempFolder folder;
  ScriptedIni ini(folder / "t.ini");
  ini.fail_at_write = 3;
  std::string error;
  EXPECT_FALSE(WriteConfiguration(&ini, Configuration(), &error));
  EXPECT_EQ("disk full", error);
  EXPECT_EQ(3, ini.writes);
  EXPECT_EQ(2u, ini.written.size());
  EXPECT_EQ("Nemuzu ulozit .ini soubor (soubor pouze pro cteni/plny disk?) \r\nErrorMessage: x",
            ConfigurationSaveFailureText("x"));
}

TEST(ConfigurationTest, ReadErrorKeepsWhatWasRead) {
  TempFolder folder;
  WriteFileBytes(folder / "t.ini", "[FormOptions]\r\nsloupec0=11\r\nsloupec1=12\r\nsloupec2=13\r\n");
  ScriptedIni ini(folder / "t.ini");
  ini.throw_at_read = 8;  // Width, Height, Left, Top, Spusteni, sloupec0, sloupec1, sloupec2
  Configuration config;
  config.column_widths.fill(77);
  config.sort_column = 9;
  ReadMainOptions(&ini, kScreen, &config);
  EXPECT_EQ((std::array<int32_t, kListColumnCount>{{11, 12, 77, 77, 77, 77}}),
            config.column_widths);
  EXPECT_EQ(9, config.sort_column);
}

TEST(ConfigurationTest, FileNamesAndCommandLine) {
  EXPECT_EQ("D:\\data\\Tramo2.ini", IniFileName("D:\\data\\", "C:\\Program Files\\T\\Tramo2.exe"));
  EXPECT_EQ("C:\\Users\\u\\AppData\\Roaming\\Tramo2\\",
            DataDirFor("C:\\Users\\u\\AppData\\Roaming", "C:\\T\\", ""));
  EXPECT_EQ("C:\\T\\data\\", DataDirFor("", "C:\\T\\", ""));

  struct Case {
    std::vector<std::string> args;
    bool hidden, conversion, no_icon, data_beside_exe;
  } cases[] = {
      {{"t.exe"}, false, false, false, false},
      {{"t.exe", "/mini", "/noIco"}, true, false, true, false},
      {{"t.exe", "/mini /noIco"}, true, false, true, false},
      {{"t.exe", "MINI"}, true, false, false, true},
      {{"t.exe", "mini"}, true, false, false, false},
      {{"t.exe", "x", "MINI"}, true, false, false, false},
      {{"t.exe", "xnoicox"}, false, false, false, false},
      {{"t.exe", "", "noIco"}, false, false, true, false},
      {{"t.exe", "prevod", "a", "b"}, false, true, false, false},
      {{"t.exe", "x", "PREVOD"}, false, false, false, false},
      {{"t.exe", "xMINIPREVOD"}, true, true, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.size() > 1 ? c.args[1] : "(none)");
    EXPECT_EQ(c.hidden, StartsHidden(c.args));
    EXPECT_EQ(c.conversion, IsConversion(c.args));
    EXPECT_EQ(c.no_icon, NoTrayIcon(c.args));
    EXPECT_EQ(c.data_beside_exe ? "C:\\T\\data\\" : "A\\Tramo2\\",
              DataDirFor("A", "C:\\T\\", Argument(c.args, 1)));
  }
}

}  // namespace
