#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/file.h"
#include "platform/ini_file.h"
#include "support/build_counter.h"
#include "support/version.h"
#include "test_util.h"

namespace {

TEST(VersionTest, FormatsTheProductWordsInBothForms) {
  struct Case {
    uint32_t ms, ls;
    const char* four;
    const char* three;
  };
  const Case cases[] = {
      {0x00020002, 0x0000070B, "2.2.0.1803", "2.2.0"},
      {0x00010002, 0x00030004, "1.2.3.4", "1.2.3"},
      {0xFFFF0000, 0x0000FFFF, "65535.0.0.65535", "65535.0.0"},
      {0, 0, "0.0.0.0", "0.0.0"},
  };
  for (const Case& c : cases) {
    const VersionNumbers v = VersionFromWords(c.ms, c.ls);
    EXPECT_EQ(c.four, FormatVersion(v, true)) << c.four;
    EXPECT_EQ(c.three, FormatVersion(v, false)) << c.four;
  }
}

TEST(VersionTest, SplitsTheTrailingNumber) {
  struct Case {
    const char* text;
    const char* prefix;
    int64_t number;
    bool fits;
  };
  const Case cases[] = {
      {"2.2.0.1803", "2.2.0.", 1803, true}, {"0", "", 0, true},
      {"", "", 0, true},                    {"abc", "abc", 0, true},
      {"v12a7", "v12a", 7, true},           {"007", "", 7, true},
      {"1.0.2147483647", "1.0.", 2147483647, true},
      {"1.0.2147483648", "1.0.", 2147483647, false},
      {"x99999999999999999999999", "x", 2147483647, false},
  };
  for (const Case& c : cases) {
    const TrailingNumber split = SplitTrailingNumber(c.text);
    EXPECT_EQ(c.prefix, split.prefix) << c.text;
    EXPECT_EQ(c.number, split.number) << c.text;
    EXPECT_EQ(c.fits, split.fits) << c.text;
  }
}

TEST(VersionTest, BuildCounterFilesSitBesideTheExecutable) {
  EXPECT_EQ("C:\\P\\Tramo2.dof", OptionsFilePath("C:\\P\\Tramo2.exe"));
  EXPECT_EQ("C:\\P\\Tramo2.ini", CompanionIniPath("C:\\P\\Tramo2.exe"));
  EXPECT_EQ("", OptionsFilePath("a.e"));
}

class BuildCounterTest : public testing::Test {
 protected:
  std::string Exe() const { return folder_ / "Tramo2.exe"; }
  std::string Read(const std::string& path, const char* section, const char* key) {
    platform::IniFile ini(path);
    return ini.ReadString(section, key, "<missing>");
  }
  testutil::TempFolder folder_;
};

TEST_F(BuildCounterTest, RaisesTheBuildAboveEveryNumberFound) {
  testutil::WriteFileBytes(folder_ / "Tramo2.dof",
                           "[Version Info]\r\nBuild=5\r\n"
                           "[Version Info Keys]\r\nProductVersion=1.0.0.7\r\n"
                           "FileVersion=1.0.0.3\r\nKompilace=1.0.0.6\r\n");
  EXPECT_TRUE(BuildCounter(Exe()));
  const std::string dof = folder_ / "Tramo2.dof";
  EXPECT_EQ("8", Read(dof, "Version Info", "Build"));
  EXPECT_EQ("1.0.0.8", Read(dof, "Version Info Keys", "ProductVersion"));
  EXPECT_EQ("1.0.0.8", Read(dof, "Version Info Keys", "FileVersion"));
  EXPECT_EQ("<missing>", Read(dof, "Version Info Keys", "Kompilace"));
  EXPECT_EQ("1", Read(dof, "Version Info", "Kompilace"));
  EXPECT_EQ("1", Read(dof, "Version Info", "AutoIncBuild"));
  EXPECT_EQ("8", Read(folder_ / "Tramo2.ini", "Version Info Keys", "Kompilace"));

  // The companion's number counts too, and every prefix stays.
  testutil::WriteFileBytes(folder_ / "Tramo2.ini", "[Version Info Keys]\r\nKompilace=build 41\r\n");
  EXPECT_TRUE(BuildCounter(Exe()));
  EXPECT_EQ("42", Read(dof, "Version Info", "Build"));
  EXPECT_EQ("1.0.0.42", Read(dof, "Version Info Keys", "ProductVersion"));
  EXPECT_EQ("build 42", Read(folder_ / "Tramo2.ini", "Version Info Keys", "Kompilace"));
}

TEST_F(BuildCounterTest, DoesNothingWithoutAnOptionsFile) {
  EXPECT_FALSE(BuildCounter(Exe()));
  std::vector<std::string> names;
  std::string error;
  ASSERT_TRUE(platform::ListFileNames(folder_.path(), &names, &error)) << error;
  EXPECT_TRUE(names.empty());
}

TEST_F(BuildCounterTest, LeavesTheFilesAloneWhenTheNumberWouldOverflow) {
  const std::string text =
      "[Version Info]\r\nBuild=5\r\n[Version Info Keys]\r\nProductVersion=1.0.0.2147483647\r\n";
  testutil::WriteFileBytes(folder_ / "Tramo2.dof", text);
  EXPECT_FALSE(BuildCounter(Exe()));
  EXPECT_EQ(text, testutil::ReadFileBytes(folder_ / "Tramo2.dof"));
  EXPECT_FALSE(platform::FileExists(folder_ / "Tramo2.ini"));
}

}  // namespace
