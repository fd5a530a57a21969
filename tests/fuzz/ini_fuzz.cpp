// The configuration file on any bytes a user or another program may leave in
// it: reading never fails, and a save over such a file reads back as saved,
// keys of other programs included.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/configuration.h"
#include "core/configuration_fields.h"
#include "core/test_util.h"
#include "fuzz_util.h"
#include "platform/ini_file.h"

namespace {

const std::vector<ScreenRect> kScreen = {{0, 0, 1920, 1080}};

// Values to save, spread over their ranges by the input's bytes; positions
// stay on the screen so that the screen check keeps them.
Configuration ValuesFrom(const uint8_t* data, size_t size) {
  uint32_t state = 2166136261u;
  for (size_t i = 0; i < size; ++i) state = (state ^ data[i]) * 16777619u;
  const auto next = [&state] {
    state = state * 1103515245u + 12345u;
    return static_cast<int32_t>(state);
  };
  Configuration c;
  const auto on_screen = [&](int32_t screen) {
    return static_cast<int32_t>(static_cast<uint32_t>(next()) % static_cast<uint32_t>(screen));
  };
  c.main_window = {on_screen(kScreen[0].right), on_screen(kScreen[0].bottom), next(), next()};
  c.main_window.width = c.main_window.width & 0x7FFFFFFF;
  c.main_window.height = c.main_window.height & 0x7FFFFFFF;
  c.start_count = next() & 0x3FFFFFFF;
  for (int32_t& width : c.column_widths) width = next();
  c.sort_column = static_cast<uint8_t>(next());
  c.sort_direction = static_cast<uint8_t>(next());
  c.search_titles = next() & 1;
  c.search_minimum_seconds = next();
  c.statistics_editor = {on_screen(kScreen[0].right), on_screen(kScreen[0].bottom), 640, 450};
  c.settings_dialog = {on_screen(kScreen[0].right), on_screen(kScreen[0].bottom), 0, 0};
  c.minimum_logged_seconds = next();
  return c;
}

void CheckIntegerTexts(int32_t value) {
  FUZZ_CHECK(ParseConfigInteger(std::to_string(value), ~value) == value);
  FUZZ_CHECK(ParseConfigInteger(" " + std::to_string(value) + "\t", ~value) == value);
  char hex[16];
  std::snprintf(hex, sizeof(hex), "%X", static_cast<uint32_t>(value));
  FUZZ_CHECK(ParseConfigInteger(std::string("$") + hex, ~value) == value);
  FUZZ_CHECK(ParseConfigInteger(std::string("0x") + hex, ~value) == value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static testutil::TempFolder folder;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string path = folder / "Tramo2.ini";
  testutil::WriteFileBytes(path, text);
  platform::IniFile ini(path);

  Configuration read;
  ReadMainOptions(&ini, kScreen, &read);
  ReadOtherWindowOptions(&ini, kScreen, &read);
  ParseConfigInteger(text, 0);

  const Configuration saved = ValuesFrom(data, size);
  CheckIntegerTexts(saved.search_minimum_seconds);
  std::string error;
  FUZZ_CHECK(ini.WriteString("Jine", "klic", "hodnota", &error));
  FUZZ_CHECK(WriteConfiguration(&ini, saved, &error));
  Configuration again;
  ReadMainOptions(&ini, kScreen, &again);
  ReadOtherWindowOptions(&ini, kScreen, &again);
  Configuration expected = saved;
  expected.start_count = saved.start_count + 1;
  FUZZ_CHECK(testutil::Fields(again) == testutil::Fields(expected));
  FUZZ_CHECK(ini.ReadString("Jine", "klic", "") == "hodnota");
  return 0;
}
