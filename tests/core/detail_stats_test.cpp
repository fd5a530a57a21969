#include "views/detail_stats.h"

#include <string>

#include <gtest/gtest.h>

#include "core/test_util.h"
#include "platform/file.h"

namespace {

const char kCaption[] = "rozlisovat mala a VELKA,jmeno souboru";

TEST(DetailListTest, Matching) {
  DetailList list;
  list.SetText(std::string(kCaption) +
               "\r\n1,C:\\Apps\\X.exe\r\n0,a,b\r\n1,\r\n0,\r\n2,abc\r\n0abc"
               "\r\n0,word\r\n1,Čtečka");
  const struct {
    const char* path;
    bool kept;
  } cases[] = {
      {"C:\\Apps\\X.exe", true},
      {"c:\\apps\\x.exe", false},
      {"D:\\old\\C:\\Apps\\X.exe.bak", true},  // any part of the path
      {"C:\\a,B\\y.exe", true},                 // only the first comma splits
      {"C:\\ab\\y.exe", false},
      {"C:\\Office\\WINWORD.EXE", true},
      {"C:\\abc\\y.exe", false},  // "2,abc", "0abc" and the caption are no entries
      {"C:\\Čtečka\\c.exe", true},
      {"C:\\čtečka\\c.exe", false},  // accented letters are never folded
      {"", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.kept, list.ZaznamenatPodrobne(c.path)) << c.path;
  }
  list.SetText("x\r\n0, ");
  EXPECT_TRUE(list.ZaznamenatPodrobne("C:\\Program Files\\a.exe"));
  EXPECT_FALSE(list.ZaznamenatPodrobne("C:\\Windows\\a.exe"));
}

TEST(DetailListTest, MissingFileGivesDefaultText) {
  testutil::TempFolder folder;
  testutil::EventRecorder events;
  DetailList list;
  list.SetText("1,x");
  list.Load(DetailListPath(folder.path()));
  EXPECT_EQ(std::string(kCaption) + "\r\n0,tramo", list.text());
  EXPECT_TRUE(list.ZaznamenatPodrobne("C:\\Program Files\\TRAMO2\\x.exe"));
  EXPECT_FALSE(list.ZaznamenatPodrobne("C:\\Program Files\\Trąmo\\x.exe"));
  EXPECT_TRUE(events.events.empty());
}

TEST(DetailListTest, SaveLoadAndAdd) {
  testutil::TempFolder folder;
  const std::string path = DetailListPath(folder.path());
  DetailList list;
  list.Load(path);
  // Unsaved edits act at once and are saved along with an added row.
  list.SetText(list.text() + "\r\n0,edited");
  EXPECT_TRUE(list.ZaznamenatPodrobne("C:\\EDITED.exe"));
  ASSERT_TRUE(list.AddPath("C:\\Apps\\X.exe"));
  ASSERT_TRUE(list.Save(path));
  const std::string saved = std::string(kCaption) +
                            "\r\n0,tramo\r\n0,edited\r\n1,C:\\Apps\\X.exe";
  EXPECT_EQ(saved, testutil::ReadFileBytes(path));

  // Cancelled edits stay in force until the next load discards them.
  list.SetText(saved + "\r\n0,cancelled");
  EXPECT_TRUE(list.ZaznamenatPodrobne("c:\\cancelled.exe"));
  list.Load(path);
  EXPECT_EQ(saved, list.text());
  EXPECT_FALSE(list.ZaznamenatPodrobne("c:\\cancelled.exe"));

  // A list written elsewhere with LF lines keeps its lines.
  testutil::WriteFileBytes(path, "caption\n0,lf\n1,Z\n");
  list.Load(path);
  EXPECT_EQ("caption\r\n0,lf\r\n1,Z\r\n", list.text());
  EXPECT_TRUE(list.ZaznamenatPodrobne("C:\\LF.exe"));
  ASSERT_TRUE(list.AddPath("C:\\y.exe"));
  EXPECT_EQ("caption\r\n0,lf\r\n1,Z\r\n1,C:\\y.exe", list.text());
}

TEST(DetailListTest, FailedSaveKeepsTextAndReports) {
  testutil::TempFolder folder;
  testutil::EventRecorder events;
  testutil::WriteFileBytes(folder / "blocker", "x");
  const std::string blocked =
      folder / ("blocker" + std::string(1, platform::kPathSeparator) +
                kDetailListFileName);
  DetailList list;
  list.SetText("h\r\n0,kept");
  EXPECT_FALSE(list.Save(blocked));
  ASSERT_EQ(1u, events.events.size());
  EXPECT_EQ(3, events.events[0].first);
  EXPECT_EQ(0u, events.events[0].second.find("Nelze vytvorit \"" + blocked +
                                             "\" (soubor pouze pro cteni/plny "
                                             "disk?) \r\nErrorMessage: "))
      << events.events[0].second;
  EXPECT_TRUE(list.ZaznamenatPodrobne("C:\\KEPT"));

  // A disk that fills up during the write (a device would be renamed over).
  const std::string full = folder / "full.cvs";
  testutil::WriteFileBytes(full, "old");
  {
    testutil::FileFaults faults;
    faults.FailAt(platform::FileCall::kWrite, 0, testutil::FileFaults::Cut::kHalf);
    EXPECT_FALSE(list.Save(full));
  }
  ASSERT_EQ(2u, events.events.size());
  EXPECT_EQ(0u, events.events[1].second.find("Chyba pri otevirani \"" + full +
                                             "\" \r\nErrorMessage: "))
      << events.events[1].second;
  EXPECT_EQ("old", testutil::ReadFileBytes(full));

#ifdef _WIN32
  // An existing list held open without sharing cannot be opened for writing.
  const std::string path = DetailListPath(folder.path());
  testutil::WriteFileBytes(path, "old");
  platform::File holder;
  std::string error;
  ASSERT_TRUE(holder.OpenReadWrite(path, &error));
  EXPECT_FALSE(list.Save(path));
  ASSERT_EQ(3u, events.events.size());
  EXPECT_EQ(0u, events.events[2].second.find("Nelze otevrit cvs (3) \"" + path +
                                             "\" (pro zapis?) \r\nErrorMessage: "))
      << events.events[2].second;
  holder.Close();
  EXPECT_EQ("old", testutil::ReadFileBytes(path));
#endif
}

}  // namespace
