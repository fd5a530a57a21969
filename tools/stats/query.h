#ifndef TRAMO_TOOLS_STATS_QUERY_H_
#define TRAMO_TOOLS_STATS_QUERY_H_

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "cli.h"
#include "views/date_range.h"

class CGlobal;

// What search, overview and report share: their options, the history load of
// the data folders and the three output formats.
namespace stats {

enum class Format { kTable, kCsv, kJson };

// "--name value" options and bare flags, each given at most once unless it is
// one of the repeatable options.
class Options {
 public:
  // Reads args against the options that take a value and the flags; false
  // for anything else, a missing value or an option given twice.
  bool Parse(const Args& args, const std::vector<std::string>& valued,
             const std::vector<std::string>& flags,
             const std::vector<std::string>& repeatable = {});
  bool Has(const std::string& option) const { return values_.count(option) != 0; }
  // The value of an option (empty when it was not given); the first one of
  // a repeatable option.
  std::string Value(const std::string& option) const;
  // Every value of an option, in the order given.
  std::vector<std::string> Values(const std::string& option) const;

 private:
  std::map<std::string, std::vector<std::string>> values_;
};

// "D.M.YYYY" (one- or two-digit day and month), a date that exists.
bool ParseCalendarDate(const std::string& text, CalendarDate* date);
// "table", "csv" or "json".
bool ParseFormat(const std::string& text, Format* format);
// What every query needs: data folders by --data (no folder twice) or
// --data-root, and --from and --to, where given, that parse as dates.
bool QueryOptionsValid(const Options& options);

// The data folders: each --data in the order given, then the subfolders of
// --data-root that hold logs, by name. False, after printing why, when the
// root cannot be listed or holds no such folder; an empty list when neither
// option was given.
bool DataFolders(const Options& options, std::vector<std::string>* folders);

// Loads the history of every data folder on its own, as "Načíst historii"
// does for one, and merges them newest first into history (one folder is
// loaded as it stands). The events the loads record are printed on standard
// error as they come, naming the folder when there are several. False, after
// printing why, when a folder cannot be listed.
bool LoadDataFolders(const std::vector<std::string>& folders, CGlobal* history);

// The calendars after the load (today, the start moved to the earliest
// history date), then --from and --to where given.
void ReadRange(const Options& options, const CGlobal& history, DatePicker* start,
               DatePicker* end);

// Program text (code page 1250) on standard output, converted for the
// terminal and written a chunk at a time as it grows.
class Output {
 public:
  Output() = default;
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;
  void Append(std::string_view cp1250);
  // Text already converted by TerminalText.
  void AppendTerminalText(std::string_view text);
  // Writes what is left; false, after printing why, when any write failed.
  bool Finish();

 private:
  void Write(std::string_view text);
  std::string buffer_;
  bool failed_ = false;
};

// Takes the cells of one output row in column order (code page 1250), each
// written where it goes without a copy of the row.
class CellSink {
 public:
  virtual ~CellSink() = default;
  virtual void Text(std::string_view cell) = 0;
  // A cell whose text stays in place until the output is written (a stored
  // path or title, a text of DateTexts), which need not be copied.
  virtual void LastingText(std::string_view cell) { Text(cell); }
  void Number(uint64_t value);
};
// Gives the cells of output row `row` to the sink, one per column.
using RowCells = std::function<void(size_t row, CellSink* sink)>;

// The table: the captions over the cells, each column as wide as its widest
// text and aligned to its side. The cells of each row are asked for once and
// kept until the widths are known (lasting texts without a copy). Both
// writers ask for the cells of different rows on two threads at once.
struct TableColumn {
  const char* caption;
  bool right;
};
bool WriteTable(const std::vector<TableColumn>& columns, size_t rows, const RowCells& cells);

// CSV (with a header line) or JSON (an array of objects): raw values under
// their keys; number columns are written unquoted in JSON.
struct DataColumn {
  const char* key;
  bool number;
};
bool WriteData(Format format, const std::vector<DataColumn>& columns, size_t rows,
               const RowCells& cells);

// FixedDateTimeText of date-times that repeat across many rows (a quarter
// million search rows end in some forty thousand periods), each formatted
// once. Read only once made, so both output threads share it.
class DateTexts {
 public:
  explicit DateTexts(const std::vector<double>& values);
  // The text of one of the values given; it lasts as long as this object.
  std::string_view Text(double value) const;

 private:
  std::vector<uint64_t> keys_;  // the values' bits, sorted, each once
  std::vector<uint32_t> ends_;  // where the text of each key ends in texts_
  std::string texts_;
};

// The table columns of a list view mode with its captions and sides.
std::vector<TableColumn> ListTableColumns(uint32_t mode, const std::vector<int>& columns);

// Prints a status text on standard error.
void PrintStatus(const std::string& cp1250);

}  // namespace stats

#endif  // TRAMO_TOOLS_STATS_QUERY_H_
