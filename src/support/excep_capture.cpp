#include "support/excep_capture.h"

#include "platform/file.h"
#include "platform/system.h"
#include "support/datetime.h"

namespace {

// Continuation lines get a leading space, so that in the protocol only the
// first line of an entry (or the header) starts with "*".
std::string IndentContinuationLines(const std::string& text) {
  std::string result;
  result.reserve(text.size() + 8);
  for (size_t i = 0; i < text.size(); ++i) {
    result.push_back(text[i]);
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      result.push_back('\n');
      result.push_back(' ');
      ++i;
    }
  }
  return result;
}

bool AppendToFile(const std::string& path, const std::string& text, std::string* error) {
  platform::File file;
  if (platform::FileExists(path)) {
    if (!file.OpenReadWrite(path, error)) return false;
  } else {
    if (!platform::CreateParentFolders(path, error)) return false;
    if (!file.CreateNew(path, error)) return false;
  }
  // A batch cut short would be written again whole by the retry.
  int64_t length = 0;
  bool restored = true;
  return file.Size(&length, error) &&
         platform::WriteOrRestore(&file, length, length, text + "\r\n", "", &restored, error);
}

}  // namespace

RunInfo CurrentRunInfo(const std::string& version) {
  RunInfo info;
  info.exe_path = platform::ExecutablePath();
  info.version = version;
  info.working_set = platform::WorkingSetSize();
  return info;
}

TExcepCapture::TExcepCapture(int min_level, const RunInfo& info, CaptureListener* listener)
    : min_level_(min_level), listener_(listener) {
  pending_ = "*\r\n*\r\n*ExceptCapture level " + std::to_string(min_level) + ", app: \"" +
             info.exe_path + "\", verze: " + info.version +
             ", cas: " + FixedDateTimeText(platform::Now()) +
             ", pamet: " + std::to_string(info.working_set) + "B\r\n";
  header_length_ = pending_.size();
  if (listener_ != nullptr) listener_->OnCaptureText(pending_);
}

void TExcepCapture::AddEvent(int level, const std::string& text) {
  if (level < min_level_) return;
  const std::string entry = "*" + std::to_string(level) + " " +
                            platform::UserLongTimeText(platform::Now()) + " " +
                            IndentContinuationLines(text) + "\r\n";
  pending_ += entry;
  entry_pending_ = true;
  new_event_ = true;
  if (listener_ != nullptr) listener_->OnCaptureText(entry);
}

bool TExcepCapture::SaveTo(const std::string& path) {
  if (pending_.empty() || !entry_pending_) return true;
  std::string error;
  if (AppendToFile(path, pending_, &error)) {
    pending_.clear();
    entry_pending_ = false;
    return true;
  }
  if (failure_shown_ != 0) return false;
  // Set before the listener runs: its modal loops may call SaveTo again.
  failure_shown_ = 5;
  const std::string message = "Nelze ulozit chybovy protokol \"" + path +
                              "\" (soubor pouze pro cteni/plny disk?) \r\nErrorMessage: " +
                              error + "\r\nTato zpráva se zobrazuje pouze jednou.";
  AddEvent(3, message);
  if (listener_ != nullptr) listener_->OnFirstSaveFailure(message);
  return false;
}

bool TExcepCapture::HasNewEvent() {
  const bool result = new_event_;
  new_event_ = false;
  return result;
}
