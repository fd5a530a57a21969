#include "views/detail_stats.h"

#include "platform/file.h"
#include "support/events.h"
#include "support/text_routines.h"

const char kDetailListFileName[] = "PodrobneStatistiky.cvs";

const char kDefaultDetailListText[] =
    "rozlisovat mala a VELKA,jmeno souboru\r\n0,tramo";

namespace {

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

// The editor shows CR LF line breaks only: a lone LF or CR from a file
// edited elsewhere becomes CR LF, so that its lines stay lines.
std::string WithCrLf(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') {
      out += "\r\n";
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (c == '\n') {
      out += "\r\n";
    } else {
      out.push_back(c);
    }
  }
  return out;
}

}  // namespace

DetailList::DetailList() { SetText(kDefaultDetailListText); }

void DetailList::SetText(const std::string& text) {
  text_ = text;
  Parse();
}

void DetailList::Parse() {
  entries_.clear();
  any_folded_ = false;
  size_t start = 0;
  while (start <= text_.size()) {
    size_t end = text_.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text_.size();
    const std::string line = text_.substr(start, end - start);
    start = end + 1;
    if (end + 1 < text_.size() && text_[end] == '\r' && text_[end + 1] == '\n') {
      ++start;
    }

    if (line.size() < 3) continue;
    if (line[0] != '0' && line[0] != '1') continue;
    const size_t comma = line.find(',');
    if (comma == std::string::npos) continue;
    std::string name = line.substr(comma + 1);
    if (name.empty()) continue;
    const bool case_sensitive = line[0] == '1';
    if (!case_sensitive) {
      name = AsciiUpper(name);
      any_folded_ = true;
    }
    entries_.push_back(Entry{case_sensitive, std::move(name)});
  }
}

bool DetailList::ZaznamenatPodrobne(const std::string& path) const {
  const std::string path_up = any_folded_ ? AsciiUpper(path) : std::string();
  for (const Entry& entry : entries_) {
    const std::string& haystack = entry.case_sensitive ? path : path_up;
    if (haystack.find(entry.name) != std::string::npos) return true;
  }
  return false;
}

void DetailList::Load(const std::string& path) {
  platform::File file;
  std::string error;
  if (!file.OpenRead(path, &error)) {
    SetText(kDefaultDetailListText);
    return;
  }
  std::string content;
  char buffer[4096];
  for (;;) {
    size_t got = 0;
    if (!file.Read(buffer, sizeof(buffer), &got, &error)) {
      AddEvent(3, "Chyba pri otevirani cvs " + Quoted(path) +
                      " \r\nErrorMessage: " + error);
      return;
    }
    if (got == 0) break;
    content.append(buffer, got);
  }
  SetText(WithCrLf(content));
}

bool DetailList::Save(const std::string& path) {
  const bool existed = platform::FileExists(path);
  std::string error;
  // Written beside the list and renamed over it: a failure keeps the old list.
  switch (platform::RewriteFile(path, text_, &error)) {
    case platform::RewriteFailure::kNone:
      return true;
    case platform::RewriteFailure::kWrite:
      AddEvent(3, "Chyba pri otevirani " + Quoted(path) + " \r\nErrorMessage: " + error);
      return false;
    case platform::RewriteFailure::kCreate:
    case platform::RewriteFailure::kReplace:
      break;
  }
  if (existed) {
    AddEvent(3, "Nelze otevrit cvs (3) " + Quoted(path) + " (pro zapis?) \r\nErrorMessage: " +
                    error);
  } else {
    AddEvent(3, "Nelze vytvorit " + Quoted(path) +
                    " (soubor pouze pro cteni/plny disk?) \r\nErrorMessage: " + error);
  }
  return false;
}

bool DetailList::AddPath(const std::string& path) {
  if (path.empty()) return false;
  std::string text = text_;
  if (!text.empty() && text.back() != '\n' && text.back() != '\r') {
    text += "\r\n";
  }
  text += "1," + path;
  SetText(text);
  return true;
}

std::string DetailListPath(const std::string& data_dir) {
  return data_dir + kDetailListFileName;
}

void DetailEditorFieldSize(int window_width, int window_height, int* width,
                           int* height) {
  *width = window_width - 16;
  *height = window_height - 61;
}
