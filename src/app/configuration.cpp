#include "app/configuration.h"

#include <algorithm>
#include <exception>

#include "support/datetime.h"
#include "support/text_routines.h"

namespace {

const char kFormOptions[] = "FormOptions";
const char kForm2Options[] = "Form2Options";
const char kSettingsOptions[] = "FormNastaveniOptions";
// A section earlier versions do not know and so leave alone.
const char kOtherComputers[] = "DalsiPocitace";
// More than this is a damaged count, not a list.
constexpr int32_t kMostOtherComputers = 100;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

int32_t ReadInteger(platform::IniFile* ini, const char* section, const std::string& key,
                    int32_t default_value) {
  return ParseConfigInteger(ini->ReadString(section, key, std::string()), default_value);
}

bool ReadBool(platform::IniFile* ini, const char* section, const std::string& key,
              bool default_value) {
  return ReadInteger(ini, section, key, default_value ? 1 : 0) != 0;
}

// Size first: the screen check of the position needs the size in effect.
void ReadPlacement(platform::IniFile* ini, const char* section, bool with_size,
                   const std::vector<ScreenRect>& work_areas, WindowPlacement* window) {
  if (with_size) {
    window->width = ReadInteger(ini, section, "Width", window->width);
    window->height = ReadInteger(ini, section, "Height", window->height);
  }
  // Both coordinates first: whether the window shows on a monitor needs both.
  WindowPlacement stored = *window;
  stored.left = ReadInteger(ini, section, "Left", window->left);
  stored.top = ReadInteger(ini, section, "Top", window->top);
  *window = KeepOnScreen(stored, work_areas);
}

// Runs a block of reads; an error ends it and keeps what was read.
template <typename Reads>
void Guarded(Reads reads) {
  try {
    reads();
  } catch (const std::exception&) {
  }
}

std::string ColumnKey(int index) { return "sloupec" + std::to_string(index); }
std::string FolderKey(size_t index) { return "Slozka" + std::to_string(index + 1); }

std::string TrimTrailingSeparator(const std::string& folder) {
  size_t end = folder.size();
  while (end > 0 && (folder[end - 1] == '\\' || folder[end - 1] == '/')) --end;
  return folder.substr(0, end);
}

// Writes keys in order until the first failure, which it keeps.
class KeyWriter {
 public:
  KeyWriter(platform::IniFile* ini, std::string* error) : ini_(ini), error_(error) {}

  void Integer(const char* section, const std::string& key, int64_t value) {
    if (ok_) ok_ = ini_->WriteString(section, key, std::to_string(value), error_);
  }
  void Placement(const char* section, const WindowPlacement& window, bool with_size) {
    Integer(section, "Left", window.left);
    Integer(section, "Top", window.top);
    if (with_size) {
      Integer(section, "Width", window.width);
      Integer(section, "Height", window.height);
    }
  }
  // The list as "Pocet" and numbered keys. The key after the last goes, so
  // that a folder removed since the last flush leaves nothing behind (one
  // left by several removals is past "Pocet" and never read).
  void Folders(const char* section, const std::vector<std::string>& folders) {
    Integer(section, "Pocet", static_cast<int64_t>(folders.size()));
    for (size_t i = 0; i < folders.size() && ok_; ++i) {
      ok_ = ini_->WriteString(section, FolderKey(i), folders[i], error_);
    }
    if (ok_) ok_ = ini_->DeleteKey(section, FolderKey(folders.size()), error_);
  }
  void Flush() {
    if (ok_) ok_ = ini_->Flush(error_);
  }
  bool ok() const { return ok_; }

 private:
  platform::IniFile* ini_;
  std::string* error_;
  bool ok_ = true;
};

}  // namespace

int32_t ParseConfigInteger(const std::string& text, int32_t default_value) {
  size_t i = 0;
  size_t end = text.size();
  while (i < end && IsBlank(text[i])) ++i;
  while (end > i && IsBlank(text[end - 1])) --end;
  bool negative = false;
  if (i < end && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  int base = 10;
  if (i < end && text[i] == '$') {
    base = 16;
    ++i;
  } else if (end - i >= 2 && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i == end) return default_value;
  uint64_t value = 0;
  for (; i < end; ++i) {
    const int digit = HexDigit(text[i]);
    if (digit < 0 || digit >= base) return default_value;
    value = value * base + digit;
    if (value > 0xFFFFFFFFu) return default_value;
  }
  if (base == 16) {
    // Hexadecimal gives the 32-bit pattern: "$FFFFFFFF" is -1.
    const uint32_t pattern = static_cast<uint32_t>(negative ? 0u - value : value);
    return static_cast<int32_t>(pattern);
  }
  const int64_t signed_value = negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value);
  if (signed_value < INT32_MIN || signed_value > INT32_MAX) return default_value;
  return static_cast<int32_t>(signed_value);
}

void ReadMainOptions(platform::IniFile* ini, const std::vector<ScreenRect>& work_areas,
                     Configuration* config) {
  Guarded([&] {
    ReadPlacement(ini, kFormOptions, true, work_areas, &config->main_window);
    config->start_count = ReadInteger(ini, kFormOptions, "Spusteni", 0);
    for (int i = 0; i < kListColumnCount; ++i) {
      config->column_widths[i] =
          ReadInteger(ini, kFormOptions, ColumnKey(i), config->column_widths[i]);
    }
    // One byte of each is used.
    config->sort_column = static_cast<uint8_t>(ReadInteger(ini, kFormOptions, "sortC", 1));
    config->sort_direction = static_cast<uint8_t>(ReadInteger(ini, kFormOptions, "sortD", 0));
    config->search_titles = ReadBool(ini, kFormOptions, "ChTitulek", true);
    config->search_minimum_seconds = ReadInteger(ini, kFormOptions, "SpMinCas", 1);
  });
}

void ReadOtherWindowOptions(platform::IniFile* ini, const std::vector<ScreenRect>& work_areas,
                            Configuration* config) {
  Guarded([&] {
    ReadPlacement(ini, kForm2Options, true, work_areas, &config->statistics_editor);
    ReadPlacement(ini, kSettingsOptions, false, work_areas, &config->settings_dialog);
    config->minimum_logged_seconds = ReadInteger(ini, kSettingsOptions, "MinimalniCas", 60);
    config->away_enabled = ReadBool(ini, kSettingsOptions, "Necinnost", false);
    config->away_minutes = ReadInteger(ini, kSettingsOptions, "NecinnostMinut", 5);
    const int32_t count = ReadInteger(ini, kOtherComputers, "Pocet", 0);
    config->other_data_folders.clear();
    for (int32_t i = 0; i < std::min(count, kMostOtherComputers); ++i) {
      const std::string folder = ini->ReadString(kOtherComputers, FolderKey(i), "");
      if (!folder.empty()) config->other_data_folders.push_back(folder);
    }
  });
}

bool WriteConfiguration(platform::IniFile* ini, const Configuration& config, std::string* error) {
  KeyWriter write(ini, error);
  try {
    // The count read at start plus this run: every flush of a run writes
    // the same value.
    write.Integer(kFormOptions, "Spusteni", static_cast<int64_t>(config.start_count) + 1);
    // A maximised window's rectangle is the screen; keep the last normal one.
    if (!config.main_window_maximized) write.Placement(kFormOptions, config.main_window, true);
    write.Placement(kForm2Options, config.statistics_editor, true);
    write.Integer(kFormOptions, "ChTitulek", config.search_titles ? 1 : 0);
    write.Placement(kSettingsOptions, config.settings_dialog, false);
    write.Integer(kSettingsOptions, "MinimalniCas", config.minimum_logged_seconds);
    write.Integer(kSettingsOptions, "Necinnost", config.away_enabled ? 1 : 0);
    write.Integer(kSettingsOptions, "NecinnostMinut", config.away_minutes);
    write.Integer(kFormOptions, "SpMinCas", config.search_minimum_seconds);
    for (int i = 0; i < kListColumnCount; ++i) {
      write.Integer(kFormOptions, ColumnKey(i), config.column_widths[i]);
    }
    write.Integer(kFormOptions, "sortC", config.sort_column);
    write.Integer(kFormOptions, "sortD", config.sort_direction);
    write.Folders(kOtherComputers, config.other_data_folders);
    write.Flush();
  } catch (const std::exception& e) {
    if (error != nullptr) *error = e.what();
    return false;
  }
  return write.ok();
}

bool AcceptsOtherDataFolder(const std::vector<std::string>& listed,
                            const std::string& own_data_dir, const std::string& folder) {
  const auto same = [](const std::string& a, const std::string& b) {
    return AsciiEqualNoCase(TrimTrailingSeparator(a), TrimTrailingSeparator(b));
  };
  if (folder.empty() || same(folder, own_data_dir)) return false;
  return std::none_of(listed.begin(), listed.end(),
                      [&](const std::string& one) { return same(one, folder); });
}

std::string ConfigurationSaveFailureText(const std::string& error) {
  return "Nemuzu ulozit .ini soubor (soubor pouze pro cteni/plny disk?) \r\nErrorMessage: " + error;
}

std::string IniFileName(const std::string& data_dir, const std::string& exe_path) {
  const size_t slash = exe_path.find_last_of("\\/");
  const std::string name = slash == std::string::npos ? exe_path : exe_path.substr(slash + 1);
  return data_dir + name.substr(0, name.size() > 4 ? name.size() - 4 : 0) + ".ini";
}

std::string DataDirFor(const std::string& appdata_folder, const std::string& exe_dir,
                       const std::string& argument1) {
  const bool beside_exe = !argument1.empty() && argument1.find('M') != std::string::npos;
  if (!appdata_folder.empty() && !beside_exe) return appdata_folder + "\\Tramo2\\";
  return exe_dir + "data\\";
}

std::string Argument(const std::vector<std::string>& args, size_t index) {
  return index < args.size() ? args[index] : std::string();
}

bool StartsHidden(const std::vector<std::string>& args) {
  return AsciiUpper(Argument(args, 1)).find("MINI") != std::string::npos ||
         AsciiUpper(Argument(args, 2)).find("MINI") != std::string::npos;
}

bool IsConversion(const std::vector<std::string>& args) {
  return AsciiUpper(Argument(args, 1)).find("PREVOD") != std::string::npos;
}

bool NoTrayIcon(const std::vector<std::string>& args) {
  return Argument(args, 1).find("noIco") != std::string::npos ||
         Argument(args, 2).find("noIco") != std::string::npos;
}
