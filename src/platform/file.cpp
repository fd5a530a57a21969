#include "platform/file.h"

#include <algorithm>
#include <atomic>

namespace platform {

namespace {
std::atomic<FileFaultPlan*> g_fault_plan{nullptr};
}  // namespace

const char kInjectedFailure[] = "injected failure";

void SetFileFaultPlan(FileFaultPlan* plan) { g_fault_plan = plan; }

bool InjectedFailure(FileCall call, const std::string& path, std::string* error,
                     size_t* length) {
  FileFaultPlan* plan = g_fault_plan;
  size_t ignored = 0;
  if (plan == nullptr || !plan->Fail(call, path, length != nullptr ? length : &ignored)) {
    return false;
  }
  if (error != nullptr) *error = kInjectedFailure;
  return true;
}

size_t PathRootLength(const std::string& path) {
  const auto is_separator = [](char c) { return c == '\\' || c == '/'; };
  // Index of the separator that ends the component starting at from.
  const auto component_end = [&](size_t from) {
    while (from < path.size() && !is_separator(path[from])) ++from;
    return from;
  };
  // The server and the share after "\\" or "\\?\UNC\".
  const auto share_end = [&](size_t server) {
    const size_t server_end = component_end(server);
    return server_end < path.size() ? component_end(server_end + 1) : server_end;
  };
  const bool doubled = path.size() >= 2 && is_separator(path[0]) && is_separator(path[1]);
  if (doubled && path.size() >= 4 && (path[2] == '?' || path[2] == '.') &&
      is_separator(path[3])) {
    const bool unc = path.size() >= 8 && path.compare(4, 3, "UNC") == 0 && is_separator(path[7]);
    return unc ? share_end(8) : component_end(4);
  }
  if (doubled) return share_end(2);
  return path.size() >= 2 && path[1] == ':' ? 2 : 0;
}

bool CreateParentFolders(const std::string& file_path, std::string* error) {
  const size_t slash = file_path.find_last_of("\\/");
  if (slash == std::string::npos || slash == 0) return true;
  return CreateFolders(file_path.substr(0, slash), error);
}

RewriteFailure RewriteFile(const std::string& path, const std::string& bytes,
                           std::string* error) {
  const std::string temporary = path + ".tmp";
  RewriteFailure failure = RewriteFailure::kNone;
  {
    File file;
    if (!file.Create(temporary, error)) return RewriteFailure::kCreate;
    if (!file.Write(bytes.data(), bytes.size(), error)) failure = RewriteFailure::kWrite;
  }
  if (failure == RewriteFailure::kNone && !RenameReplacing(temporary, path, error)) {
    failure = RewriteFailure::kReplace;
  }
  if (failure != RewriteFailure::kNone) RemoveFile(temporary);
  return failure;
}

bool WriteOrRestore(File* file, int64_t old_length, int64_t position, const std::string& data,
                    const std::string& restore, bool* restored, std::string* error) {
  *restored = true;
  if (!file->Seek(position, error)) return false;
  if (file->Write(data.data(), data.size(), error)) return true;
  // Cut back what reached the disk; the OS's message of the write is kept.
  const int64_t cut = std::min(position, old_length);
  std::string ignored;
  *restored = file->Truncate(cut, &ignored) &&
              (restore.empty() || (file->Seek(cut, &ignored) &&
                                   file->Write(restore.data(), restore.size(), &ignored)));
  return false;
}

}  // namespace platform
