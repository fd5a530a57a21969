#include <algorithm>
#include <cstdint>
#include <memory>

#include "platform/file.h"
#include "platform/system.h"
#include "store/csez.h"
#include "store/log_files.h"
#include "store/log_format.h"
#include "support/datetime.h"
#include "support/duration.h"
#include "support/events.h"

namespace {

const char kCrLf[] = "\r\n";
const double kOneSecond = 1.0 / 86400.0;

std::string Quoted(const std::string& file_name) { return "\"" + file_name + "\""; }

// The format has no escape for line ends: a CR or LF inside a field would cut
// the record and every later line of the period, so they become blanks.
const std::string& WithoutLineBreaks(const std::string& text, std::string* scratch) {
  if (text.find_first_of("\r\n") == std::string::npos) return text;
  *scratch = text;
  for (char& c : *scratch) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return *scratch;
}

// The reader trims every line, which would cut blanks and control characters
// off the end of a bare title; enclosing quotes keep them.
void AppendLastField(std::string* text, const std::string& field) {
  const size_t start = text->size();
  AppendQuotedField(text, field);
  const bool bare = text->size() == start + field.size();
  if (bare && !field.empty() && static_cast<unsigned char>(field.back()) <= 32) {
    text->insert(start, 1, '"');
    text->push_back('"');
  }
}

void AppendRecordLine(std::string* text, const ActivityRecord& record) {
  std::string scratch;
  text->append(std::to_string(record.time / 10));
  text->push_back(',');
  AppendQuotedField(text, WithoutLineBreaks(record.PathText(), &scratch));
  text->push_back(',');
  AppendLastField(text, WithoutLineBreaks(record.TitleText(), &scratch));
  text->append(kCrLf);
}

// Writes the header of the period that ends at moment and starts the next
// one. A clock set back (a time zone to the west, the repeated hour of the
// autumn change) puts moment before the start: that period ends at its
// start, as one ending earlier would hide its records from the reader, and
// the next one starts at moment.
void AppendPeriodHeader(std::string* text, CSez* list, double moment) {
  const double start = list->periodStart;
  text->append(kCrLf);
  text->append(kPeriodHeader);
  text->append(FixedDateTimeText(start));
  text->append(" do ");
  text->append(PeriodEndText(start, std::max(start, moment)));
  text->append(kCrLf);
  text->append(kColumnHeader);
  text->append(kCrLf);
  list->periodStart = moment < start ? moment : moment + kOneSecond;
}

}  // namespace

std::string LogFileName(const std::string& data_dir, double now) {
  const DateTimeParts parts = DecodeDateTime(now);
  return data_dir + "Tramo2_cvs" + std::to_string(parts.year) + "_" +
         PadTwo(std::to_string(parts.month)) + ".eb";
}

std::string BuildWriteText(CSez* list, int32_t minimum_seconds, bool crashed, double moment) {
  // A negative minimum would skip every record in the unsigned comparison
  // while the flush still empties the list.
  // Counted in 64 bits so that a huge minimum cannot wrap to a small one.
  const uint64_t minimum_tenths =
      minimum_seconds > 0 ? static_cast<uint64_t>(minimum_seconds) * 10u : 0u;
  bool carries_records = false;
  for (const ActivityRecord* r = list->head(); r != nullptr; r = r->next) {
    if (r->time >= minimum_tenths) carries_records = true;
  }

  std::string text;
  if (list->hibernated) {
    list->hibernated = false;
    text += std::string(kCrLf) + kHibernationNote + kCrLf;
  }
  if (list->timeChanged) {
    list->timeChanged = false;
    text += std::string(kCrLf) + kClockChangeNote + kCrLf;
  }
  if (list->firstWrite) {
    list->firstWrite = false;
    if (crashed) text += std::string(kCrLf) + kCrashNote + kCrLf + kCrLf;
    text += std::string(kCrLf) + kSessionSeparator + kCrLf + kSessionHeader +
            FixedDateTimeText(list->periodStart);
    // Records after a bare session header would join its line and could not
    // be dated; give them their period header.
    if (carries_records) AppendPeriodHeader(&text, list, moment);
  } else {
    AppendPeriodHeader(&text, list, moment);
  }
  for (const ActivityRecord* r = list->head(); r != nullptr; r = r->next) {
    if (r->time >= minimum_tenths) AppendRecordLine(&text, *r);
  }
  text.append(kCrLf);
  return text;
}

bool CSez::WriteLog(const std::string& file_name, int32_t minimum_seconds, std::string* written) {
  platform::File file;
  std::string error;
  bool created = false;
  if (platform::FileExists(file_name)) {
    if (!file.OpenReadWrite(file_name, &error)) {
      AddEvent(3, "Nelze otevrit cvs (2) " + Quoted(file_name) +
                      " (pro zapis?) \r\nErrorMessage: " + error);
      return false;
    }
  } else {
    // Never truncating: a log that exists after all must not be emptied.
    if (!platform::CreateParentFolders(file_name, &error) ||
        !file.CreateNew(file_name, &error)) {
      AddEvent(3, "Nelze vytvorit cvs " + Quoted(file_name) +
                      " (soubor pouze pro cteni/plny disk?) \r\nErrorMessage: " + error);
      return false;
    }
    created = true;
  }

  const auto fail = [&]() {
    file.Close();
    // A log this write created goes again, as if it had never been tried.
    if (created) platform::RemoveFile(file_name);
    AddEvent(3, "Nelze ulozit cvs do " + Quoted(file_name) +
                    " (soubor pouze pro cteni/plny disk?) \r\nErrorMessage: " + error);
    return false;
  };
  int64_t length = 0;
  if (!file.Size(&length, &error)) return fail();
  bool crashed = false;
  std::string tail;  // the last three bytes, which a first write may overwrite
  if (TornFrom(file_name) >= 0) {
    // A failed write left bytes it could not cut back: cut them now. The
    // crash decision was taken before they were written.
    if (!file.Truncate(torn_length_, &error)) return fail();
    torn_file_.clear();
    length = torn_length_;
    crashed = torn_crashed_;
  } else if (firstWrite && length >= 3) {
    tail.resize(3);
    size_t n = 0;
    if (!file.Seek(length - 3, &error) || !file.Read(&tail[0], 3, &n, &error)) return fail();
    tail.resize(n);
    crashed = !tail.empty() && tail[0] != '#';
  }
  const bool marker_found = !tail.empty() && tail[0] == '#';
  int64_t position = marker_found ? length - 3 : length;
  position += (16 - position % 16) % 16;
  const std::string overwritten =
      position < length ? tail.substr(static_cast<size_t>(position - (length - 3))) : "";

  // The flush opens the cipher around each write; other callers get one for
  // this write only.
  std::unique_ptr<LogCipher> own_cipher;
  if (cipher_ == nullptr) own_cipher = std::make_unique<LogCipher>();
  const LogCipher& cipher = cipher_ != nullptr ? *cipher_ : *own_cipher;
  // What the text consumes stays until it is on disk: a failed first write
  // is retried as a first write, a period is not closed.
  const double period_start = periodStart;
  const bool time_changed = timeChanged, hibernated_before = hibernated, first = firstWrite;
  std::string text = BuildWriteText(this, minimum_seconds, crashed, platform::Now());
  const std::string blocks = StoreAsBlocks(cipher, text);
  bool restored = true;
  if (!platform::WriteOrRestore(&file, length, position, blocks, overwritten, &restored,
                                &error)) {
    periodStart = period_start;
    timeChanged = time_changed;
    hibernated = hibernated_before;
    firstWrite = first;
    if (!restored) {
      torn_file_ = file_name;
      torn_length_ = std::min(position, length);
      torn_crashed_ = crashed;
    }
    return fail();
  }
  file.Close();
  if (written != nullptr) *written = std::move(text);
  return true;
}

void AppendCloseMarker(const std::string& file_name, int64_t torn_from) {
  if (!platform::FileExists(file_name)) return;
  platform::File file;
  std::string error;
  if (!file.OpenReadWrite(file_name, &error)) {
    AddEvent(3, "Nelze otevrit cvs (1) " + Quoted(file_name) +
                    " (pro zapis?) \r\nErrorMessage: " + error);
    return;
  }
  int64_t length = 0;
  bool restored = true;
  // A marker cut short would read as a torn block: it is all or nothing.
  if ((torn_from >= 0 && !file.Truncate(torn_from, &error)) || !file.Size(&length, &error) ||
      !platform::WriteOrRestore(&file, length, length, "#\r\n", "", &restored, &error)) {
    file.Close();
    AddEvent(3, "Nelze ulozit cvs do " + Quoted(file_name) +
                    " (soubor pouze pro cteni/plny disk?) \r\nErrorMessage: " + error);
  }
}
