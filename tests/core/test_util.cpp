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

TempFolder::TempFolder() {
  static int counter = 0;
#ifdef _WIN32
  const char separator = '\\';
#else
  const char separator = '/';
#endif
  path_ = SystemTempFolder() + "tramo_test_" + std::to_string(ProcessId()) + "_" +
          std::to_string(++counter) + separator;
  RemoveTree(path_);
  std::string error;
  if (!platform::CreateFolders(path_, &error)) throw std::runtime_error(error);
}

TempFolder::~TempFolder() { RemoveTree(path_.substr(0, path_.size() - 1)); }

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

std::string FullDevicePath() {
#ifdef _WIN32
  return "Z:\\dev\\full";
#else
  return "/dev/full";
#endif
}

}  // namespace testutil
