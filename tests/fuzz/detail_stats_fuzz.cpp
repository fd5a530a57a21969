// The detailed-statistics list on any file content: loading gives a text of
// CR LF lines that saves and loads back unchanged, and the sampler's test
// answers as the rule over those lines says, for paths made from the list's
// own names and for the path after the first NUL of the input.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/test_util.h"
#include "fuzz_util.h"
#include "support/text_routines.h"
#include "views/detail_stats.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find("\r\n", start);
    lines.push_back(text.substr(start, end - start));
    if (end == std::string::npos) return lines;
    start = end + 2;
  }
}

// The rule as written: every line of at least 3 bytes starting with 1 or 0
// whose name after the first comma is not empty.
bool Listed(const std::vector<std::string>& lines, const std::string& path) {
  bool result = false;
  for (const std::string& line : lines) {
    if (line.size() < 3 || (line[0] != '0' && line[0] != '1')) continue;
    const size_t comma = line.find(',');
    if (comma == std::string::npos || comma + 1 == line.size()) continue;
    const std::string name = line.substr(comma + 1);
    if (line[0] == '1' ? path.find(name) != std::string::npos
                       : AsciiUpper(path).find(AsciiUpper(name)) != std::string::npos) {
      result = true;
    }
  }
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static testutil::TempFolder folder;
  const std::string input(reinterpret_cast<const char*>(data), size);
  const size_t nul = input.find('\0');
  const std::string content = input.substr(0, nul);
  const std::string path = DetailListPath(folder.path());
  testutil::WriteFileBytes(path, content);

  DetailList list;
  list.Load(path);
  const std::string text = list.text();
  for (size_t i = 0; i < text.size(); ++i) {
    FUZZ_CHECK(text[i] != '\n' || (i > 0 && text[i - 1] == '\r'));
    FUZZ_CHECK(text[i] != '\r' || (i + 1 < text.size() && text[i + 1] == '\n'));
  }
  FUZZ_CHECK(list.Save(path));
  DetailList reloaded;
  reloaded.Load(path);
  FUZZ_CHECK(reloaded.text() == text);

  const std::vector<std::string> lines = Lines(text);
  std::vector<std::string> paths;
  if (nul != std::string::npos) paths.push_back(input.substr(nul + 1));
  for (size_t i = 0; i < lines.size() && i < 50; ++i) {
    const std::string& line = lines[i];
    const std::string name = line.substr(line.find(',') == std::string::npos ? 0 : line.find(',') + 1);
    paths.push_back("C:\\Apps\\" + name + ".exe");
    paths.push_back(AsciiUpper(name));
  }
  for (const std::string& candidate : paths) {
    FUZZ_CHECK(list.ZaznamenatPodrobne(candidate) == Listed(lines, candidate));
  }
  if (list.AddPath("C:\\Added\\x.exe")) {
    FUZZ_CHECK(list.ZaznamenatPodrobne("C:\\Added\\x.exe"));
  }
  return 0;
}
