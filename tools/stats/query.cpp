#include "query.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

#include "output.h"
#include "platform/file.h"
#include "platform/system.h"
#include "store/cglobal.h"
#include "store/history.h"
#include "support/datetime.h"
#include "support/events.h"
#include "support/text_escapes.h"
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

const ByteSet kCsvQuoted =
    BytesWhere([](unsigned char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; });

void AppendCsvCell(std::string* text, std::string_view cell) {
  if (NextOf(kCsvQuoted, cell, 0) == cell.size()) {
    text->append(cell.data(), cell.size());
    return;
  }
  *text += '"';
  size_t run = 0;  // start of the bytes not yet copied
  for (size_t quote = cell.find('"'); quote != std::string_view::npos;
       quote = cell.find('"', run)) {
    text->append(cell.data() + run, quote + 1 - run);
    *text += '"';
    run = quote + 1;
  }
  text->append(cell.data() + run, cell.size() - run);
  *text += '"';
}

// Control bytes (a line feed kept inside a logged title) would break the
// table's lines; the table shows them as blanks. They are rare, so eight
// bytes are checked at a time until one is near.
void BlankControlBytes(char* bytes, size_t size) {
  constexpr uint64_t kOnes = 0x0101010101010101u;
  size_t i = 0;
  for (uint64_t word; i + sizeof(word) <= size; i += sizeof(word)) {
    std::memcpy(&word, bytes + i, sizeof(word));
    // A high bit is left where some byte of the word is below 0x20.
    if (((word - kOnes * 0x20) & ~word & (kOnes * 0x80)) != 0) break;
  }
  for (; i < size; ++i) {
    if (static_cast<unsigned char>(bytes[i]) < 0x20) bytes[i] = ' ';
  }
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
  FolderLoadNotes notes;
  notes.reading = [](const std::string& folder) { sink.folder = folder; };
  notes.unreadable = [](const std::string& folder, const std::string& error) {
    Fail(Message().Text("Nelze číst složku dat ").Name(folder).Text(": ").Name(error));
  };
  return ::LoadDataFolders(history, folders, notes) == folders.size();
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

void Output::Append(std::string_view cp1250) { AppendTerminalText(TerminalText(cp1250)); }

void Output::AppendTerminalText(std::string_view text) {
  constexpr size_t kChunk = 1 << 16;
  if (buffer_.size() + text.size() < kChunk) {
    buffer_.append(text.data(), text.size());
    return;
  }
  // A whole block of rows goes out as it is, not copied into the buffer first.
  Write(buffer_);
  buffer_.clear();
  Write(text);
}

void Output::Write(std::string_view text) {
  if (!failed_ && !text.empty() && !WriteText(stdout, text)) failed_ = true;
}

bool Output::Finish() {
  Write(buffer_);
  buffer_.clear();
  if (!failed_) return true;
  const int code = errno;
  Fail(Message().Text("Zápis na standardní výstup selhal: ").Name(std::strerror(code)));
  return false;
}

void CellSink::Number(uint64_t value) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof(digits), value).ptr;
  Text(std::string_view(digits, static_cast<size_t>(end - digits)));
}

namespace {

// One line of the table: cells padded to their column's width on its side,
// two blanks apart, no blanks at the end.
class TableLineSink : public CellSink {
 public:
  TableLineSink(const std::vector<TableColumn>& columns, const std::vector<size_t>& widths,
                std::string* out)
      : columns_(columns), widths_(widths), out_(out) {}
  void Start() {
    column_ = 0;
    line_start_ = out_->size();
  }
  void Text(std::string_view cell) override {
    // Blanks for the gap and the padding, then the cell over them.
    const size_t gap = column_ > 0 ? 2 : 0;
    const size_t width = std::max(widths_[column_], cell.size());
    const size_t start = out_->size() + gap;
    out_->resize(start + width, ' ');
    char* at = out_->data() + start + (columns_[column_].right ? width - cell.size() : 0);
    std::copy(cell.begin(), cell.end(), at);
    BlankControlBytes(at, cell.size());
    ++column_;
  }
  void End() {
    std::string* line = out_;
    const size_t kept = line->find_last_not_of(' ');
    line->resize(kept == std::string::npos || kept < line_start_ ? line_start_ : kept + 1);
    *line += kLineEnd;
  }

 private:
  const std::vector<TableColumn>& columns_;
  const std::vector<size_t>& widths_;
  std::string* out_;
  size_t column_ = 0;
  size_t line_start_ = 0;
};

class CsvSink : public CellSink {
 public:
  explicit CsvSink(std::string* out) : out_(out) {}
  void Start() { first_ = true; }
  void Text(std::string_view cell) override {
    if (!first_) *out_ += ',';
    first_ = false;
    AppendCsvCell(out_, cell);
  }

 private:
  std::string* out_;
  bool first_ = true;
};

// One object of the array: each cell under its key, numbers unquoted.
class JsonSink : public CellSink {
 public:
  JsonSink(const std::vector<DataColumn>& columns, std::string* out)
      : columns_(columns), out_(out) {
    for (size_t c = 0; c < columns.size(); ++c) {
      keys_.emplace_back(c == 0 ? "  {" : ", ");
      AppendJsonString(&keys_.back(), columns[c].key);
      keys_.back() += ": ";
    }
  }
  void Start() { column_ = 0; }
  void Text(std::string_view cell) override {
    std::string* out = out_;
    *out += keys_[column_];
    if (columns_[column_].number) {
      out->append(cell.data(), cell.size());
    } else {
      AppendJsonString(out, cell);
    }
    ++column_;
  }

 private:
  const std::vector<DataColumn>& columns_;
  std::vector<std::string> keys_;
  std::string* out_;
  size_t column_ = 0;
};

constexpr size_t kBlockRows = 4096;

// Runs work(block, begin, end) for the blocks of rows, every other block on a
// helper thread.
void ForEachBlock(size_t rows, const std::function<void(size_t, size_t, size_t)>& work) {
  const size_t blocks = (rows + kBlockRows - 1) / kBlockRows;
  const auto run = [&](size_t first) {
    for (size_t block = first; block < blocks; block += 2) {
      work(block, block * kBlockRows, std::min(rows, (block + 1) * kBlockRows));
    }
  };
  std::thread helper(run, 1);
  run(0);
  helper.join();
}

// The cells of a block of table rows, each formatted once: measured for the
// column widths, kept, and later written as lines. Lasting texts are kept as
// pointers, the others copied; the row count of a whole search makes the
// few bytes per cell matter.
class BlockCells : public CellSink {
 public:
  explicit BlockCells(size_t columns) : widths_(columns, 0) {}
  void Start() { column_ = 0; }
  void Text(std::string_view cell) override {
    Measure(cell);
    sizes_.push_back(static_cast<uint32_t>(cell.size()) | kCopied);
    copies_.append(cell.data(), cell.size());
  }
  void LastingText(std::string_view cell) override {
    Measure(cell);
    sizes_.push_back(static_cast<uint32_t>(cell.size()));
    lasting_.push_back(cell.data());
  }
  const std::vector<size_t>& widths() const { return widths_; }

  // Gives the kept cells, row after row, to the line and frees them.
  void WriteLines(TableLineSink* line) {
    const char* copy = copies_.data();
    size_t next_lasting = 0;
    for (size_t cell = 0; cell < sizes_.size(); ++cell) {
      if (cell % widths_.size() == 0) line->Start();
      const size_t size = sizes_[cell] & ~kCopied;
      if ((sizes_[cell] & kCopied) != 0) {
        line->Text(std::string_view(copy, size));
        copy += size;
      } else {
        line->Text(std::string_view(lasting_[next_lasting++], size));
      }
      if (cell % widths_.size() == widths_.size() - 1) line->End();
    }
    *this = BlockCells(widths_.size());
  }

 private:
  static constexpr uint32_t kCopied = 1u << 31;
  void Measure(std::string_view cell) {
    size_t& width = widths_[column_++];
    width = std::max(width, cell.size());
  }
  std::vector<size_t> widths_;
  std::vector<uint32_t> sizes_;  // per cell in order, kCopied for a copy
  std::vector<const char*> lasting_;
  std::string copies_;
  size_t column_ = 0;
};

// Formats rows [begin, end) into the text.
using FormatRows = std::function<void(size_t begin, size_t end, std::string* text)>;

// Formats the rows in blocks (converted for the terminal), every other block
// on a helper thread, and writes the blocks in order as they are done: two
// cores share the cost, and only a few blocks wait in memory.
void WriteInBlocks(size_t rows, const FormatRows& format, Output* out) {
  const size_t blocks = (rows + kBlockRows - 1) / kBlockRows;
  const auto block_end = [rows](size_t block) { return std::min(rows, (block + 1) * kBlockRows); };
  std::mutex mutex;
  std::condition_variable changed;
  std::map<size_t, std::string> done;  // the helper's blocks, not yet written
  size_t written = 0;                  // blocks written so far
  std::thread helper([&] {
    std::string formatted;  // kept, so a block's text grows only once
    for (size_t block = 1; block < blocks; block += 2) {
      formatted.clear();
      format(block * kBlockRows, block_end(block), &formatted);
      std::string text = TerminalText(formatted);
      std::unique_lock<std::mutex> lock(mutex);
      changed.wait(lock, [&] { return block <= written + 2; });
      done.emplace(block, std::move(text));
      changed.notify_all();
    }
  });
  std::string formatted;
  std::string text;
  for (size_t block = 0; block < blocks; ++block) {
    if (block % 2 == 0) {
      formatted.clear();
      format(block * kBlockRows, block_end(block), &formatted);
      text = TerminalText(formatted);
    } else {
      std::unique_lock<std::mutex> lock(mutex);
      changed.wait(lock, [&] { return done.count(block) != 0; });
      text = std::move(done[block]);
      done.erase(block);
    }
    out->AppendTerminalText(text);
    std::lock_guard<std::mutex> lock(mutex);
    written = block + 1;
    changed.notify_all();
  }
  helper.join();
}

}  // namespace

bool WriteTable(const std::vector<TableColumn>& columns, size_t rows, const RowCells& cells) {
  std::vector<BlockCells> blocks((rows + kBlockRows - 1) / kBlockRows, BlockCells(columns.size()));
  ForEachBlock(rows, [&](size_t block, size_t begin, size_t end) {
    for (size_t r = begin; r < end; ++r) {
      blocks[block].Start();
      cells(r, &blocks[block]);
    }
  });
  std::vector<size_t> widths;
  for (const TableColumn& column : columns) widths.push_back(std::strlen(column.caption));
  for (const BlockCells& block : blocks) {
    for (size_t c = 0; c < widths.size(); ++c) widths[c] = std::max(widths[c], block.widths()[c]);
  }
  Output out;
  std::string captions;
  TableLineSink caption_line(columns, widths, &captions);
  caption_line.Start();
  for (const TableColumn& column : columns) caption_line.Text(column.caption);
  caption_line.End();
  out.Append(captions);
  WriteInBlocks(rows, [&](size_t begin, size_t, std::string* text) {
    TableLineSink line(columns, widths, text);
    blocks[begin / kBlockRows].WriteLines(&line);
  }, &out);
  return out.Finish();
}

bool WriteData(Format format, const std::vector<DataColumn>& columns, size_t rows,
               const RowCells& cells) {
  Output out;
  std::string header;
  if (format == Format::kCsv) {
    CsvSink keys(&header);
    for (const DataColumn& column : columns) keys.Text(column.key);
    out.Append(header + kLineEnd);
    WriteInBlocks(rows, [&](size_t begin, size_t end, std::string* text) {
      CsvSink csv(text);
      for (size_t r = begin; r < end; ++r) {
        csv.Start();
        cells(r, &csv);
        *text += kLineEnd;
      }
    }, &out);
    return out.Finish();
  }
  out.Append("[");
  WriteInBlocks(rows, [&](size_t begin, size_t end, std::string* text) {
    JsonSink json(columns, text);
    for (size_t r = begin; r < end; ++r) {
      if (r > 0) *text += ',';
      *text += kLineEnd;
      json.Start();
      cells(r, &json);
      *text += '}';
    }
  }, &out);
  out.Append(rows > 0 ? std::string(kLineEnd) + "]" + kLineEnd : std::string("]") + kLineEnd);
  return out.Finish();
}

namespace {

uint64_t DateKey(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof(bits));
  return bits;
}

}  // namespace

DateTexts::DateTexts(const std::vector<double>& values) {
  for (double value : values) keys_.push_back(DateKey(value));
  std::sort(keys_.begin(), keys_.end());
  keys_.erase(std::unique(keys_.begin(), keys_.end()), keys_.end());
  for (uint64_t key : keys_) {
    double value;
    std::memcpy(&value, &key, sizeof(value));
    texts_ += FixedDateTimeText(value);
    ends_.push_back(static_cast<uint32_t>(texts_.size()));
  }
}

std::string_view DateTexts::Text(double value) const {
  const uint64_t key = DateKey(value);
  const size_t i = std::lower_bound(keys_.begin(), keys_.end(), key) - keys_.begin();
  if (i == keys_.size() || keys_[i] != key) return std::string_view();
  const uint32_t begin = i == 0 ? 0 : ends_[i - 1];
  return std::string_view(texts_).substr(begin, ends_[i] - begin);
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
