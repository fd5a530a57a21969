#include "views/list_cells.h"

#include <algorithm>

#include "store/csez.h"
#include "support/datetime.h"
#include "support/duration.h"
#include "support/text_routines.h"

namespace {

const ListLayout kLayouts[3] = {
    {ListPopup::kActivity,
     false,
     {"Jméno", "Doba", "Naposled viděno", "Titulek", "Aktivních dní",
      "Denní průměr"}},
    {ListPopup::kActivity,
     false,
     {"Jméno", "Doba", "Naposled viděno", "Titulek", "Aktivních dní",
      "Denní průměr"}},
    {ListPopup::kOverview, true, {"", "Od", "Do", "Doba", "", ""}},
};

uint8_t ClampColor(int value) {
  return static_cast<uint8_t>(std::min(255, std::max(0, value)));
}

}  // namespace

std::string DisplayName(const std::string& path) {
  const size_t cut = path.find_last_of("\\:");
  const std::string file =
      cut == std::string::npos ? path : path.substr(cut + 1);
  const std::string folder_part =
      cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
  const std::string base = StripExtension(file);
  const std::string folder = LastPathPart(folder_part, 1);
  if (folder.empty()) return path;
  const std::string common = CommonWordRun(base, folder);
  if (common != "\x01" && common.size() > 2) return common;
  return folder + "\\" + file;
}

std::string SearchCellText(const ActivityRecord& record, int column) {
  const uint32_t tenths = record.time * 10u;  // wraps as the 32-bit original
  // The search aggregate counts at least one day; a record without any is
  // shown with its total rather than dividing by zero.
  const uint32_t days = record.activeDays;
  switch (column) {
    case 0: return record.PathText();
    case 1: return FormatDuration(tenths);
    case 2: return FixedDateTimeText(record.latest);
    case 3: return record.TitleText();
    case 4: return std::to_string(days) + " ";
    case 5: return FormatDuration(tenths / std::max(days, 1u));
    default: return std::string();
  }
}

std::string OverviewCellText(const ActivityRecord& record, int column) {
  switch (column) {
    case 1: return record.PathText();
    case 2: return FixedDateTimeText(record.latest);
    case 3: return FormatDuration(record.time * 10u);
    default: return std::string();
  }
}

ColumnSamples ColumnWidthSamples(int column) {
  ColumnSamples samples;
  if (column < 0 || column >= kListColumns) return samples;
  for (const ListLayout& layout : kLayouts) {
    if (layout.captions[column][0] != '\0') samples.captions.push_back(layout.captions[column]);
  }
  // Digits are equally wide: two-digit day and month, every time field.
  const std::string date_time = FixedDateTimeText(EncodeDateTime(2026, 12, 28, 23, 58, 58));
  const uint32_t ten_years_days = 3652;
  const std::string duration = FormatDuration((ten_years_days * 86400u + 86399u) * 10u);
  switch (column) {
    case 1: samples.cells = {duration, date_time}; break;  // "Od" of an overview
    case 2: samples.cells = {date_time}; break;
    case 3: samples.cells = {duration}; break;  // "Doba" of an overview; titles vary
    case 4: samples.cells = {std::to_string(ten_years_days + 1) + " "}; break;
    case 5: samples.cells = {duration}; break;
    default: break;
  }
  return samples;
}

RgbColor DetailRowColor(RgbColor font) {
  int r = font.red - 100;
  int g = font.green - 70;
  int b = font.blue - 90;
  if (r < 0 || g < 0 || b < 0) {
    r = font.red + 55;
    g = font.green + 115;
    b = font.blue + 75;
  }
  return RgbColor{ClampColor(r), ClampColor(g), ClampColor(b)};
}

const ListLayout* LayoutForMode(uint32_t mode) {
  if (mode < 1 || mode > 3) return nullptr;
  return &kLayouts[mode - 1];
}

bool ColumnRightAligned(int column) {
  return column == 1 || column == 2 || column == 4 || column == 5;
}

bool ColumnRightAligned(const ListLayout& layout, int column) {
  return column == 3 ? layout.column3_right_aligned : ColumnRightAligned(column);
}
