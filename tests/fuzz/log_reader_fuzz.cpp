// The history reader on hostile log text. The same text is read as a plain
// log and as the encrypted container (optionally behind blank lines that move
// it across the reader's 64 KiB chunks, and with a foreign tail shorter than
// a block, as the clean-exit marker is); both must give the same history and
// the same events, whatever the bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/test_util.h"
#include "fuzz_util.h"
#include "store/cglobal.h"
#include "store/log_cipher.h"
#include "store/log_stream.h"
#include "support/datetime.h"

namespace {

// Everything the reader leaves behind, the file's name taken out of the one
// event that names it.
struct Reading {
  std::vector<double> results;
  std::vector<std::pair<int, std::string>> events;
  std::vector<std::string> nodes;
  double period_end = 0;
  double session_start = 0;
};

std::string NodeText(const PeriodNode& node) {
  std::string text = std::to_string(node.key) + " " + std::to_string(node.end) + " " +
                     std::to_string(node.isSession) + std::to_string(node.crashed) +
                     std::to_string(node.timeChanged) + std::to_string(node.hibernated);
  for (const ActivityRecord* r = node.list.head(); r != nullptr; r = r->next) {
    FUZZ_CHECK(r->time <= 2147483647u);
    text += "|" + r->PathText() + "," + r->TitleText() + "," + std::to_string(r->time) + "," +
            std::to_string(r->stamp);
  }
  return text;
}

Reading Read(const std::string& file_name, int times) {
  testutil::EventRecorder events;
  CGlobal db;
  Reading reading;
  db.OpenCipher();
  // A second pass reads the file again with the session state it left.
  for (int i = 0; i < times; ++i) reading.results.push_back(db.LoadLog(file_name));
  db.CloseCipher();
  for (auto& event : events.events) {
    if (event.second == "Chyba v databazi " + file_name) event.second = "Chyba v databazi";
    reading.events.push_back(event);
  }
  for (const PeriodNode* node = db.head(); node != nullptr; node = node->next) {
    reading.nodes.push_back(NodeText(*node));
  }
  reading.period_end = db.periodEnd;
  reading.session_start = db.sessionStart;
  return reading;
}

bool Same(const Reading& a, const Reading& b) {
  return a.results == b.results && a.events == b.events && a.nodes == b.nodes &&
         a.period_end == b.period_end && a.session_start == b.session_start;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static testutil::TempFolder folder;
  static testutil::FakeClock clock(EncodeDateTime(2026, 12, 8, 12, 0, 0));
  const uint8_t options = data[0];
  std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  // Whole blocks for the container; the plain copy holds the same padding.
  text.append((16 - text.size() % 16) % 16, ' ');
  // Blank lines of whole blocks in front keep the text's place within its
  // 16-byte chunks and change nothing else.
  const size_t blank_blocks =
      (options & 0xC0) == 0xC0 ? LogTextReader::kChunkSize / 16 - (options & 7) : 0;
  std::string blanks;
  for (size_t i = 0; i < blank_blocks; ++i) blanks += "              \r\n";
  const std::string tail = std::string("#\r\n").substr(0, (options >> 4) & 3);
  const int times = options & 0x08 ? 2 : 1;

  const std::string plain = folder / "log.txt";
  const std::string encrypted = folder / "log.eb";
  testutil::WriteFileBytes(plain, text);
  const Reading from_plain = Read(plain, times);
  {
    LogCipher cipher;
    testutil::WriteFileBytes(encrypted, StoreAsBlocks(cipher, blanks + text) + tail);
  }
  const Reading from_encrypted = Read(encrypted, times);
  FUZZ_CHECK(Same(from_plain, from_encrypted));
  return 0;
}
