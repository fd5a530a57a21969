#include "platform/ini_file.h"

#include <string_view>
#include <vector>

#include "platform/file.h"
#include "support/text_routines.h"

namespace platform {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool SameName(std::string_view a, std::string_view b) {
  return AsciiEqualNoCase(std::string(Trimmed(a)), std::string(Trimmed(b)));
}

// The lines of the file, without their line ends. False when a file that
// exists cannot be read whole: a rewrite from part of it would lose keys.
bool LoadLines(const std::string& path, std::vector<std::string>* lines, std::string* error,
               bool wait = true, bool* held = nullptr) {
  lines->clear();
  if (!FileExists(path)) return true;
  std::string bytes;
  if (!ReadIniBytes(path, wait, &bytes, held, error)) return false;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    size_t stop = end;
    if (stop > start && bytes[stop - 1] == '\r') --stop;
    lines->emplace_back(bytes, start, stop - start);
    start = end + 1;
  }
  return true;
}

// The name of a section header line ("[name]", up to the last "]"); false for
// any other line.
bool SectionName(const std::string& line, std::string_view* name) {
  const std::string_view text = Trimmed(line);
  if (text.empty() || text.front() != '[') return false;
  const size_t close = text.rfind(']');
  if (close == std::string_view::npos) return false;
  *name = text.substr(1, close - 1);
  return true;
}

// Splits a "key=value" line; false for a line without "=".
bool KeyValue(const std::string& line, std::string_view* key, std::string_view* value) {
  const std::string_view text = Trimmed(line);
  const size_t equals = text.find('=');
  if (equals == std::string_view::npos) return false;
  *key = Trimmed(text.substr(0, equals));
  *value = Trimmed(text.substr(equals + 1));
  return true;
}

// Where a section and a key lie among the lines.
struct Location {
  bool section_found = false;
  size_t after_section = 0;  // index after the section's last non-blank line
  bool key_found = false;
  size_t key_line = 0;
};

Location Find(const std::vector<std::string>& lines, const std::string& section,
              const std::string& key) {
  Location where;
  size_t i = 0;
  std::string_view name;
  for (; i < lines.size(); ++i) {
    if (SectionName(lines[i], &name) && SameName(name, section)) break;
  }
  if (i == lines.size()) return where;
  where.section_found = true;
  where.after_section = i + 1;
  for (++i; i < lines.size() && !SectionName(lines[i], &name); ++i) {
    if (!Trimmed(lines[i]).empty()) where.after_section = i + 1;
    std::string_view line_key, value;
    if (!where.key_found && KeyValue(lines[i], &line_key, &value) && SameName(line_key, key)) {
      where.key_found = true;
      where.key_line = i;
    }
  }
  return where;
}

bool StoreLines(const std::string& path, const std::vector<std::string>& lines,
                std::string* error) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  return RewriteFile(path, bytes, error) == RewriteFailure::kNone;
}

}  // namespace

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& default_value) {
  std::vector<std::string> lines;
  std::string error;
  // A held file reads as the defaults, which the next flush would write over
  // the stored settings. Once the wait was in vain, later reads do not wait
  // again until one gets through.
  const bool wait = !held_;
  held_ = false;
  if (!LoadLines(path_, &lines, &error, wait, &held_)) return default_value;
  const Location where = Find(lines, section, key);
  if (!where.key_found) return default_value;
  std::string_view line_key, value;
  KeyValue(lines[where.key_line], &line_key, &value);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value);
}

bool IniFile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value, std::string* error) {
  std::vector<std::string> lines;
  if (!LoadLines(path_, &lines, error)) return false;
  const Location where = Find(lines, section, key);
  const std::string entry = key + "=" + value;
  if (where.key_found) {
    lines[where.key_line] = entry;
  } else if (where.section_found) {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(where.after_section), entry);
  } else {
    lines.push_back("[" + section + "]");
    lines.push_back(entry);
  }
  return StoreLines(path_, lines, error);
}

bool IniFile::DeleteKey(const std::string& section, const std::string& key, std::string* error) {
  std::vector<std::string> lines;
  if (!LoadLines(path_, &lines, error)) return false;
  const Location where = Find(lines, section, key);
  if (!where.key_found) return true;
  lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(where.key_line));
  return StoreLines(path_, lines, error);
}

}  // namespace platform
