#ifndef TRAMO_STORE_LOG_STREAM_H_
#define TRAMO_STORE_LOG_STREAM_H_

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "platform/file.h"

class LogCipher;

// True when a log file is stored encrypted: the last two characters of its
// name are "eb", compared exactly (a name ending in "EB" is plain text).
bool IsEncryptedLogName(const std::string& file_name);

// The text of a stored log, read in chunks. With a cipher every full 16-byte
// block is turned back into its plaintext and a shorter tail (the clean-exit
// marker) yields nothing; without one the bytes come as they stand. Nothing
// is read after a short chunk, so a log that grows while it is read still
// ends on a block boundary.
class LogTextReader {
 public:
  static constexpr size_t kChunkSize = 1 << 16;

  // file must be open for reading; file and cipher (nullptr for a plain log)
  // must outlive the reader.
  LogTextReader(platform::File* file, const LogCipher* cipher);
  LogTextReader(const LogTextReader&) = delete;
  LogTextReader& operator=(const LogTextReader&) = delete;

  // Sets *chunk to the next piece of text (at most kChunkSize bytes, valid
  // until the next call); an empty chunk is the end of the log. False after
  // a read failure, with the OS's message in *error.
  bool Next(std::string_view* chunk, std::string* error);

 private:
  platform::File* file_;
  const LogCipher* cipher_;
  std::unique_ptr<char[]> buffer_;
  bool at_end_ = false;
};

#endif  // TRAMO_STORE_LOG_STREAM_H_
