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
