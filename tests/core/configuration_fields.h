#ifndef TRAMO_TESTS_CORE_CONFIGURATION_FIELDS_H_
#define TRAMO_TESTS_CORE_CONFIGURATION_FIELDS_H_

#include <cstdint>
#include <vector>

#include "app/configuration.h"

namespace testutil {

// The stored values of a configuration, in one comparable row.
inline std::vector<int32_t> Fields(const Configuration& c) {
  std::vector<int32_t> row = {c.main_window.left, c.main_window.top, c.main_window.width,
                              c.main_window.height, c.start_count, c.sort_column,
                              c.sort_direction, c.search_titles, c.search_minimum_seconds,
                              c.statistics_editor.left, c.statistics_editor.top,
                              c.statistics_editor.width, c.statistics_editor.height,
                              c.settings_dialog.left, c.settings_dialog.top,
                              c.minimum_logged_seconds, c.away_enabled, c.away_minutes};
  row.insert(row.end(), c.column_widths.begin(), c.column_widths.end());
  return row;
}

}  // namespace testutil

#endif  // TRAMO_TESTS_CORE_CONFIGURATION_FIELDS_H_
