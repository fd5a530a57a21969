#ifndef TRAMO_TOOLS_STATS_CLI_H_
#define TRAMO_TOOLS_STATS_CLI_H_

#include <cstdio>
#include <string>
#include <vector>

// What every subcommand of tramo2-stats shares: exit codes, usage and the
// printing of messages.
namespace stats {

enum ExitCode {
  kExitOk = 0,
  kExitFailure = 1,
  kExitBadArguments = 2,
};

using Args = std::vector<std::string>;

// A subcommand: its name on the command line, its arguments and summary for
// the usage (code page 1250), and the function that runs it with the
// arguments after the name and returns the exit code.
struct Command {
  const char* name;
  const char* arguments;
  const char* summary;
  int (*run)(const Args& args);
};

// One line for people. The program's own texts (code page 1250) are
// converted for the terminal; names (paths from the command line, the OS's
// error texts) are already in the terminal's encoding and pass unchanged.
class Message {
 public:
  Message& Text(const std::string& cp1250);
  Message& Name(const std::string& name);
  const std::string& line() const { return line_; }

 private:
  std::string line_;
};

// Writes the message and a line end; false when the stream fails.
bool Print(FILE* stream, const Message& message);

// Prints the message on standard error and returns kExitFailure.
int Fail(const Message& message);

// Prints the command's usage line on standard error and returns
// kExitBadArguments.
int BadArguments(const Command& command);

// The usage of every command, one line each, preceded by the message when it
// is not empty.
void PrintUsage(FILE* stream, const std::vector<const Command*>& commands,
                const Message& message);

}  // namespace stats

#endif  // TRAMO_TOOLS_STATS_CLI_H_
