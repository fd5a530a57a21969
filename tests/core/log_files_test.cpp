// The log files on disk: block container, positioning and the clean-exit
// marker, the reader's chunked line splitting, history load order and the
// batch conversion, with their failure events under real file-system
// conditions.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "platform/file.h"
#include "store/cglobal.h"
#include "store/csez.h"
#include "store/history.h"
#include "store/log_cipher.h"
#include "store/log_files.h"
#include "support/datetime.h"
#include "test_util.h"

namespace {

using testutil::EventRecorder;
using testutil::FakeClock;
using testutil::ReadFileBytes;
using testutil::TempFolder;
using testutil::WriteFileBytes;

double At(int y, int mo, int d, int h, int mi, int s) { return EncodeDateTime(y, mo, d, h, mi, s); }

std::string Plaintext(const TempFolder& folder, const std::string& log) {
  const std::string target = folder / "plain.out";
  platform::RemoveFile(target);
  EXPECT_TRUE(DecryptLogFile(log, target));
  return ReadFileBytes(target);
}

std::string Encrypted(std::string text) {
  const LogCipher cipher;
  return StoreAsBlocks(cipher, std::move(text));
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// One program run: the start-up write, optional hourly writes, the marker.
struct Run {
  CSez pending;
  explicit Run(FakeClock* clock, double start) : pending((clock->Set(start), start)) {}
};

TEST(LogContainer, PadsEachWriteToWholeBlocks) {
  EXPECT_EQ(48u, Encrypted(std::string(33, 'x')).size());
  EXPECT_EQ(16u, Encrypted(std::string(16, 'x')).size());
  const LogCipher cipher;
  std::string blocks = Encrypted("abc\r\n");
  cipher.ReadBlocks(reinterpret_cast<uint8_t*>(&blocks[0]), 1);
  EXPECT_EQ("abc\r\n" + std::string(11, ' '), blocks);
}

TEST(LogContainer, KeyUsesOnlyItsFirstTwoBytes) {
  uint8_t key[16];
  BuildLogKey(key);
  uint8_t other[16] = {key[0], key[1]};
  for (int i = 2; i < 16; ++i) other[i] = static_cast<uint8_t>(~key[i]);
  Twofish a(key, 16);
  Twofish b(other, 16);
  uint8_t block_a[16] = "sixteen bytes..";
  uint8_t block_b[16] = "sixteen bytes..";
  a.DecryptBlock(block_a, block_a);
  b.DecryptBlock(block_b, block_b);
  EXPECT_EQ(0, memcmp(block_a, block_b, 16));
}

// Every user's logs depend on these bytes. They were derived outside this
// code: the key routine over zlib's CRC-32 of its phrase gives the key bytes
// 9E 79, and libgcrypt's Twofish-128 under 9E 79 00 .. 00 decrypts the text
// block to the stored block.
TEST(LogContainer, StoredBlockIsTheTwofishDecryptionUnderTheSixteenBitKey) {
  uint8_t key[16];
  BuildLogKey(key);
  EXPECT_EQ(0x9E, key[0]);
  EXPECT_EQ(0x79, key[1]);
  const std::string text = "\r\n#Seance dne: 6";
  const unsigned char kStored[16] = {0x72, 0x24, 0xD6, 0x32, 0x9B, 0x00, 0xE6, 0x2C,
                                     0x70, 0xE9, 0x35, 0xE2, 0xCD, 0x47, 0xA9, 0xB1};
  const std::string stored(reinterpret_cast<const char*>(kStored), 16);
  const LogCipher cipher;
  EXPECT_EQ(stored, StoreAsBlocks(cipher, text));
  std::string read = stored;
  cipher.ReadBlocks(reinterpret_cast<uint8_t*>(&read[0]), 1);
  EXPECT_EQ(text, read);
}

TEST(LogFiles, NamesOneFilePerMonth) {
  EXPECT_EQ("D\\Tramo2_cvs2026_03.eb", LogFileName("D\\", At(2026, 3, 31, 23, 59, 59)));
  EXPECT_EQ("D\\Tramo2_cvs2027_01.eb", LogFileName("D\\", At(2027, 1, 1, 0, 0, 0)));
  EXPECT_EQ("D\\Tramo2_cvs2026_12.eb", LogFileName("D\\", At(2026, 12, 31, 23, 59, 59)));
}

TEST(LogFiles, FirstWriteCreatesTheFolderPathAndHoldsOnlyTheSessionHeader) {
  TempFolder folder;
  FakeClock clock(At(2026, 12, 6, 18, 9, 39));
  const std::string log = folder / "a" + platform::kPathSeparator + "b" +
                          platform::kPathSeparator + "Tramo2_cvs2026_12.eb";
  CSez pending;
  ASSERT_TRUE(pending.WriteLog(log, 60));
  EXPECT_EQ("\r\n#-------------------------------------------\r\n"
            "#Seance dne: 6.12.2026 18:09:39\r\n" + std::string(15, ' '),
            Plaintext(folder, log));
}

TEST(LogFiles, DrivesAndSharesAreNotFoldersToCreate) {
  const std::pair<const char*, size_t> cases[] = {
      {"C:\\Data\\", 2}, {"data\\", 0}, {"\\\\server\\share\\Tramo2\\", 14}, {"//server/share", 14},
      {"\\\\server", 8}, {"\\\\?\\C:\\Data\\", 6}, {"\\\\?\\UNC\\server\\share\\Tramo2", 20}};
  for (const auto& [path, root] : cases) EXPECT_EQ(root, platform::PathRootLength(path)) << path;
#ifdef _WIN32
  TempFolder folder;
  std::string error;
  EXPECT_TRUE(platform::CreateFolders("\\\\?\\" + folder / "a\\b\\", &error)) << error;
  EXPECT_TRUE(platform::FolderExists(folder / "a\\b"));
#endif
}

TEST(LogFiles, CleanExitMarkerIsOverwrittenAndACrashIsNoted) {
  TempFolder folder;
  FakeClock clock(At(2026, 12, 6, 8, 0, 0));
  const std::string log = folder / "Tramo2_cvs2026_12.eb";
  {
    CSez first_run;
    ASSERT_TRUE(first_run.WriteLog(log, 60));
    AppendCloseMarker(log);
  }
  EXPECT_EQ(96u + 3u, ReadFileBytes(log).size());
  {
    clock.Set(At(2026, 12, 6, 9, 0, 0));
    CSez second_run;  // closed normally before: no crash note, marker overwritten
    ASSERT_TRUE(second_run.WriteLog(log, 60));
  }
  EXPECT_EQ(192u, ReadFileBytes(log).size());
  {
    clock.Set(At(2026, 12, 6, 10, 0, 0));
    CSez third_run;  // the second run was killed: no marker
    ASSERT_TRUE(third_run.WriteLog(log, 60));
  }
  const std::string text = Plaintext(folder, log);
  const size_t first = text.find("#Seance dne: 6.12.2026 08:00:00");
  const size_t second = text.find("#Seance dne: 6.12.2026 09:00:00");
  const size_t third = text.find("#Seance dne: 6.12.2026 10:00:00");
  const size_t crash = text.find("#Program NEBYL korektne ukoncen (pad systemu?)");
  ASSERT_NE(std::string::npos, third);
  EXPECT_LT(first, second);
  EXPECT_LT(second, crash);
  EXPECT_LT(crash, third);
  EXPECT_EQ(crash, text.rfind("#Program NEBYL"));
}

TEST(LogFiles, ForeignEndGetsTheCrashNoteAndAnAlignedWrite) {
  TempFolder folder;
  FakeClock clock(At(2026, 12, 6, 8, 0, 0));
  const std::string log = folder / "Tramo2_cvs2026_12.eb";
  WriteFileBytes(log, Encrypted(std::string(48, 'a')) + "xy");  // 50 bytes, no marker
  CSez run;
  ASSERT_TRUE(run.WriteLog(log, 60));
  const std::string bytes = ReadFileBytes(log);
  EXPECT_EQ(0, bytes.size() % 16);
  EXPECT_EQ(std::string(14, '\0'), bytes.substr(50, 14));  // skipped bytes read as zeros
  std::string tail = bytes.substr(64);
  const LogCipher cipher;
  cipher.ReadBlocks(reinterpret_cast<uint8_t*>(&tail[0]), tail.size() / 16);
  EXPECT_EQ(0u, tail.find("\r\n#Program NEBYL korektne ukoncen (pad systemu?)\r\n\r\n\r\n#---"));
}

TEST(LogFiles, MarkerAfterThreeBlocksIsReadAsThreeBlocksOfText) {
  TempFolder folder;
  const std::string text = "\r\n#Seance dne: 6.12.2026 08:00:00\r\n" + std::string(13, ' ');
  ASSERT_EQ(48u, text.size());
  const std::string log = folder / "Tramo2_cvs2026_12.eb";
  WriteFileBytes(log, Encrypted(text) + "#\r\n");
  EXPECT_EQ(text, Plaintext(folder, log));
  FakeClock clock(At(2026, 12, 6, 9, 0, 0));
  CSez run;
  ASSERT_TRUE(run.WriteLog(log, 60));
  const std::string after = Plaintext(folder, log);
  EXPECT_EQ(text, after.substr(0, 48));
  EXPECT_EQ(0u, after.find("\r\n#---", 48) - 48);
}

TEST(LogFiles, TurnOfTheYearStartsTheNextMonthsFileWithAPeriodHeader) {
  TempFolder folder;
  FakeClock clock(At(2026, 12, 31, 22, 0, 0));
  CSez pending;
  ASSERT_TRUE(pending.WriteLog(LogFileName(folder.path(), clock.Now()), 0));
  clock.Set(At(2026, 12, 31, 23, 59, 59));
  pending.NewRecord("C:\\a.exe", 100, "");
  ASSERT_TRUE(pending.WriteLog(LogFileName(folder.path(), clock.Now()), 0));
  pending.Clear();
  clock.Set(At(2027, 1, 1, 0, 59, 59));
  pending.NewRecord("C:\\b.exe", 100, "");
  ASSERT_TRUE(pending.WriteLog(LogFileName(folder.path(), clock.Now()), 0));
  const std::string december = Plaintext(folder, folder / "Tramo2_cvs2026_12.eb");
  const std::string january = Plaintext(folder, folder / "Tramo2_cvs2027_01.eb");
  EXPECT_TRUE(Contains(december, "10,C:\\a.exe,"));
  // Clear starts the next period at the flush's moment.
  EXPECT_EQ(0u, january.find("\r\n#Statistika od 31.12.2026 23:59:59 do 1.1.2027 00:59:59\r\n"));
  EXPECT_FALSE(Contains(january, "Seance"));
}


TEST(LogFileFailures, EachFailureIsOneLevelThreeEventAndKeepsTheRecords) {
  TempFolder folder;
  FakeClock clock(At(2026, 12, 6, 8, 0, 0));
  EventRecorder events;
  CSez pending;
  pending.NewRecord("C:\\a.exe", 600, "");

  const std::string locked = folder / "locked.eb";
  testutil::UnopenableFile hold(locked);
  EXPECT_FALSE(pending.WriteLog(locked, 0));
  WriteFileBytes(folder / "blocker", "x");
  const std::string blocked =
      folder / "blocker" + platform::kPathSeparator + "Tramo2_cvs2026_12.eb";
  EXPECT_FALSE(pending.WriteLog(blocked, 0));
  EXPECT_TRUE(pending.firstWrite);  // failed before the text was built
  // A disk that fills up during the write (Wine cannot tell that its full
  // device exists, and a new log is never created over an existing file).
  const std::string full = folder / "full.eb";
  {
    testutil::FileFaults faults;
    faults.FailAt(platform::FileCall::kWrite, 0, testutil::FileFaults::Cut::kHalf);
    EXPECT_FALSE(pending.WriteLog(full, 0));
  }
  EXPECT_FALSE(platform::FileExists(full));  // created by the failed write, so removed
  EXPECT_TRUE(pending.firstWrite);  // the lost text is written again whole

  ASSERT_EQ(3u, events.events.size());
  for (const auto& event : events.events) EXPECT_EQ(3, event.first);
  EXPECT_EQ(0u, events.events[0].second.find("Nelze otevrit cvs (2) \"" + locked +
                                             "\" (pro zapis?) \r\nErrorMessage: "));
  EXPECT_EQ(0u, events.events[1].second.find(
                    "Nelze vytvorit cvs \"" + blocked +
                    "\" (soubor pouze pro cteni/plny disk?) \r\nErrorMessage: "));
  EXPECT_EQ(0u, events.events[2].second.find(
                    "Nelze ulozit cvs do \"" + full +
                    "\" (soubor pouze pro cteni/plny disk?) \r\nErrorMessage: "));
  for (const auto& event : events.events) {
    EXPECT_GT(event.second.size(), event.second.find("ErrorMessage: ") + 14);
  }
  ASSERT_NE(nullptr, pending.FindPath("C:\\a.exe"));

  const std::string good = folder / "Tramo2_cvs2026_12.eb";
  clock.Set(At(2026, 12, 6, 9, 0, 0));
  EXPECT_TRUE(pending.WriteLog(good, 0));
  EXPECT_TRUE(Contains(Plaintext(folder, good),
                       "#Seance dne: 6.12.2026 08:00:00\r\n#Statistika od 6.12.2026 08:00:00 do "
                       "09:00:00\r\n#cas (sec),cesta,titulek\r\n60,C:\\a.exe,\r\n"));
}

TEST(LogFileFailures, CloseMarkerFailuresAndAMissingFile) {
  TempFolder folder;
  EventRecorder events;
  AppendCloseMarker(folder / "missing.eb");
  EXPECT_TRUE(events.events.empty());
  EXPECT_FALSE(platform::FileExists(folder / "missing.eb"));

  const std::string locked = folder / "locked.eb";
  testutil::UnopenableFile hold(locked);
  AppendCloseMarker(locked);
  ASSERT_EQ(1u, events.events.size());
  EXPECT_EQ(0u, events.events[0].second.find("Nelze otevrit cvs (1) \"" + locked +
                                             "\" (pro zapis?) \r\nErrorMessage: "));
#ifndef _WIN32
  // Wine cannot tell that its full device exists, so only here.
  AppendCloseMarker(testutil::FullDevicePath());
  ASSERT_EQ(2u, events.events.size());
  EXPECT_EQ(0u, events.events[1].second.find("Nelze ulozit cvs do \"" +
                                             testutil::FullDevicePath() + "\""));
#endif
}

// Plain logs read by LoadLog; each test builds its text byte for byte.
const char kSession[] = "\r\n#Seance dne: 6.12.2026 08:00:00\r\n";
const char kPeriod[] = "\r\n#Statistika od 6.12.2026 08:00:00 do 09:00:00\r\n#cas (sec),cesta,titulek\r\n";

uint32_t TotalSeconds(CGlobal* db, const std::string& path) {
  uint32_t total = 0;
  ActivityRecord* record = nullptr;
  db->Rewind();
  while (db->NextRecord(&record)) {
    if (record != nullptr && record->PathText() == path) total += record->time;
  }
  return total;
}

TEST(LoadLog, SplitsLinesAcrossChunksAndDropsLfAtChunkStarts) {
  TempFolder folder;
  FakeClock clock(At(2026, 12, 7, 12, 0, 0));
  EventRecorder events;
  std::string text = std::string(kSession) + kPeriod;
  // A record line that starts mid-chunk and ends with CR as a chunk's last byte.
  text += std::string(15 - text.size() % 16, ' ');
  text += "\r";
  text.append((16 - text.size() % 16) % 16, ' ');
  text += "12,C:\\long\\path\\app.exe,";
  text.append((16 - (text.size() + 1) % 16) % 16, 'x');
  text += "\r\n";  // CR ends one chunk, LF starts the next: one line end
  text += "7,C:\\b.exe,\r\n";
  WriteFileBytes(folder / "log.txt", text);
  CGlobal db;
  const double earliest = db.LoadLog(folder / "log.txt");
  EXPECT_DOUBLE_EQ(At(2026, 12, 6, 8, 0, 0), earliest);
  EXPECT_EQ(7u, TotalSeconds(&db, "C:\\b.exe"));
  EXPECT_TRUE(events.events.empty()) << events.events[0].second;
}

// Logs written before titles lost their line breaks hold LFs inside lines:
// the reader has always dropped one at a 16-byte boundary and kept the rest.
TEST(LoadLog, LfAtAChunkStartIsDroppedInsideALine) {
  TempFolder folder;
  FakeClock clock(At(2026, 12, 7, 12, 0, 0));
  EventRecorder events;
  std::string text = std::string(kSession) + kPeriod;
  text.append(16 - (text.size() + 13) % 16, ' ');
  text += "5,C:\\a.exe,ab";  // 13 bytes: the LF after it starts a chunk
  ASSERT_EQ(0u, text.size() % 16);
  text += "\ncd\r\n7,C:\\b.exe,ab\ncd\r\n";
  ASSERT_NE(0u, text.rfind('\n', text.size() - 3) % 16);
  WriteFileBytes(folder / "log.txt", text);
  CGlobal db;
  db.LoadLog(folder / "log.txt");
  std::vector<std::string> titles;
  ActivityRecord* record = nullptr;
  db.Rewind();
  while (db.NextRecord(&record)) {
    if (record != nullptr) titles.push_back(record->PathText() + "|" + record->TitleText());
  }
  std::sort(titles.begin(), titles.end());
  EXPECT_EQ((std::vector<std::string>{"C:\\a.exe|abcd", "C:\\b.exe|ab\ncd"}), titles);
  EXPECT_TRUE(events.events.empty());
}

TEST(LoadLog, LfOnlyTextIsOneLongBadLine) {
  TempFolder folder;
  FakeClock clock(At(2026, 12, 7, 12, 0, 0));
  EventRecorder events;
  WriteFileBytes(folder / "unix.txt",
                 "#Seance dne: 6.12.2026 08:00:00\n#Statistika od 6.12.2026 08:00:00 do "
                 "09:00:00\n5,C:\\a.exe,\n");
  CGlobal db;
  db.LoadLog(folder / "unix.txt");
  EXPECT_EQ(0u, TotalSeconds(&db, "C:\\a.exe"));
  ASSERT_EQ(1u, events.events.size());
  EXPECT_EQ(std::make_pair(2, "Chyba v databazi " + (folder / "unix.txt")), events.events[0]);
}

TEST(LoadLog, EmptyAndUnreadableFiles) {
  TempFolder folder;
  const double now = At(2026, 12, 7, 12, 0, 0);
  FakeClock clock(now);
  EventRecorder events;
  WriteFileBytes(folder / "empty.txt", "");
  CGlobal db;
  EXPECT_DOUBLE_EQ(now, db.LoadLog(folder / "empty.txt"));
  EXPECT_TRUE(events.events.empty());
  platform::CreateFolders(folder / "folder.txt", nullptr);
  EXPECT_EQ(0.0, db.LoadLog(folder / "folder.txt"));
  ASSERT_EQ(1u, events.events.size());
  EXPECT_EQ(3, events.events[0].first);
  EXPECT_EQ(0u, events.events[0].second.find("ErrorMessage: "));
}

TEST(LoadLog, UnreadableSessionDateEndsTheFileWithoutTheBadLineSummary) {
  TempFolder folder;
  FakeClock clock(At(2026, 12, 7, 12, 0, 0));
  EventRecorder events;
  WriteFileBytes(folder / "a.txt", std::string(kSession) + kPeriod + "5,C:\\a.exe,\r\nbad\r\n" +
                                       "\r\n#Seance dne: 45.12.2026\r\n" + kPeriod +
                                       "9,C:\\b.exe,\r\n");
  CGlobal db;
  EXPECT_DOUBLE_EQ(At(2026, 12, 6, 8, 0, 0), db.LoadLog(folder / "a.txt"));
  EXPECT_EQ(5u, TotalSeconds(&db, "C:\\a.exe"));
  EXPECT_EQ(0u, TotalSeconds(&db, "C:\\b.exe"));
  ASSERT_EQ(1u, events.events.size());
  EXPECT_EQ(std::make_pair(3, std::string("Nelze nacist databazi. \r\nErrorMessage: "
                                          "'45.12.2026' is not a valid date and time")),
            events.events[0]);
}

// Logs many chunks long are deciphered ahead on a second thread: every line
// must still arrive whole and in order, and a reading that ends early must
// not wait for the rest of the file.
TEST(LoadLog, LogsOfManyChunksReadInOrderAndStopEarly) {
  TempFolder folder;
  FakeClock clock(At(2026, 12, 7, 12, 0, 0));
  EventRecorder events;
  std::string lines;
  uint32_t expected = 0;
  for (uint32_t k = 0; lines.size() < 12 * 65536; ++k) {
    lines += std::to_string(k % 97) + ",C:\\tools\\app" + std::to_string(k % 13) +
             ".exe,Window title number " + std::to_string(k) + "\r\n";
    if (k % 13 == 5) expected += k % 97;
  }
  const std::string text = std::string(kSession) + kPeriod + lines;
  WriteFileBytes(folder / "Tramo2_cvs2026_12.eb", Encrypted(text) + "#\r\n");
  CGlobal whole;
  whole.LoadLog(folder / "Tramo2_cvs2026_12.eb");
  EXPECT_EQ(expected, TotalSeconds(&whole, "C:\\tools\\app5.exe"));
  EXPECT_TRUE(events.events.empty()) << events.events[0].second;

  WriteFileBytes(folder / "early.eb",
                 Encrypted(std::string("\r\n#Seance dne: 45.12.2026\r\n") + kPeriod + lines));
  CGlobal early;
  early.LoadLog(folder / "early.eb");
  EXPECT_EQ(0u, TotalSeconds(&early, "C:\\tools\\app5.exe"));
  ASSERT_EQ(1u, events.events.size());
  EXPECT_EQ(3, events.events[0].first);
}

TEST(LoadLog, EncryptedLogWithMarkerReadsLikeItsConvertedCopy) {
  TempFolder folder;
  FakeClock clock(At(2026, 12, 7, 12, 0, 0));
  EventRecorder events;
  const std::string text = std::string(kSession) + kPeriod + "5,C:\\a.exe,\r\n3,C:\\a.exe,T\r\n";
  WriteFileBytes(folder / "Tramo2_cvs2026_12.eb", Encrypted(text) + "#\r\n");
  ASSERT_TRUE(DecryptLogFile(folder / "Tramo2_cvs2026_12.eb", folder / "copy.txt"));
  CGlobal encrypted;
  CGlobal plain;
  encrypted.LoadLog(folder / "Tramo2_cvs2026_12.eb");
  plain.LoadLog(folder / "copy.txt");
  EXPECT_EQ(8u, TotalSeconds(&encrypted, "C:\\a.exe"));
  EXPECT_EQ(8u, TotalSeconds(&plain, "C:\\a.exe"));
  EXPECT_TRUE(events.events.empty());
}

TEST(LoadHistory, ReadsEncryptedThenPlainLogsInNameOrder) {
  TempFolder folder;
  FakeClock clock(At(2026, 12, 7, 12, 0, 0));
  EventRecorder events;
  // February's run crosses into March: the March file starts with a period
  // header and depends on the session read from February.
  WriteFileBytes(folder / "Tramo2_cvs2026_02.eb",
                 Encrypted("\r\n#Seance dne: 28.2.2026 23:00:00\r\n"
                           "\r\n#Statistika od 28.2.2026 23:00:00 do 23:59:59\r\n"
                           "#cas (sec),cesta,titulek\r\n4,C:\\a.exe,\r\n"));
  WriteFileBytes(folder / "Tramo2_cvs2026_03.eb",
                 Encrypted("\r\n#Statistika od 1.3.2026 do 00:59:59\r\n"
                           "#cas (sec),cesta,titulek\r\n6,C:\\a.exe,\r\n"));
  WriteFileBytes(folder / "Tramo2_cvs2026_04.EB",  // not "eb": read as plain text, bad
                 Encrypted("\r\n#Seance dne: 1.4.2026 08:00:00\r\n"));
  // The event protocol is never read as a log.
  WriteFileBytes(folder / "!Protokol.txt", std::string(kSession) + kPeriod + "100,C:\\a.exe,\r\n");
  CGlobal db;
  std::string error;
  ASSERT_TRUE(LoadHistory(&db, folder.path(), &error));
  EXPECT_TRUE(db.loaded);
  EXPECT_DOUBLE_EQ(At(2026, 2, 28, 23, 0, 0), db.earliest);
  EXPECT_EQ(10u, TotalSeconds(&db, "C:\\a.exe"));
  ASSERT_EQ(1u, events.events.size());
  EXPECT_EQ("Chyba v databazi " + (folder / "Tramo2_cvs2026_04.EB"), events.events[0].second);

  // A reload starts afresh; March read alone has no session to belong to,
  // while a name that differs from the protocol's only in case is a log.
  platform::RemoveFile(folder / "Tramo2_cvs2026_02.eb");
  platform::RemoveFile(folder / "Tramo2_cvs2026_04.EB");
  platform::RemoveFile(folder / "!Protokol.txt");
  WriteFileBytes(folder / "!protokol.txt", std::string(kSession) + kPeriod + "100,C:\\a.exe,\r\n");
  CGlobal fresh;
  ASSERT_TRUE(LoadHistory(&fresh, folder.path(), &error));
  EXPECT_EQ(100u, TotalSeconds(&fresh, "C:\\a.exe"));
  ASSERT_TRUE(LoadHistory(&db, folder.path(), &error));
  EXPECT_EQ(100u, TotalSeconds(&db, "C:\\a.exe"));
}

TEST(ConvertLogs, ReportsConvertedAndSkippedFiles) {
  TempFolder folder;
  const std::string source = folder / "src";
  const std::string target = folder / "out" + platform::kPathSeparator + "deep";
  platform::CreateFolders(source, nullptr);
  const std::string s = source + platform::kPathSeparator;
  const std::string t = target + platform::kPathSeparator;
  WriteFileBytes(s + "Tramo2_cvs2026_02.eb", Encrypted("february\r\n") + "#\r\n");
  WriteFileBytes(s + "Tramo2_cvs2026_03.eb", Encrypted("march\r\n"));
  WriteFileBytes(s + "notes.txt", "not a log");
  EXPECT_EQ("Prevedenych: 2\r\nvynechanych: 0", ConvertLogs(source, target));
  EXPECT_EQ("february\r\n" + std::string(6, ' '), ReadFileBytes(t + "Tramo2_cvs2026_02.txt"));

  WriteFileBytes(t + "Tramo2_cvs2026_02.txt", "kept");
  platform::RemoveFile(t + "Tramo2_cvs2026_03.txt");
  EXPECT_EQ("Prevedenych: 1\r\nvynechanych: 1", ConvertLogs(s, t));
  EXPECT_EQ("kept", ReadFileBytes(t + "Tramo2_cvs2026_02.txt"));

  EXPECT_EQ("Chybn\xE9 parametry", ConvertLogs(source, ""));
  WriteFileBytes(folder / "blocker", "x");
  const std::string blocked = folder / "blocker" + platform::kPathSeparator + "out";
  EXPECT_EQ("Neexistuje v\xFDstupn\xED adres\xE1\xF8 " + blocked + platform::kPathSeparator,
            ConvertLogs(source, blocked));
}

}  // namespace
