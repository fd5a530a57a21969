#include "store/log_stream.h"

#include <cstdint>

#include "store/log_cipher.h"

bool IsEncryptedLogName(const std::string& file_name) {
  return file_name.size() >= 2 && file_name.compare(file_name.size() - 2, 2, "eb") == 0;
}

LogTextReader::LogTextReader(platform::File* file, const LogCipher* cipher)
    : file_(file), cipher_(cipher) {}

bool LogTextReader::Next(std::string_view* chunk, std::string* error) {
  if (buffer_ == nullptr) buffer_.reset(new char[kChunkSize]);  // not needed by NextInto
  return NextInto(buffer_.get(), chunk, error);
}

bool LogTextReader::NextInto(char* buffer, std::string_view* chunk, std::string* error) {
  *chunk = std::string_view();
  if (at_end_) return true;
  size_t n = 0;
  if (!file_->Read(buffer, kChunkSize, &n, error)) return false;
  // File::Read fills the buffer unless the file ends, so only the last chunk
  // can be short and block boundaries stay aligned.
  at_end_ = n < kChunkSize;
  if (cipher_ != nullptr) {
    n -= n % 16;
    cipher_->ReadBlocks(reinterpret_cast<uint8_t*>(buffer), n / 16);
  }
  *chunk = std::string_view(buffer, n);
  return true;
}

ReadAheadLogReader::ReadAheadLogReader(platform::File* file, const LogCipher* cipher)
    : reader_(file, cipher), thread_(&ReadAheadLogReader::ReadAhead, this) {}

ReadAheadLogReader::~ReadAheadLogReader() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

bool ReadAheadLogReader::Next(std::string_view* chunk, std::string* error) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (!last_taken_) {
    released_ = taken_;  // the chunk handed out last time is no longer read
    changed_.notify_all();
    changed_.wait(lock, [this] { return filled_ > taken_; });
    ++taken_;
  }
  const Slot& slot = slots_[(taken_ - 1) % kSlots];
  last_taken_ = !slot.ok || slot.chunk.empty();
  *chunk = slot.chunk;
  if (!slot.ok) *error = slot.error;
  return slot.ok;
}

void ReadAheadLogReader::ReadAhead() {
  for (uint64_t next = 0;; ++next) {
    {
      std::unique_lock<std::mutex> lock(mutex_);
      // Every slot but the ones the caller has not released may be refilled.
      changed_.wait(lock, [&] { return stop_ || next - released_ < kSlots; });
      if (stop_) return;
    }
    Slot& slot = slots_[next % kSlots];
    slot.ok = reader_.NextInto(slot.buffer.get(), &slot.chunk, &slot.error);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      filled_ = next + 1;
    }
    changed_.notify_all();
    if (!slot.ok || slot.chunk.empty()) return;
  }
}
