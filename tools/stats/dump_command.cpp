#include <cerrno>
#include <cstring>
#include <memory>
#include <string_view>

#include "commands.h"
#include "platform/file.h"
#include "store/log_cipher.h"
#include "store/log_stream.h"

namespace stats {
namespace {

int ReadFailed(const std::string& path, const std::string& error) {
  return Fail(Message().Text("Nelze číst soubor ").Name(path).Text(": ").Name(error));
}

int WriteFailed() {
  const int code = errno;
  return Fail(Message().Text("Zápis na standardní výstup selhal: ").Name(std::strerror(code)));
}

int RunDump(const Args& args) {
  if (args.size() != 1) return BadArguments(kDumpCommand);
  const std::string& path = args[0];
  platform::File file;
  std::string error;
  if (!file.OpenRead(path, &error)) return ReadFailed(path, error);
  std::unique_ptr<LogCipher> cipher;
  if (IsEncryptedLogName(path)) cipher = std::make_unique<LogCipher>();
  LogTextReader reader(&file, cipher.get());
  for (;;) {
    std::string_view chunk;
    if (!reader.Next(&chunk, &error)) return ReadFailed(path, error);
    if (chunk.empty()) break;
    // Written as soon as read: a log may be far larger than is worth holding.
    if (std::fwrite(chunk.data(), 1, chunk.size(), stdout) != chunk.size()) return WriteFailed();
  }
  return std::fflush(stdout) == 0 ? kExitOk : WriteFailed();
}

}  // namespace

const Command kDumpCommand = {"dump", "SOUBOR", "text jednoho logu bajt po bajtu", RunDump};

}  // namespace stats
