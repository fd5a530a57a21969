#include "test_util.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "platform/file.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace testutil {

FakeClock::FakeClock(double now) : now_(now) { platform::SetClock(this); }

FakeClock::~FakeClock() { platform::SetClock(nullptr); }

EventRecorder::EventRecorder() { SetEventSink(this); }

EventRecorder::~EventRecorder() { SetEventSink(nullptr); }

namespace {

std::string SystemTempFolder() {
#ifdef _WIN32
  char buffer[MAX_PATH + 1];
  const DWORD n = GetTempPathA(MAX_PATH, buffer);
  return std::string(buffer, n);
#else
  const char* tmp = std::getenv("TMPDIR");
  std::string folder = tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
  if (folder.back() != '/') folder += '/';
  return folder;
#endif
}

int ProcessId() {
#ifdef _WIN32
  return static_cast<int>(GetCurrentProcessId());
#else
  return static_cast<int>(getpid());
#endif
}

void RemoveTree(const std::string& folder) {
#ifdef _WIN32
  std::string command = "rmdir /s /q \"" + folder + "\" >nul 2>nul";
#else
  std::string command = "rm -rf '" + folder + "'";
#endif
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "cannot remove %s\n", folder.c_str());
}

}  // namespace

TempFolder::TempFolder() : TempFolder(SystemTempFolder()) {}

TempFolder::TempFolder(const std::string& base) {
  static int counter = 0;
#ifdef _WIN32
  const char separator = '\\';
#else
  const char separator = '/';
#endif
  path_ = base + "tramo_test_" + std::to_string(ProcessId()) + "_" +
          std::to_string(++counter) + separator;
  RemoveTree(path_);
  std::string error;
  if (!platform::CreateFolders(path_, &error)) throw std::runtime_error(error);
}

TempFolder::~TempFolder() { RemoveTree(path_.substr(0, path_.size() - 1)); }

std::string MemoryFolder() {
#ifndef _WIN32
  if (platform::FolderExists("/dev/shm")) return "/dev/shm/";
#endif
  return SystemTempFolder();
}

ActivityRecord Record(const std::string& path, const std::string& title, uint32_t time,
                      double date, uint32_t days) {
  ActivityRecord r;
  r.path = Id(path);
  r.title = Id(title);
  r.time = time;
  r.stamp = date;
  r.latest = date;
  r.activeDays = days;
  return r;
}

std::vector<ActivityRecord*> Records(CSez* list) {
  std::vector<ActivityRecord*> out;
  ActivityRecord* record = nullptr;
  list->Rewind();
  while (list->Next(&record)) out.push_back(record);
  return out;
}

std::string ReadFileBytes(const std::string& path) {
  platform::File file;
  std::string error;
  if (!file.OpenRead(path, &error)) throw std::runtime_error(path + ": " + error);
  std::string bytes;
  char buffer[65536];
  size_t n = 0;
  while (file.Read(buffer, sizeof(buffer), &n, &error) && n > 0) bytes.append(buffer, n);
  return bytes;
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  platform::File file;
  std::string error;
  if (!file.Create(path, &error) || !file.Write(bytes.data(), bytes.size(), &error)) {
    throw std::runtime_error(path + ": " + error);
  }
}

#ifdef _WIN32
UnopenableFile::UnopenableFile(const std::string& path) {
  WriteFileBytes(path, "");
  handle_ = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle_ == INVALID_HANDLE_VALUE) throw std::runtime_error(path + ": cannot hold open");
}

UnopenableFile::~UnopenableFile() { CloseHandle(handle_); }
#else
UnopenableFile::UnopenableFile(const std::string& path) : fd_(socket(AF_UNIX, SOCK_STREAM, 0)) {
  sockaddr_un address = {};
  address.sun_family = AF_UNIX;
  std::string native = path;
  for (char& c : native) {
    if (c == '\\') c = '/';
  }
  native.copy(address.sun_path, sizeof(address.sun_path) - 1);
  if (bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
    throw std::runtime_error(path + ": cannot bind a socket");
  }
}

UnopenableFile::~UnopenableFile() { close(fd_); }
#endif

FileFaults::FileFaults() { platform::SetFileFaultPlan(this); }

FileFaults::~FileFaults() { platform::SetFileFaultPlan(nullptr); }

void FileFaults::FailAt(platform::FileCall call, int nth, Cut cut) {
  std::lock_guard<std::mutex> lock(mutex_);
  armed_ = true;
  call_ = call;
  nth_ = nth;
  cut_ = cut;
}

void FileFaults::ThenFail(platform::FileCall then) {
  std::lock_guard<std::mutex> lock(mutex_);
  then_armed_ = true;
  then_ = then;
}

void FileFaults::Stop() {
  std::lock_guard<std::mutex> lock(mutex_);
  armed_ = false;
  then_armed_ = false;
}

void FileFaults::SetPhase(const std::string& phase) {
  std::lock_guard<std::mutex> lock(mutex_);
  phase_ = phase;
}

bool FileFaults::fired() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return fired_;
}

bool FileFaults::Fail(platform::FileCall call, const std::string& path, size_t* length) {
  std::lock_guard<std::mutex> lock(mutex_);
  const int nth = counts_[static_cast<int>(call)]++;
  trace_.entries.push_back({call, path, nth, phase_});
  if (fired_ && then_armed_ && call == then_) {
    then_armed_ = false;
    *length = 0;
    return true;
  }
  if (!armed_ || fired_ || call != call_ || nth != nth_) return false;
  fired_ = true;
  if (cut_ == Cut::kHalf) *length /= 2;
  if (cut_ == Cut::kAllButLast) *length = *length > 0 ? *length - 1 : 0;
  if (cut_ == Cut::kNothing) *length = 0;
  return true;
}

std::vector<FailurePoint> FailurePoints(const FileCallTrace& trace) {
  std::vector<FailurePoint> points;
  for (size_t i = 0; i < trace.entries.size(); ++i) {
    const FileCallTrace::Entry& entry = trace.entries[i];
    points.push_back({entry, i, FileFaults::Cut::kNothing});
    if (entry.call != platform::FileCall::kWrite) continue;
    points.push_back({entry, i, FileFaults::Cut::kHalf});
    points.push_back({entry, i, FileFaults::Cut::kAllButLast});
  }
  return points;
}

std::string FullDevicePath() {
#ifdef _WIN32
  return "Z:\\dev\\full";
#else
  return "/dev/full";
#endif
}

}  // namespace testutil
