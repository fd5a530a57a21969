#include "query.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "output.h"
#include "platform/file.h"
#include "platform/system.h"
#include "store/cglobal.h"
#include "store/history.h"
#include "support/datetime.h"
#include "support/events.h"
#include "views/list_cells.h"

namespace stats {
namespace {

// Every event of the store goes to standard error as it is recorded, with
// the folder being read: a damaged log still gives an answer, but not a
// silent one.
class PrintingEventSink : public EventSink {
 public:
  void AddEvent(int level, const std::string& text) override {
    Print(stderr, Message()
                      .Text("Událost (úroveň " + std::to_string(level) + ", složka ")
                      .Name(folder)
                      .Text("): " + text));
  }
  std::string folder;
};

bool NeedsQuotes(std::string_view cell) {
  for (char c : cell) {
    if (c == ',' || c == '"' || c == '\r' || c == '\n') return true;
  }
  return false;
}

void AppendCsvCell(Output* out, std::string_view cell) {
  if (!NeedsQuotes(cell)) {
    out->Append(cell);
    return;
  }
  std::string quoted = "\"";
  for (char c : cell) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  quoted += '"';
  out->Append(quoted);
}

// Control bytes (a line feed kept inside a logged title) would break the
// table's lines; the table shows them as blanks.
void AppendTableCell(std::string* line, std::string_view cell) {
  for (char c : cell) *line += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
}

std::string WithSeparator(const std::string& folder) {
  if (folder.empty() || folder.back() == '\\' || folder.back() == '/') return folder;
  return folder + platform::kPathSeparator;
}

bool HoldsLogs(const std::string& folder) {
  std::vector<std::string> encrypted;
  std::vector<std::string> plain;
  std::string error;
  return ListHistoryLogs(WithSeparator(folder), &encrypted, &plain, &error) &&
         (!encrypted.empty() || !plain.empty());
}

}  // namespace

bool Options::Parse(const Args& args, const std::vector<std::string>& valued,
                    const std::vector<std::string>& flags,
                    const std::vector<std::string>& repeatable) {
  const auto listed = [](const std::vector<std::string>& list, const std::string& option) {
    return std::find(list.begin(), list.end(), option) != list.end();
  };
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& option = args[i];
    const bool repeats = listed(repeatable, option);
    if (values_.count(option) != 0 && !repeats) return false;
    if (listed(flags, option)) {
      values_[option].emplace_back();
    } else if ((repeats || listed(valued, option)) && i + 1 < args.size()) {
      values_[option].push_back(args[++i]);
    } else {
      return false;
    }
  }
  return true;
}

std::string Options::Value(const std::string& option) const {
  const auto found = values_.find(option);
  return found != values_.end() ? found->second.front() : std::string();
}

std::vector<std::string> Options::Values(const std::string& option) const {
  const auto found = values_.find(option);
  return found != values_.end() ? found->second : std::vector<std::string>();
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

bool QueryOptionsValid(const Options& options) {
  std::vector<std::string> folders;
  for (const std::string& folder : options.Values("--data")) folders.push_back(WithSeparator(folder));
  std::sort(folders.begin(), folders.end());
  if (std::adjacent_find(folders.begin(), folders.end()) != folders.end()) return false;
  CalendarDate date;
  return (options.Has("--data") || options.Has("--data-root")) && (!options.Has("--from") || ParseCalendarDate(options.Value("--from"), &date)) &&
         (!options.Has("--to") || ParseCalendarDate(options.Value("--to"), &date));
}

bool DataFolders(const Options& options, std::vector<std::string>* folders) {
  *folders = options.Values("--data");
  if (!options.Has("--data-root")) return true;
  const std::string root = options.Value("--data-root");
  std::vector<std::string> names;
  std::string error;
  if (!ListSubfolders(WithSeparator(root), &names, &error)) {
    Fail(Message().Text("Nelze číst složku ").Name(root).Text(": ").Name(error));
    return false;
  }
  std::sort(names.begin(), names.end());
  bool found = false;
  for (const std::string& name : names) {
    const std::string folder = WithSeparator(root) + name;
    if (!HoldsLogs(folder)) continue;
    folders->push_back(folder);
    found = true;
  }
  if (found) return true;
  Fail(Message().Text("Ve složce ").Name(root).Text(" není žádná podsložka se záznamy."));
  return false;
}

bool LoadDataFolders(const std::vector<std::string>& folders, CGlobal* history) {
  static PrintingEventSink sink;
  SetEventSink(&sink);
  if (folders.size() == 1) sink.folder = folders.front();
  std::vector<std::unique_ptr<CGlobal>> loaded;
  for (const std::string& folder : folders) {
    CGlobal* target = history;
    if (folders.size() > 1) {
      loaded.emplace_back(new CGlobal);
      target = loaded.back().get();
    }
    sink.folder = folder;
    std::string error;
    if (!LoadHistory(target, WithSeparator(folder), &error)) {
      Fail(Message().Text("Nelze číst složku dat ").Name(folder).Text(": ").Name(error));
      return false;
    }
  }
  if (folders.size() > 1) {
    std::vector<CGlobal*> sources;
    for (const auto& one : loaded) sources.push_back(one.get());
    history->MergeHistories(sources);
  }
  return true;
}

void ReadRange(const Options& options, const CGlobal& history, DatePicker* start,
               DatePicker* end) {
  const CalendarDate today = CalendarDateOf(platform::Now());
  ShowDate(start, today);
  ShowDate(end, today);
  ApplyHistoryLoad(history, start, end);
  CalendarDate date;
  if (options.Has("--from") && ParseCalendarDate(options.Value("--from"), &date)) {
    ShowDate(start, date);
  }
  if (options.Has("--to") && ParseCalendarDate(options.Value("--to"), &date)) {
    ShowDate(end, date);
  }
}

void Output::Append(std::string_view cp1250) {
  buffer_.append(cp1250.data(), cp1250.size());
}

void Output::EndLine() {
  buffer_ += kLineEnd;
  FlushIfFull();
}

void Output::FlushIfFull() {
  constexpr size_t kChunk = 1 << 16;
  if (buffer_.size() < kChunk) return;
  if (!failed_ && !WriteText(stdout, TerminalText(buffer_))) failed_ = true;
  buffer_.clear();
}

bool Output::Finish() {
  if (!failed_ && !buffer_.empty() && !WriteText(stdout, TerminalText(buffer_))) failed_ = true;
  buffer_.clear();
  if (!failed_) return true;
  const int code = errno;
  Fail(Message().Text("Zápis na standardní výstup selhal: ").Name(std::strerror(code)));
  return false;
}

bool WriteTable(const std::vector<TableColumn>& columns, size_t rows, const RowCells& cells) {
  std::vector<size_t> widths;
  for (const TableColumn& column : columns) widths.push_back(std::strlen(column.caption));
  std::vector<std::string> row_cells(columns.size());
  for (size_t r = 0; r < rows; ++r) {
    cells(r, &row_cells);
    for (size_t c = 0; c < columns.size(); ++c) {
      widths[c] = std::max(widths[c], row_cells[c].size());
    }
  }
  Output out;
  std::string line;
  const auto write_line = [&](const std::vector<std::string>& texts) {
    line.clear();
    for (size_t c = 0; c < columns.size(); ++c) {
      if (c > 0) line += "  ";
      const size_t padding = widths[c] - texts[c].size();
      if (columns[c].right) line.append(padding, ' ');
      AppendTableCell(&line, texts[c]);
      if (!columns[c].right) line.append(padding, ' ');
    }
    line.erase(line.find_last_not_of(' ') + 1);
    out.Append(line);
    out.EndLine();
  };
  std::vector<std::string> captions;
  for (const TableColumn& column : columns) captions.push_back(column.caption);
  write_line(captions);
  for (size_t r = 0; r < rows; ++r) {
    cells(r, &row_cells);
    write_line(row_cells);
  }
  return out.Finish();
}

bool WriteData(Format format, const std::vector<DataColumn>& columns, size_t rows,
               const RowCells& cells) {
  Output out;
  std::vector<std::string> row_cells(columns.size());
  if (format == Format::kCsv) {
    for (size_t c = 0; c < columns.size(); ++c) {
      if (c > 0) out.Append(',');
      out.Append(columns[c].key);
    }
    out.EndLine();
    for (size_t r = 0; r < rows; ++r) {
      cells(r, &row_cells);
      for (size_t c = 0; c < columns.size(); ++c) {
        if (c > 0) out.Append(',');
        AppendCsvCell(&out, row_cells[c]);
      }
      out.EndLine();
    }
    return out.Finish();
  }
  out.Append('[');
  std::vector<std::string> keys;
  for (size_t c = 0; c < columns.size(); ++c) {
    keys.emplace_back(c == 0 ? "  {" : ", ");
    AppendJsonString(&keys.back(), columns[c].key);
    keys.back() += ": ";
  }
  std::string object;
  for (size_t r = 0; r < rows; ++r) {
    cells(r, &row_cells);
    if (r > 0) out.Append(',');
    out.EndLine();
    object.clear();
    for (size_t c = 0; c < columns.size(); ++c) {
      object += keys[c];
      if (columns[c].number) {
        object += row_cells[c];
      } else {
        AppendJsonString(&object, row_cells[c]);
      }
    }
    object += '}';
    out.Append(object);
  }
  if (rows > 0) out.EndLine();
  out.Append(']');
  out.EndLine();
  return out.Finish();
}

void AppendJsonString(std::string* out, std::string_view text) {
  static const char kHex[] = "0123456789abcdef";
  *out += '"';
  size_t plain = 0;  // start of the bytes not yet copied
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7F && c != '"' && c != '\\') continue;
    out->append(text.data() + plain, i - plain);
    plain = i + 1;
    if (c == '"' || c == '\\') {
      *out += '\\';
      *out += c;
    } else if (c == '\n') {
      *out += "\\n";
    } else if (c == '\r') {
      *out += "\\r";
    } else if (c == '\t') {
      *out += "\\t";
    } else {
      *out += "\\u00";
      *out += kHex[byte >> 4];
      *out += kHex[byte & 0xF];
    }
  }
  out->append(text.data() + plain, text.size() - plain);
  *out += '"';
}

std::vector<TableColumn> ListTableColumns(uint32_t mode, const std::vector<int>& columns) {
  const ListLayout* layout = LayoutForMode(mode);
  std::vector<TableColumn> table_columns;
  for (int c : columns) {
    table_columns.push_back(TableColumn{layout->captions[c], ColumnRightAligned(*layout, c)});
  }
  return table_columns;
}

void PrintStatus(const std::string& cp1250) { Print(stderr, Message().Text(cp1250)); }

}  // namespace stats
