#include <string>
#include <vector>

#include "commands.h"
#include "output.h"
#include "platform/file.h"
#include "query.h"
#include "store/cglobal.h"
#include "views/report_figures.h"
#include "views/report_page.h"

namespace stats {
namespace {

bool WriteReport(const std::string& path, const std::string& page) {
  std::string error;
  platform::File file;
  if (platform::FileExists(path)) platform::RemoveFile(path);
  if (file.CreateNew(path, &error) && file.Write(page.data(), page.size(), &error)) return true;
  Fail(Message().Text("Nelze zapsat přehled do ").Name(path).Text(": ").Name(error));
  return false;
}

int RunReportCommand(const Args& args) {
  Options options;
  std::vector<std::string> folders;
  if (!options.Parse(args, {"--data-root", "--from", "--to", "--out"}, {}, {"--data"}) ||
      !QueryOptionsValid(options) || options.Value("--out").empty()) {
    return BadArguments(kReportCommand);
  }
  CGlobal history;
  if (!DataFolders(options, &folders) || !LoadDataFolders(folders, &history)) {
    return kExitFailure;
  }
  DatePicker start;
  DatePicker end;
  ReadRange(options, history, &start, &end);
  const std::string page = ReportPage(CollectReport(&history, start, end));
  return WriteReport(options.Value("--out"), page) ? kExitOk : kExitFailure;
}

}  // namespace

const Command kReportCommand = {
    "report",
    "--data SLOŽKA [--data SLOŽKA]... | --data-root SLOŽKA [--from D.M.RRRR] [--to D.M.RRRR] "
    "--out SOUBOR.html",
    "přehled s grafy jako jedna stránka HTML", RunReportCommand};

}  // namespace stats
