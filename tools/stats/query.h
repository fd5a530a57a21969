#ifndef TRAMO_TOOLS_STATS_QUERY_H_
#define TRAMO_TOOLS_STATS_QUERY_H_

#include <map>
#include <string>
#include <vector>

#include "cli.h"
#include "views/date_range.h"

class CGlobal;
class ListModel;

// What search and overview share: their options, the history load of a data
// folder and the three output formats.
namespace stats {

enum class Format { kTable, kCsv, kJson };

// "--name value" options and bare flags, each given at most once.
class Options {
 public:
  // Reads args against the options that take a value and the flags; false
  // for anything else, a missing value or an option given twice.
  bool Parse(const Args& args, const std::vector<std::string>& valued,
             const std::vector<std::string>& flags);
  bool Has(const std::string& option) const { return values_.count(option) != 0; }
  // The value of an option (empty when it was not given).
  std::string Value(const std::string& option) const;

 private:
  std::map<std::string, std::string> values_;
};

// "D.M.YYYY" (one- or two-digit day and month), a date that exists.
bool ParseCalendarDate(const std::string& text, CalendarDate* date);
// "table", "csv" or "json".
bool ParseFormat(const std::string& text, Format* format);

// Loads the history of a data folder as "Načíst historii" does; the events
// the load records are printed on standard error as they come. False, after
// printing why, when the folder cannot be listed.
bool LoadDataFolder(const std::string& folder, CGlobal* history);

// The calendars after the load (today, the start moved to the earliest
// history date), then --from and --to where given; false for a date that
// does not parse.
bool ReadRange(const Options& options, const CGlobal& history, DatePicker* start,
               DatePicker* end);

using Rows = std::vector<std::vector<std::string>>;

// The table: the list's captions over its cell texts, each column as wide as
// its widest text and aligned as in the list.
struct TableColumn {
  const char* caption;
  bool right;
};
// CSV (with a header line) or JSON (an array of objects): raw values under
// their keys; number columns are written unquoted in JSON.
struct DataColumn {
  const char* key;
  bool number;
};

// Print rows of code page 1250 cells on standard output, converted for the
// terminal; false, after printing why, when the output fails.
bool WriteTable(const std::vector<TableColumn>& columns, const Rows& rows);
bool WriteData(Format format, const std::vector<DataColumn>& columns, const Rows& rows);

// The list's rows as the table: the given columns with the captions and
// alignment of the list's view mode.
bool WriteListTable(const ListModel& list, const std::vector<int>& columns);

// Prints a status text on standard error.
void PrintStatus(const std::string& cp1250);

}  // namespace stats

#endif  // TRAMO_TOOLS_STATS_QUERY_H_
