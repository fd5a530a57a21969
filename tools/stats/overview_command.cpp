#include <algorithm>
#include <string>
#include <utility>

#include "commands.h"
#include "platform/system.h"
#include "query.h"
#include "store/cglobal.h"
#include "support/datetime.h"
#include "views/list_cells.h"
#include "views/list_order.h"
#include "views/overview.h"

namespace stats {
namespace {

// --by values in the order of ComboPrehled's items.
constexpr const char* kBucketNames[kOverviewItemCount] = {"session", "hour",  "day", "week",
                                                          "month",   "year", "all"};

int BucketOfName(const std::string& name) {
  for (int i = 0; i < kOverviewItemCount; ++i) {
    if (name == kBucketNames[i]) return i;
  }
  return -1;
}

int RunOverviewCommand(const Args& args) {
  Options options;
  Format format = Format::kTable;
  std::vector<std::string> folders;
  if (!options.Parse(args, {"--data-root", "--by", "--from", "--to", "--format"}, {},
                     {"--data"}) ||
      BucketOfName(options.Value("--by")) < 0 ||
      (options.Has("--format") && !ParseFormat(options.Value("--format"), &format)) ||
      !QueryOptionsValid(options)) {
    return BadArguments(kOverviewCommand);
  }
  CGlobal history;
  CGlobal results;
  if (!DataFolders(options, &folders) || !LoadDataFolders(folders, &history)) {
    return kExitFailure;
  }
  DatePicker start;
  DatePicker end;
  ReadRange(options, history, &start, &end);

  const uint32_t started = platform::TickCount();
  const OverviewResult found =
      RunOverview(&history, &results, BucketOfName(options.Value("--by")),
                  CalendarRange(start.calendar, end.calendar), start);
  const std::vector<ActivityRecord*> ordered = RecordsInListOrder(found.rows, SortSettings{3});
  const uint32_t elapsed = platform::TickCount() - started;

  bool written;
  if (format == Format::kTable) {
    written = WriteTable(ListTableColumns(3, {1, 2, 3}), ordered.size(),
                         [&ordered](size_t row, CellSink* cells) {
                           for (int c = 1; c <= 3; ++c) {
                             cells->Text(OverviewCellText(*ordered[row], c));
                           }
                         });
  } else {
    written = WriteData(format, {{"from", false}, {"to", false}, {"seconds", true}},
                        ordered.size(), [&ordered](size_t row, CellSink* cells) {
                          const ActivityRecord& entry = *ordered[row];
                          cells->Text(entry.PathText());
                          cells->Text(FixedDateTimeText(entry.latest));
                          cells->Number(entry.time);
                        });
  }
  PrintStatus(OverviewStatusText(found.shown, found.hidden, elapsed, ','));
  return written ? kExitOk : kExitFailure;
}

}  // namespace

const Command kOverviewCommand = {
    "overview",
    "--data SLOŽKA [--data SLOŽKA]... | --data-root SLOŽKA --by session|hour|day|week|month|year|all [--from D.M.RRRR] "
    "[--to D.M.RRRR] [--format table|csv|json]",
    "přehled doby záznamu po seancích, hodinách, dnech, ...", RunOverviewCommand};

}  // namespace stats
