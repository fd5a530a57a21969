#include <algorithm>
#include <string>
#include <utility>

#include "commands.h"
#include "platform/system.h"
#include "query.h"
#include "store/cglobal.h"
#include "support/datetime.h"
#include "views/list_model.h"
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
  CalendarDate date;
  if (!options.Parse(args, {"--data", "--by", "--from", "--to", "--format"}, {}) ||
      !options.Has("--data") || BucketOfName(options.Value("--by")) < 0 ||
      (options.Has("--format") && !ParseFormat(options.Value("--format"), &format)) ||
      (options.Has("--from") && !ParseCalendarDate(options.Value("--from"), &date)) ||
      (options.Has("--to") && !ParseCalendarDate(options.Value("--to"), &date))) {
    return BadArguments(kOverviewCommand);
  }
  CGlobal history;
  CGlobal results;
  if (!LoadDataFolder(options.Value("--data"), &history)) return kExitFailure;
  DatePicker start;
  DatePicker end;
  ReadRange(options, history, &start, &end);

  const uint32_t started = platform::TickCount();
  const OverviewResult found =
      RunOverview(&history, &results, BucketOfName(options.Value("--by")),
                  CalendarRange(start.calendar, end.calendar), start);
  // The list's default order in this view: newest "Od" first.
  std::vector<std::pair<double, const ActivityRecord*>> ordered;
  for (const ActivityRecord* entry : found.rows) {
    double from = 0;
    TryParseFixedDateTime(entry->PathText(), &from);
    ordered.emplace_back(from, entry);
  }
  std::stable_sort(ordered.begin(), ordered.end(),
                   [](const auto& a, const auto& b) { return a.first > b.first; });
  const uint32_t elapsed = platform::TickCount() - started;

  bool written;
  if (format == Format::kTable) {
    ListModel list;
    list.Zobraz(3);
    for (const auto& item : ordered) list.ZmenK(item.second);
    written = WriteListTable(list, {1, 2, 3});
  } else {
    Rows rows;
    for (const auto& item : ordered) {
      const ActivityRecord& entry = *item.second;
      rows.push_back(
          {entry.PathText(), FixedDateTimeText(entry.latest), std::to_string(entry.time)});
    }
    written = WriteData(format, {{"from", false}, {"to", false}, {"seconds", true}}, rows);
  }
  PrintStatus(OverviewStatusText(found.shown, found.hidden, elapsed, ','));
  return written ? kExitOk : kExitFailure;
}

}  // namespace

const Command kOverviewCommand = {
    "overview",
    "--data SLOŽKA --by session|hour|day|week|month|year|all [--from D.M.RRRR] "
    "[--to D.M.RRRR] [--format table|csv|json]",
    "přehled doby záznamu po seancích, hodinách, dnech, ...", RunOverviewCommand};

}  // namespace stats
