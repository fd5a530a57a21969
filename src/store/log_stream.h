#ifndef TRAMO_STORE_LOG_STREAM_H_
#define TRAMO_STORE_LOG_STREAM_H_

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

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
  // The same into buffer (kChunkSize bytes), which *chunk then points into.
  bool NextInto(char* buffer, std::string_view* chunk, std::string* error);

 private:
  platform::File* file_;
  const LogCipher* cipher_;
  std::unique_ptr<char[]> buffer_;
  bool at_end_ = false;
};

// The chunks of a LogTextReader, read and deciphered on a second thread
// while the caller interprets the previous ones: a history load spends about
// as long deciphering as reading the lines. Chunks, failures and the end come
// in the same order as from LogTextReader.
class ReadAheadLogReader {
 public:
  // As for LogTextReader; the file is read only by the second thread until
  // the reader is destroyed.
  ReadAheadLogReader(platform::File* file, const LogCipher* cipher);
  // Stops the second thread, also when the caller quits before the end.
  ~ReadAheadLogReader();
  ReadAheadLogReader(const ReadAheadLogReader&) = delete;
  ReadAheadLogReader& operator=(const ReadAheadLogReader&) = delete;

  // As LogTextReader::Next.
  bool Next(std::string_view* chunk, std::string* error);

 private:
  static constexpr uint64_t kSlots = 4;
  struct Slot {
    std::unique_ptr<char[]> buffer{new char[LogTextReader::kChunkSize]};
    std::string_view chunk;
    bool ok = true;
    std::string error;
  };
  void ReadAhead();

  LogTextReader reader_;  // the second thread's
  Slot slots_[kSlots];
  std::mutex mutex_;
  std::condition_variable changed_;
  uint64_t filled_ = 0;    // slots the second thread has filled
  uint64_t taken_ = 0;     // slots handed to the caller
  uint64_t released_ = 0;  // slots the caller is done with
  bool stop_ = false;
  bool last_taken_ = false;  // the end or a failure was handed over
  std::thread thread_;
};

#endif  // TRAMO_STORE_LOG_STREAM_H_
