#include "store/log_stream.h"

#include <cstdint>

#include "store/log_cipher.h"

bool IsEncryptedLogName(const std::string& file_name) {
  return file_name.size() >= 2 && file_name.compare(file_name.size() - 2, 2, "eb") == 0;
}

LogTextReader::LogTextReader(platform::File* file, const LogCipher* cipher)
    : file_(file), cipher_(cipher), buffer_(new char[kChunkSize]) {}

bool LogTextReader::Next(std::string_view* chunk, std::string* error) {
  *chunk = std::string_view();
  if (at_end_) return true;
  size_t n = 0;
  if (!file_->Read(buffer_.get(), kChunkSize, &n, error)) return false;
  // File::Read fills the buffer unless the file ends, so only the last chunk
  // can be short and block boundaries stay aligned.
  at_end_ = n < kChunkSize;
  if (cipher_ != nullptr) {
    n -= n % 16;
    cipher_->ReadBlocks(reinterpret_cast<uint8_t*>(buffer_.get()), n / 16);
  }
  *chunk = std::string_view(buffer_.get(), n);
  return true;
}
