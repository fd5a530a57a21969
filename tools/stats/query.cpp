#include "query.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "output.h"
#include "platform/file.h"
#include "platform/system.h"
#include "store/cglobal.h"
#include "store/history.h"
#include "support/datetime.h"
#include "support/events.h"
#include "views/list_model.h"

namespace stats {
namespace {

// Every event of the store goes to standard error as it is recorded: a
// damaged log still gives an answer, but not a silent one.
class PrintingEventSink : public EventSink {
 public:
  void AddEvent(int level, const std::string& text) override {
    Print(stderr, Message().Text("Událost (úroveň " + std::to_string(level) + "): " + text));
  }
};

bool NeedsQuotes(const std::string& cell) {
  return cell.find_first_of(",\"\r\n") != std::string::npos;
}

void AppendCsvCell(std::string* out, const std::string& cell) {
  if (!NeedsQuotes(cell)) {
    *out += cell;
    return;
  }
  *out += '"';
  for (char c : cell) {
    if (c == '"') *out += '"';
    *out += c;
  }
  *out += '"';
}

void AppendJsonString(std::string* out, const std::string& text) {
  static const char kHex[] = "0123456789abcdef";
  *out += '"';
  for (char c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      *out += '\\';
      *out += c;
    } else if (c == '\n') {
      *out += "\\n";
    } else if (c == '\r') {
      *out += "\\r";
    } else if (c == '\t') {
      *out += "\\t";
    } else if (byte < 0x20 || byte == 0x7F) {
      *out += "\\u00";
      *out += kHex[byte >> 4];
      *out += kHex[byte & 0xF];
    } else {
      *out += c;
    }
  }
  *out += '"';
}

bool WriteOutput(const std::string& cp1250) {
  if (WriteText(stdout, TerminalText(cp1250))) return true;
  const int code = errno;
  Fail(Message().Text("Zápis na standardní výstup selhal: ").Name(std::strerror(code)));
  return false;
}

// Control bytes (a line feed kept inside a logged title) would break the
// table's lines; the table shows them as blanks.
std::string TableCell(const std::string& cell) {
  std::string shown = cell;
  for (char& c : shown) {
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  }
  return shown;
}

}  // namespace

bool Options::Parse(const Args& args, const std::vector<std::string>& valued,
                    const std::vector<std::string>& flags) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& option = args[i];
    if (values_.count(option) != 0) return false;
    if (std::find(flags.begin(), flags.end(), option) != flags.end()) {
      values_[option] = std::string();
    } else if (std::find(valued.begin(), valued.end(), option) != valued.end() &&
               i + 1 < args.size()) {
      values_[option] = args[++i];
    } else {
      return false;
    }
  }
  return true;
}

std::string Options::Value(const std::string& option) const {
  const auto found = values_.find(option);
  return found != values_.end() ? found->second : std::string();
}

bool ParseCalendarDate(const std::string& text, CalendarDate* date) {
  double value = 0;
  if (text.find(':') != std::string::npos || !TryParseFixedDateTime(text, &value)) return false;
  *date = CalendarDateOf(value);
  return true;
}

bool ParseFormat(const std::string& text, Format* format) {
  if (text == "table") {
    *format = Format::kTable;
  } else if (text == "csv") {
    *format = Format::kCsv;
  } else if (text == "json") {
    *format = Format::kJson;
  } else {
    return false;
  }
  return true;
}

bool LoadDataFolder(const std::string& folder, CGlobal* history) {
  static PrintingEventSink sink;
  SetEventSink(&sink);
  std::string data_dir = folder;
  if (data_dir.empty() || (data_dir.back() != '\\' && data_dir.back() != '/')) {
    data_dir += platform::kPathSeparator;
  }
  std::string error;
  if (LoadHistory(history, data_dir, &error)) return true;
  Fail(Message().Text("Nelze číst složku dat ").Name(folder).Text(": ").Name(error));
  return false;
}

bool ReadRange(const Options& options, const CGlobal& history, DatePicker* start,
               DatePicker* end) {
  const CalendarDate today = CalendarDateOf(platform::Now());
  ShowDate(start, today);
  ShowDate(end, today);
  ApplyHistoryLoad(history, start, end);
  CalendarDate date;
  if (options.Has("--from")) {
    if (!ParseCalendarDate(options.Value("--from"), &date)) return false;
    ShowDate(start, date);
  }
  if (options.Has("--to")) {
    if (!ParseCalendarDate(options.Value("--to"), &date)) return false;
    ShowDate(end, date);
  }
  return true;
}

bool WriteTable(const std::vector<TableColumn>& columns, const Rows& rows) {
  std::vector<size_t> widths;
  for (const TableColumn& column : columns) widths.push_back(std::strlen(column.caption));
  for (const auto& row : rows) {
    for (size_t c = 0; c < columns.size(); ++c) widths[c] = std::max(widths[c], row[c].size());
  }
  std::string out;
  const auto append_line = [&](const std::vector<std::string>& cells) {
    std::string line;
    for (size_t c = 0; c < columns.size(); ++c) {
      if (c > 0) line += "  ";
      const std::string padding(widths[c] - cells[c].size(), ' ');
      line += columns[c].right ? padding + cells[c] : cells[c] + padding;
    }
    line.erase(line.find_last_not_of(' ') + 1);
    out += line;
    out += kLineEnd;
  };
  std::vector<std::string> captions;
  for (const TableColumn& column : columns) captions.push_back(column.caption);
  append_line(captions);
  std::vector<std::string> shown(columns.size());
  for (const auto& row : rows) {
    for (size_t c = 0; c < columns.size(); ++c) shown[c] = TableCell(row[c]);
    append_line(shown);
  }
  return WriteOutput(out);
}

bool WriteData(Format format, const std::vector<DataColumn>& columns, const Rows& rows) {
  std::string out;
  if (format == Format::kCsv) {
    for (size_t c = 0; c < columns.size(); ++c) {
      if (c > 0) out += ',';
      out += columns[c].key;
    }
    out += kLineEnd;
    for (const auto& row : rows) {
      for (size_t c = 0; c < columns.size(); ++c) {
        if (c > 0) out += ',';
        AppendCsvCell(&out, row[c]);
      }
      out += kLineEnd;
    }
    return WriteOutput(out);
  }
  out += '[';
  for (size_t r = 0; r < rows.size(); ++r) {
    out += r == 0 ? "" : ",";
    out += kLineEnd;
    out += "  {";
    for (size_t c = 0; c < columns.size(); ++c) {
      if (c > 0) out += ", ";
      AppendJsonString(&out, columns[c].key);
      out += ": ";
      if (columns[c].number) {
        out += rows[r][c];
      } else {
        AppendJsonString(&out, rows[r][c]);
      }
    }
    out += '}';
  }
  if (!rows.empty()) out += kLineEnd;
  out += ']';
  out += kLineEnd;
  return WriteOutput(out);
}

bool WriteListTable(const ListModel& list, const std::vector<int>& columns) {
  const ListLayout* layout = LayoutForMode(list.view_mode());
  std::vector<TableColumn> table_columns;
  for (int c : columns) {
    table_columns.push_back(TableColumn{
        layout->captions[c], c == 3 ? layout->column3_right_aligned : ColumnRightAligned(c)});
  }
  Rows rows(list.size());
  for (size_t r = 0; r < list.size(); ++r) {
    for (int c : columns) rows[r].emplace_back(list.Cell(r, c));
  }
  return WriteTable(table_columns, rows);
}

void PrintStatus(const std::string& cp1250) { Print(stderr, Message().Text(cp1250)); }

}  // namespace stats
