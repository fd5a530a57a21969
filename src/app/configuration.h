#ifndef TRAMO_APP_CONFIGURATION_H_
#define TRAMO_APP_CONFIGURATION_H_

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/ini_file.h"
#include "ui/window_placement.h"

// The configuration file: DataDir + the executable's base name + ".ini",
// sections "FormOptions", "Form2Options" and "FormNastaveniOptions".
// Integers are written in decimal and booleans as 1 or 0.

constexpr int kListColumnCount = 6;  // "sloupec0" .. "sloupec5"

// Every stored value, with the defaults a missing file, section or key gives.
// A missing window position or size, or column width, keeps the value the
// caller put in: the windows' first-start places, measured at the DPI and
// font in effect.
// The windows fill their controls from it and collect it back before a save.
struct Configuration {
  // "FormOptions"
  WindowPlacement main_window{100, 100, 640, 450};
  bool main_window_maximized = false;  // not stored: keeps the position keys
  int32_t start_count = 0;             // "Spusteni" as read at start
  std::array<int32_t, kListColumnCount> column_widths{{100, 100, 100, 100, 100, 100}};
  uint8_t sort_column = 1;     // "sortC"
  uint8_t sort_direction = 0;  // "sortD": 0 ascending, 1 descending
  bool search_titles = true;   // "ChTitulek"
  int32_t search_minimum_seconds = 1;  // "SpMinCas"
  // "Form2Options": the detailed-statistics editor
  WindowPlacement statistics_editor{100, 100, 640, 450};
  // "FormNastaveniOptions": only left and top are stored; width and height
  // are the dialog's own, used by the screen check
  WindowPlacement settings_dialog{100, 100, 0, 0};
  int32_t minimum_logged_seconds = 60;  // "MinimalniCas"
  bool away_enabled = false;            // "Necinnost": time away counts apart
  int32_t away_minutes = 5;             // "NecinnostMinut", 1-120
  // "DalsiPocitace" ("Pocet", "Slozka1".."SlozkaN"): other computers' data
  // folders, which "Načíst historii" reads after the own one
  std::vector<std::string> other_data_folders;
};

// Whether the list of other computers' data folders may take folder: not the
// own data folder and not one already listed (the same folder in another
// ASCII case, or with or without its trailing backslash, counts as listed).
bool AcceptsOtherDataFolder(const std::vector<std::string>& listed,
                            const std::string& own_data_dir, const std::string& folder);

// An integer as the configuration reads it: optional sign, then decimal
// digits, or hexadecimal after "0x" or "$" (up to 8 digits, the 32-bit
// pattern); surrounding blanks are allowed. Anything else, or a value out of
// the 32-bit range, gives default_value.
int32_t ParseConfigInteger(const std::string& text, int32_t default_value);

// The keys read when the main window is created: "FormOptions" window
// position and size (left and top after the screen check), "Spusteni",
// "sloupec0".., "sortC", "sortD", "ChTitulek", "SpMinCas". The keys are read
// in that order; an error (an exception from the file object) ends the
// reading silently, keeping what was read and leaving the rest of *config as
// the caller had it.
void ReadMainOptions(platform::IniFile* ini, const std::vector<ScreenRect>& work_areas,
                     Configuration* config);

// The keys read at the deferred start, with the same guard: "Form2Options"
// size and position, "FormNastaveniOptions" position (checked against the
// dialog's width and height already in *config), "MinimalniCas" and the
// other computers' data folders.
void ReadOtherWindowOptions(platform::IniFile* ini, const std::vector<ScreenRect>& work_areas,
                            Configuration* config);

// Writes every key in the order of a flush ("Spusteni" as start_count + 1;
// the main window's position and size unless it is maximised; ...) and then
// flushes the file. Stops at the first failure and returns false with the
// error's own text.
bool WriteConfiguration(platform::IniFile* ini, const Configuration& config, std::string* error);

// The level-3 event text of a failed save.
std::string ConfigurationSaveFailureText(const std::string& error);

// DataDir + exe file name without its last four characters + ".ini".
std::string IniFileName(const std::string& data_dir, const std::string& exe_path);

// The data folder, with its trailing backslash: appdata_folder + "\Tramo2\",
// or exe_dir (with its backslash) + "data\" when the application-data folder
// is unknown (empty) or argument1 contains a capital "M".
std::string DataDirFor(const std::string& appdata_folder, const std::string& exe_dir,
                       const std::string& argument1);

// Tests on the command line; args[0] is the executable, missing arguments
// count as empty.
// "MINI" in argument 1, else 2, after ASCII upper-casing: start hidden.
bool StartsHidden(const std::vector<std::string>& args);
// "PREVOD" in argument 1 after upper-casing: batch conversion of args[2]
// into args[3].
bool IsConversion(const std::vector<std::string>& args);
// "noIco" (exact case) in argument 1, else 2: no tray icon at start.
bool NoTrayIcon(const std::vector<std::string>& args);
// The argument at index, or empty.
std::string Argument(const std::vector<std::string>& args, size_t index);

#endif  // TRAMO_APP_CONFIGURATION_H_
