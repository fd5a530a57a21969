#include <exception>
#include <string>
#include <vector>

#include "cli.h"
#include "commands.h"
#include "output.h"

int main(int argc, char** argv) {
  using namespace stats;
  PrepareStandardStreams();
  const std::vector<std::string> args = CommandArguments(argc, argv);
  const std::vector<const Command*> commands = {&kDumpCommand, &kEncryptCommand,
                                                &kConvertCommand, &kSearchCommand,
                                                &kOverviewCommand, &kReportCommand};
  if (args.size() < 2) {
    PrintUsage(stderr, commands, Message());
    return kExitBadArguments;
  }
  const std::string& name = args[1];
  if (name == "help" || name == "-h" || name == "--help") {
    PrintUsage(stdout, commands, Message());
    return kExitOk;
  }
  for (const Command* command : commands) {
    if (name != command->name) continue;
    try {
      return command->run(Args(args.begin() + 2, args.end()));
    } catch (const std::exception& failure) {
      // Out of memory for a huge log, mostly: a failure, not a crash.
      return Fail(Message().Text("ErrorMessage: ").Name(failure.what()));
    }
  }
  PrintUsage(stderr, commands, Message().Text("Neznámý příkaz: ").Name(name));
  return kExitBadArguments;
}
