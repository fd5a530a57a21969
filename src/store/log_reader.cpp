#include <cmath>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "platform/file.h"
#include "platform/system.h"
#include "store/cglobal.h"
#include "store/log_format.h"
#include "store/log_stream.h"
#include "support/datetime.h"
#include "support/events.h"
#include "support/text_routines.h"

namespace {

constexpr int kBadLine = 32;

std::string_view TrimControls(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= 32) ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 32) --end;
  return text.substr(begin, end - begin);
}

// Splits at commas outside double quotes; keeps the first four raw fields and
// returns the field count, 0 when the quotes are unbalanced.
int SplitFields(std::string_view line, std::string_view fields[4]) {
  if (std::memchr(line.data(), '"', line.size()) == nullptr) {
    // No quotes: every comma splits.
    int count = 0;
    size_t start = 0;
    for (;;) {
      const void* comma = std::memchr(line.data() + start, ',', line.size() - start);
      const size_t end = comma != nullptr ? static_cast<const char*>(comma) - line.data() : line.size();
      if (count < 4) fields[count] = line.substr(start, end - start);
      ++count;
      if (comma == nullptr) return count;
      start = end + 1;
    }
  }
  // Quotes: jump from one quote or comma to the next instead of testing every byte.
  const char* begin = line.data();
  const char* end = begin + line.size();
  const char* next_quote = static_cast<const char*>(std::memchr(begin, '"', line.size()));
  int count = 0;
  bool inside = false;
  const char* start = begin;
  const char* p = begin;
  for (;;) {
    if (inside) {
      if (next_quote == nullptr) return 0;
      inside = false;
      p = next_quote + 1;
      next_quote = static_cast<const char*>(std::memchr(p, '"', end - p));
      continue;
    }
    const char* limit = next_quote != nullptr ? next_quote : end;
    const char* comma = static_cast<const char*>(std::memchr(p, ',', limit - p));
    if (comma != nullptr) {
      if (count < 4) fields[count] = std::string_view(start, comma - start);
      ++count;
      start = p = comma + 1;
      continue;
    }
    if (next_quote == nullptr) break;
    inside = true;
    p = next_quote + 1;
    next_quote = static_cast<const char*>(std::memchr(p, '"', end - p));
  }
  if (count < 4) fields[count] = std::string_view(start, end - start);
  return count + 1;
}

// Unquoted text of a field; the common field without quotes is used in place.
std::string_view FieldText(std::string_view raw, std::string* storage) {
  if (raw.find('"') == std::string_view::npos) return raw;
  // A field quoted only for its comma or semicolon is its own inside.
  if (raw.size() > 2 && raw.front() == '"' && raw.back() == '"') {
    const std::string_view inside = raw.substr(1, raw.size() - 2);
    if (inside.find('"') == std::string_view::npos) return inside;
  }
  *storage = UnquoteField(raw);
  return *storage;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// "at character position 1 or 2": the first occurrence starts the line or
// follows its first character, which is the same as an occurrence at either
// place; checked there rather than searched for in every record line.
bool HasNearStart(std::string_view text, std::string_view word) {
  return StartsWith(text, word) || (!text.empty() && StartsWith(text.substr(1), word));
}

bool AllDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

std::string WithoutTrailingNonDigits(std::string_view text) {
  size_t end = text.size();
  while (end > 0 && (text[end - 1] < '0' || text[end - 1] > '9')) --end;
  return std::string(text.substr(0, end));
}

}  // namespace

void CGlobal::ParsePeriodHeader(const std::string& line, double* from_date, bool* bad) {
  const size_t od = line.find("od ");
  const size_t do_word = line.find(" do");
  if (od == std::string::npos || do_word == std::string::npos) return;
  const size_t from_begin = od + 3;
  const std::string from_text = WithoutTrailingNonDigits(
      do_word > from_begin ? std::string_view(line).substr(from_begin, do_word - from_begin)
                           : std::string_view());
  const size_t do_rest = line.find("do ");
  const std::string end_text(
      TrimControls(do_rest == std::string::npos ? std::string_view()
                                                : std::string_view(line).substr(do_rest + 3)));
  double from = 0;
  double end = 0;
  const std::string& failed = !TryParseFixedDateTime(from_text, &from) ? from_text : end_text;
  if (&failed == &end_text && TryParseFixedDateTime(end_text, &end)) {
    *from_date = from;
    if (currentSession_ != nullptr) currentSession_->end = periodEnd;
    periodEnd = end <= 1.1 ? end + std::trunc(from) : end;
    // Written after the clock was set back by a writer that did not mind:
    // the period ends at its start, so its records and the later ones count.
    if (periodEnd < from) periodEnd = from;
    MarkSession(periodEnd);
    *bad = false;
    return;
  }
  AddEvent(2, "Neni spravny format datum/cas. (" + line + ")\r\nErrorMessage: " +
                  InvalidDateTimeMessage(failed));
  *bad = true;  // a comment line, but one the reading state cannot trust
}

int CGlobal::ParseLogLine(std::string_view raw_line, double* from_date) {
  const std::string_view line = TrimControls(raw_line);
  if (line.size() < 3) return 0;
  std::string_view raw_fields[4];
  const int count = SplitFields(line, raw_fields);
  std::string storage[4];
  std::string_view fields[4];
  for (int i = 0; i < count && i < 4; ++i) fields[i] = FieldText(raw_fields[i], &storage[i]);

  bool bad = true;
  if (count == 1) {
    if (line[0] == '#') bad = false;
    if (line == kCrashNote) {
      if (currentSession_ != nullptr) currentSession_->crashed = true;
    } else if (line == kClockChangeNote) {
      if (currentSession_ != nullptr) currentSession_->timeChanged = true;
    } else if (line == kHibernationNote) {
      if (currentSession_ != nullptr) currentSession_->hibernated = true;
    } else if (StartsWith(line, "#Seance dne:")) {
      newSessionPending = true;
      // An unreadable session date ends the reading of the file.
      const std::string_view date = line.size() > 13 ? line.substr(13) : std::string_view();
      sessionStart = ParseFixedDateTime(std::string(TrimControls(date)));
      periodEnd = sessionStart;
      MarkSession(sessionStart);
    } else if (HasNearStart(line, "Statistika od ")) {
      ParsePeriodHeader(std::string(line), from_date, &bad);
    }
  } else if (count == 3) {
    if (HasNearStart(line, "cas (sec),cesta,titulek")) bad = false;
    if (!IsNearZero(*from_date) && AllDigits(fields[0]) &&
        !IsNearZero(sessionStart)) {
      ParseRecordLine(fields[0], fields[1], fields[2], *from_date, &bad);
    }
  }
  if (!bad) return 0;
  *from_date = 0;
  sessionStart = 0;
  periodEnd = 0;
  return kBadLine;
}

bool CGlobal::ParseRecordLine(std::string_view seconds_field, std::string_view path,
                              std::string_view title, double from_date, bool* bad) {
  uint64_t seconds = 0;
  for (char c : seconds_field) {
    seconds = seconds * 10 + static_cast<uint64_t>(c - '0');
    if (seconds > 2147483647u) {
      AddEvent(0, "Chybny format zaznamu. \r\nErrorMessage: '" + std::string(seconds_field) +
                      "' is not a valid integer value");
      return false;
    }
  }
  TextPool& texts = Texts();
  if (AddHistoryRecord(texts.Intern(path), texts.Intern(title),
                       static_cast<uint32_t>(seconds), from_date)) {
    *bad = false;
  }
  return true;
}

namespace {

// Cuts the text of a log into lines as the reader has always done: a line ends
// at CR; one LF is dropped right after a CR and at the start of every 16-byte
// chunk, even inside a line; every other LF belongs to the line.
class LineSplitter {
 public:
  template <typename LineFn>
  void Feed(const char* data, size_t length, LineFn&& on_line) {
    size_t i = 0;
    while (i < length) {
      if (data[i] == '\n' && (after_cr_ || IsChunkStart(i))) {
        after_cr_ = false;
        ++i;
        continue;
      }
      after_cr_ = false;
      const void* cr = std::memchr(data + i, '\r', length - i);
      const size_t end = cr != nullptr ? static_cast<const char*>(cr) - data : length;
      if (cr != nullptr && pending_.empty() && !HasChunkStartLf(data, i, end)) {
        on_line(std::string_view(data + i, end - i));  // the common case: no copy
      } else {
        for (size_t p = i; p < end; ++p) {
          if (data[p] != '\n' || p == i || !IsChunkStart(p)) pending_.push_back(data[p]);
        }
        if (cr != nullptr) {
          on_line(std::string_view(pending_));
          pending_.clear();
        }
      }
      if (cr == nullptr) break;
      after_cr_ = true;
      i = end + 1;
    }
    offset_ += length;
  }

  // The text after the last CR.
  template <typename LineFn>
  void Finish(LineFn&& on_line) {
    on_line(std::string_view(pending_));
    pending_.clear();
  }

 private:
  bool IsChunkStart(size_t i) const { return (offset_ + i) % 16 == 0; }

  // An LF at a chunk start after begin, which the reader drops mid-line.
  bool HasChunkStartLf(const char* data, size_t begin, size_t end) const {
    for (size_t p = begin + 16 - (offset_ + begin) % 16; p < end; p += 16) {
      if (data[p] == '\n') return true;
    }
    return false;
  }

  std::string pending_;
  uint64_t offset_ = 0;
  bool after_cr_ = false;
};

}  // namespace

void CGlobal::ReadWrittenText(std::string_view text) {
  // Every write starts on a block boundary with a header of its own.
  double from_date = 0;
  const auto on_line = [&](std::string_view line) { ParseLogLine(line, &from_date); };
  LineSplitter splitter;
  splitter.Feed(text.data(), text.size(), on_line);
  splitter.Finish(on_line);
}

double CGlobal::LoadLog(const std::string& file_name) {
  platform::File file;
  std::string error;
  if (!file.OpenRead(file_name, &error)) {
    AddEvent(3, "ErrorMessage: " + error);
    return 0;
  }
  std::unique_ptr<LogCipher> own_cipher;
  const LogCipher* cipher = nullptr;
  if (IsEncryptedLogName(file_name)) {
    if (cipher_ == nullptr) own_cipher = std::make_unique<LogCipher>();
    cipher = cipher_ != nullptr ? cipher_.get() : own_cipher.get();
  }

  double earliest = platform::Now();
  double from_date = 0;
  int result_bits = 0;
  const auto on_line = [&](std::string_view line) {
    result_bits |= ParseLogLine(line, &from_date);
    if (!IsNearZero(from_date) && from_date < earliest) earliest = from_date;
  };
  try {
    ReadAheadLogReader reader(&file, cipher);
    LineSplitter splitter;
    std::string_view chunk;
    for (;;) {
      if (!reader.Next(&chunk, &error)) throw std::runtime_error(error);
      if (chunk.empty()) break;
      splitter.Feed(chunk.data(), chunk.size(), on_line);
    }
    splitter.Finish(on_line);
  } catch (const std::exception& failure) {
    AddEvent(3, std::string("Nelze nacist databazi. \r\nErrorMessage: ") + failure.what());
    return earliest;
  }
  if (result_bits & kBadLine) AddEvent(2, "Chyba v databazi " + file_name);
  return earliest;
}
