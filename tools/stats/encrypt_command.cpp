#include "commands.h"
#include "platform/file.h"
#include "store/history.h"
#include "store/log_stream.h"

namespace stats {
namespace {

int RunEncrypt(const Args& args) {
  if (args.size() != 2) return BadArguments(kEncryptCommand);
  const std::string& source = args[0];
  const std::string& target = args[1];
  // Under any other name every reader would take the blocks for plain text.
  if (!IsEncryptedLogName(target)) {
    Print(stderr, Message().Text("Jméno šifrovaného logu musí končit na \"eb\": ").Name(target));
    return kExitBadArguments;
  }
  if (platform::FileExists(target) || platform::FolderExists(target)) {
    return Fail(Message().Text("Cíl už existuje, nepřepisuje se: ").Name(target));
  }
  std::string error;
  if (!EncryptLogFile(source, target, &error)) {
    return Fail(Message().Text("Zašifrování selhalo: ").Name(error));
  }
  return kExitOk;
}

}  // namespace

const Command kEncryptCommand = {"encrypt", "ZDROJ CÍL",
                                 "textový log jako nový šifrovaný log (jméno na .eb)",
                                 RunEncrypt};

}  // namespace stats
