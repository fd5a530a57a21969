#include "store/history.h"

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "platform/file.h"
#include "store/cglobal.h"
#include "store/log_cipher.h"
#include "store/log_stream.h"
#include "support/datetime.h"
#include "support/text_routines.h"

namespace {

bool EndsWithNoCase(const std::string& name, const std::string& suffix) {
  return name.size() >= suffix.size() &&
         AsciiEqualNoCase(name.substr(name.size() - suffix.size()), suffix);
}

void SortByName(std::vector<std::string>* names) {
  std::sort(names->begin(), names->end(), [](const std::string& a, const std::string& b) {
    const std::string ua = AsciiUpper(a);
    const std::string ub = AsciiUpper(b);
    return ua != ub ? ua < ub : a < b;
  });
}

std::string WithSeparator(const std::string& folder) {
  if (folder.empty() || folder.back() == '\\' || folder.back() == '/') return folder;
  return folder + platform::kPathSeparator;
}

bool ReadWholeFile(const std::string& path, std::string* bytes, std::string* error) {
  platform::File file;
  if (!file.OpenRead(path, error)) return false;
  char buffer[65536];
  size_t n = 0;
  do {
    if (!file.Read(buffer, sizeof(buffer), &n, error)) return false;
    bytes->append(buffer, n);
  } while (n > 0);
  return true;
}

}  // namespace

bool ListHistoryLogs(const std::string& data_dir, std::vector<std::string>* encrypted,
                     std::vector<std::string>* plain, std::string* error) {
  std::vector<std::string> names;
  if (!platform::ListFileNames(data_dir, &names, error)) return false;
  encrypted->clear();
  plain->clear();
  for (const std::string& name : names) {
    if (EndsWithNoCase(name, ".eb")) {
      encrypted->push_back(name);
    } else if (EndsWithNoCase(name, ".txt") && name != "!Protokol.txt") {
      plain->push_back(name);
    }
  }
  SortByName(encrypted);
  SortByName(plain);
  return true;
}

bool LoadHistory(CGlobal* db, const std::string& data_dir, std::string* error) {
  if (db->loaded) {
    db->Clear();
    db->Create();
  }
  db->loaded = true;
  std::vector<std::string> encrypted;
  std::vector<std::string> plain;
  if (!ListHistoryLogs(data_dir, &encrypted, &plain, error)) return false;
  double earliest = 0;
  const auto note = [&earliest](double start) {
    if (!IsNearZero(start) && (IsNearZero(earliest) || start < earliest)) earliest = start;
  };
  if (!encrypted.empty()) {
    db->OpenCipher();
    for (const std::string& name : encrypted) note(db->LoadLog(data_dir + name));
    db->CloseCipher();
  }
  for (const std::string& name : plain) note(db->LoadLog(data_dir + name));
  if (!IsNearZero(earliest)) db->earliest = earliest;
  return true;
}

size_t LoadDataFolders(CGlobal* db, const std::vector<std::string>& folders,
                       const FolderLoadNotes& notes) {
  std::vector<std::unique_ptr<CGlobal>> loaded;
  size_t read = 0;
  for (const std::string& folder : folders) {
    notes.reading(folder);
    CGlobal* target = db;
    if (folders.size() > 1) {
      loaded.emplace_back(new CGlobal);
      target = loaded.back().get();
    }
    std::string error;
    if (LoadHistory(target, WithSeparator(folder), &error)) {
      ++read;
      continue;
    }
    notes.unreadable(folder, error);
    if (folders.size() > 1) loaded.pop_back();
  }
  if (folders.size() > 1) {
    std::vector<CGlobal*> sources;
    for (const auto& one : loaded) sources.push_back(one.get());
    db->MergeHistories(sources);
  }
  return read;
}

bool DecryptLogFile(const std::string& source, const std::string& target) {
  if (!platform::FileExists(source) || platform::FileExists(target)) return false;
  platform::File in;
  platform::File out;
  std::string error;
  if (!in.OpenRead(source, &error) || !out.CreateNew(target, &error)) return false;
  const LogCipher cipher;
  LogTextReader reader(&in, &cipher);
  for (;;) {
    std::string_view chunk;
    if (!reader.Next(&chunk, &error) ||
        (!chunk.empty() && !out.Write(chunk.data(), chunk.size(), &error))) {
      // A cut-off copy would be skipped as existing by every later conversion.
      out.Close();
      platform::RemoveFile(target);
      return false;
    }
    if (chunk.empty()) return true;
  }
}

std::string ConvertLogs(const std::string& source_dir, const std::string& target_dir) {
  try {
    if (source_dir.empty() || target_dir.empty()) return "Chybné parametry";
    const std::string source = WithSeparator(source_dir);
    const std::string target = WithSeparator(target_dir);
    std::string error;
    platform::CreateFolders(target, &error);
    if (!platform::FolderExists(target)) return "Neexistuje výstupní adresář " + target;
    std::vector<std::string> names;
    if (!platform::ListFileNames(source, &names, &error)) throw std::runtime_error(error);
    std::vector<std::string> logs;
    for (const std::string& name : names) {
      if (EndsWithNoCase(name, ".eb")) logs.push_back(name);
    }
    SortByName(&logs);
    int converted = 0;
    int skipped = 0;
    for (const std::string& name : logs) {
      const std::string text_name = name.substr(0, name.size() - 2) + "txt";
      if (DecryptLogFile(source + name, target + text_name)) {
        ++converted;
      } else {
        ++skipped;
      }
    }
    return "Prevedenych: " + std::to_string(converted) +
           "\r\nvynechanych: " + std::to_string(skipped);
  } catch (const std::exception& failure) {
    return std::string("ErrorMessage: ") + failure.what();
  }
}

bool EncryptLogFile(const std::string& source, const std::string& target, std::string* error) {
  if (platform::FileExists(target) || platform::FolderExists(target)) {
    *error = "the target exists";
    return false;
  }
  std::string text;
  if (!ReadWholeFile(source, &text, error)) return false;
  const LogCipher cipher;
  const std::string blocks = StoreAsBlocks(cipher, std::move(text));
  platform::File out;
  if (!out.CreateNew(target, error)) return false;
  if (out.Write(blocks.data(), blocks.size(), error)) return true;
  // A cut-off copy would read back as damaged records.
  out.Close();
  platform::RemoveFile(target);
  return false;
}
