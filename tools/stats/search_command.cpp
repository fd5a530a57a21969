#include <algorithm>
#include <cstdlib>
#include <string>

#include "commands.h"
#include "output.h"
#include "platform/locale.h"
#include "platform/system.h"
#include "query.h"
#include "store/cglobal.h"
#include "support/datetime.h"
#include "support/duration.h"
#include "views/list_model.h"
#include "views/search.h"

namespace stats {
namespace {

constexpr int32_t kMinSecondsLimit = 86400;  // SpMinCas's range is 1 to this

// A record with what the list's default order compares: totals (empty
// title) first, then the time by its sort key, longest first, then the path
// in the user locale's order; remaining ties by path bytes, then title.
struct Listed {
  const ActivityRecord* record;
  std::string time_key;
};

bool ListsBefore(const Listed& a, const Listed& b) {
  const bool a_total = a.record->title == kEmptyText;
  const bool b_total = b.record->title == kEmptyText;
  if (a_total != b_total) return a_total;
  if (a.time_key != b.time_key) return a.time_key > b.time_key;
  const std::string& a_path = a.record->PathText();
  const std::string& b_path = b.record->PathText();
  const int order = platform::LocaleCompareNoCase(a_path, b_path);
  if (order != 0) return order < 0;
  if (a_path != b_path) return a_path < b_path;
  return a.record->TitleText() < b.record->TitleText();
}

std::vector<const ActivityRecord*> InListOrder(const std::vector<ActivityRecord*>& records) {
  std::vector<Listed> listed;
  listed.reserve(records.size());
  for (const ActivityRecord* r : records) {
    listed.push_back(Listed{r, DurationSortKey(FormatDuration(r->time * 10u))});
  }
  std::sort(listed.begin(), listed.end(), ListsBefore);
  std::vector<const ActivityRecord*> ordered;
  ordered.reserve(listed.size());
  for (const Listed& l : listed) ordered.push_back(l.record);
  return ordered;
}

uint32_t DailyAverageSeconds(const ActivityRecord& r) {
  return r.activeDays != 0 ? r.time / r.activeDays : r.time;
}

std::vector<std::string> DataCells(const ActivityRecord& r) {
  return {r.PathText(),
          r.TitleText(),
          std::to_string(r.time),
          FixedDateTimeText(r.latest),
          std::to_string(r.activeDays),
          std::to_string(DailyAverageSeconds(r))};
}

bool ParseMinSeconds(const std::string& text, int32_t* seconds) {
  if (text.empty() || text.size() > 5 ||
      text.find_first_not_of("0123456789") != std::string::npos) {
    return false;
  }
  *seconds = std::atoi(text.c_str());
  return *seconds >= 1 && *seconds <= kMinSecondsLimit;
}

int RunSearchCommand(const Args& args) {
  Options options;
  Format format = Format::kTable;
  SearchOptions search;
  CalendarDate date;
  if (!options.Parse(args, {"--data", "--from", "--to", "--name", "--title", "--min", "--format"},
                     {"--no-titles"}) ||
      !options.Has("--data") ||
      (options.Has("--format") && !ParseFormat(options.Value("--format"), &format)) ||
      (options.Has("--min") && !ParseMinSeconds(options.Value("--min"), &search.min_seconds)) ||
      (options.Has("--from") && !ParseCalendarDate(options.Value("--from"), &date)) ||
      (options.Has("--to") && !ParseCalendarDate(options.Value("--to"), &date))) {
    return BadArguments(kSearchCommand);
  }
  if (!ArgumentText(options.Value("--name"), &search.name) ||
      !ArgumentText(options.Value("--title"), &search.title)) {
    Print(stderr, Message().Text("Hledaný text nelze zapsat v kódové stránce 1250."));
    return BadArguments(kSearchCommand);
  }
  search.with_titles = !options.Has("--no-titles");

  CGlobal history;
  CGlobal results;
  if (!LoadDataFolder(options.Value("--data"), &history)) return kExitFailure;
  DatePicker start;
  DatePicker end;
  ReadRange(options, history, &start, &end);

  const uint32_t started = platform::TickCount();
  DetailRange no_detail;
  const SearchResult found = RunSearch(
      &history, &results, CalendarRange(start.calendar, end.calendar), &no_detail, search);
  const std::vector<const ActivityRecord*> ordered = InListOrder(found.rows);
  const uint32_t elapsed = platform::TickCount() - started;

  bool written;
  if (format == Format::kTable) {
    ListModel list;
    list.Zobraz(2);
    list.Reserve(ordered.size());
    for (const ActivityRecord* r : ordered) list.ZmenJ(r);
    written = WriteListTable(list, {0, 1, 2, 3, 4, 5});
  } else {
    Rows rows;
    rows.reserve(ordered.size());
    for (const ActivityRecord* r : ordered) rows.push_back(DataCells(*r));
    written = WriteData(format,
                        {{"path", false},
                         {"title", false},
                         {"seconds", true},
                         {"last_seen", false},
                         {"active_days", true},
                         {"daily_average", true}},
                        rows);
  }
  PrintStatus(SearchStatusText(found.shown, found.hidden, elapsed, ','));
  return written ? kExitOk : kExitFailure;
}

}  // namespace

const Command kSearchCommand = {
    "search",
    "--data SLOŽKA [--from D.M.RRRR] [--to D.M.RRRR] [--name TEXT] [--title TEXT] "
    "[--no-titles] [--min SEKUNDY] [--format table|csv|json]",
    "hledání v historii (čas programů a titulků)", RunSearchCommand};

}  // namespace stats
