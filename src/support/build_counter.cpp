#include "support/build_counter.h"

#include <algorithm>
#include <cstdint>

#include "app/configuration.h"
#include "platform/file.h"
#include "platform/ini_file.h"
#include "platform/system.h"

namespace {

constexpr char kVersionInfo[] = "Version Info";
constexpr char kVersionInfoKeys[] = "Version Info Keys";

std::string WithExtension(const std::string& exe_path, const char* extension) {
  if (exe_path.size() < 4) return std::string();
  return exe_path.substr(0, exe_path.size() - 4) + extension;
}

}  // namespace

TrailingNumber SplitTrailingNumber(const std::string& text) {
  size_t start = text.size();
  while (start > 0 && text[start - 1] >= '0' && text[start - 1] <= '9') --start;
  TrailingNumber result{text.substr(0, start), 0, true};
  for (size_t i = start; i < text.size(); ++i) {
    result.number = result.number * 10 + (text[i] - '0');
    if (result.number > INT32_MAX) {
      result.fits = false;
      result.number = INT32_MAX;
      break;
    }
  }
  return result;
}

std::string OptionsFilePath(const std::string& exe_path) {
  return WithExtension(exe_path, ".dof");
}

std::string CompanionIniPath(const std::string& exe_path) {
  return WithExtension(exe_path, ".ini");
}

bool BuildCounter(const std::string& exe_path) {
  const std::string options_path = OptionsFilePath(exe_path);
  if (options_path.empty()) return false;
  {
    platform::File probe;
    std::string error;
    if (!probe.OpenRead(options_path, &error)) return false;
  }
  platform::IniFile options(options_path);
  platform::IniFile companion(CompanionIniPath(exe_path));

  const int32_t build = ParseConfigInteger(options.ReadString(kVersionInfo, "Build", ""), 0);
  const TrailingNumber product =
      SplitTrailingNumber(options.ReadString(kVersionInfoKeys, "ProductVersion", "0"));
  const TrailingNumber file =
      SplitTrailingNumber(options.ReadString(kVersionInfoKeys, "FileVersion", "0"));
  const TrailingNumber compilation =
      SplitTrailingNumber(companion.ReadString(kVersionInfoKeys, "Kompilace", "0"));
  // Wrapping to a negative build would corrupt the files it is meant to count.
  if (!product.fits || !file.fits || !compilation.fits) return false;
  const int64_t largest =
      std::max({int64_t{build}, product.number, file.number, compilation.number});
  if (largest >= INT32_MAX) return false;
  const std::string next = std::to_string(largest + 1);

  std::string error;
  return options.WriteString(kVersionInfo, "Build", next, &error) &&
         options.WriteString(kVersionInfoKeys, "ProductVersion", product.prefix + next, &error) &&
         options.WriteString(kVersionInfoKeys, "FileVersion", file.prefix + next, &error) &&
         options.DeleteKey(kVersionInfoKeys, "Kompilace", &error) &&
         companion.WriteString(kVersionInfoKeys, "Kompilace", compilation.prefix + next,
                               &error) &&
         options.WriteString(kVersionInfo, "Kompilace", "1", &error) &&
         options.WriteString(kVersionInfo, "AutoIncBuild", "1", &error) && options.Flush(&error);
}

void BuildCounter() { BuildCounter(platform::ExecutablePath()); }
