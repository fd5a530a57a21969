#include <string>

#include "commands.h"
#include "store/history.h"

namespace stats {
namespace {

constexpr char kConvertedPrefix[] = "Prevedenych: ";
constexpr char kBadParameters[] = "Chybné parametry";
// Reports that end in a name: the name is printed as it came.
constexpr const char* kReportsWithName[] = {"Neexistuje výstupní adresář ", "ErrorMessage: "};

Message ReportMessage(const std::string& report) {
  for (const std::string prefix : kReportsWithName) {
    if (report.compare(0, prefix.size(), prefix) == 0) {
      return Message().Text(prefix).Name(report.substr(prefix.size()));
    }
  }
  return Message().Text(report);
}

int RunConvert(const Args& args) {
  if (args.size() > 2) return BadArguments(kConvertCommand);
  // A missing folder is passed on empty: the conversion reports it itself.
  const std::string source = args.size() > 0 ? args[0] : std::string();
  const std::string target = args.size() > 1 ? args[1] : std::string();
  const std::string report = ConvertLogs(source, target);
  const Message message = ReportMessage(report);
  if (report.compare(0, sizeof(kConvertedPrefix) - 1, kConvertedPrefix) == 0) {
    return Print(stdout, message) ? kExitOk : kExitFailure;
  }
  Print(stderr, message);
  return report == kBadParameters ? kExitBadArguments : kExitFailure;
}

}  // namespace

const Command kConvertCommand = {"convert", "ZDROJ CÍL",
                                 "každý šifrovaný log složky ZDROJ jako text do složky CÍL",
                                 RunConvert};

}  // namespace stats
