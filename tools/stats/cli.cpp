#include "cli.h"

#include <algorithm>

#include "output.h"

namespace stats {
namespace {

constexpr char kProgram[] = "tramo2-stats";

std::string UsageLine(const Command& command) {
  return std::string(kProgram) + " " + command.name + " " + command.arguments;
}

}  // namespace

Message& Message::Text(const std::string& cp1250) {
  line_ += TerminalText(cp1250);
  return *this;
}

Message& Message::Name(const std::string& name) {
  line_ += name;
  return *this;
}

bool Print(FILE* stream, const Message& message) {
  return WriteText(stream, message.line() + kLineEnd);
}

int Fail(const Message& message) {
  Print(stderr, message);
  return kExitFailure;
}

int BadArguments(const Command& command) {
  Print(stderr, Message().Text("Použití: " + UsageLine(command)));
  return kExitBadArguments;
}

void PrintUsage(FILE* stream, const std::vector<const Command*>& commands,
                const Message& message) {
  if (!message.line().empty()) Print(stream, message);
  Print(stream, Message().Text("Použití:"));
  for (const Command* command : commands) {
    std::string line = "  " + UsageLine(*command);
    line.resize(std::max<size_t>(line.size() + 2, 40), ' ');
    Print(stream, Message().Text(line + command->summary));
  }
  Print(stream, Message().Text("Návratový kód: 0 hotovo, 1 chyba, 2 chybné parametry."));
}

}  // namespace stats
