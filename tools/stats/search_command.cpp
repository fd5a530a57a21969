#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "commands.h"
#include "output.h"
#include "platform/system.h"
#include "query.h"
#include "store/cglobal.h"
#include "views/list_cells.h"
#include "views/list_order.h"
#include "views/search.h"

namespace stats {
namespace {

constexpr int32_t kMinSecondsLimit = 86400;  // SpMinCas's range is 1 to this

uint32_t DailyAverageSeconds(const ActivityRecord& r) {
  return r.activeDays != 0 ? r.time / r.activeDays : r.time;
}

void DataCells(const ActivityRecord& r, const DateTexts& dates, CellSink* cells) {
  cells->LastingText(r.PathText());
  cells->LastingText(r.TitleText());
  cells->Number(r.time);
  cells->LastingText(dates.Text(r.latest));
  cells->Number(r.activeDays);
  cells->Number(DailyAverageSeconds(r));
}

// The list's cells; the path and title as they are stored, the last seen
// date (SearchCellText's column 2) from the shared texts.
void TableCells(const ActivityRecord& r, const DateTexts& dates, CellSink* cells) {
  for (int c = 0; c < kListColumns; ++c) {
    if (c == 0) {
      cells->LastingText(r.PathText());
    } else if (c == 2) {
      cells->LastingText(dates.Text(r.latest));
    } else if (c == 3) {
      cells->LastingText(r.TitleText());
    } else {
      cells->Text(SearchCellText(r, c));
    }
  }
}

// Rows go out in list order, so their records and texts lie all over memory:
// each row fetches ahead those of the rows a little further on, a step of
// the chain (record, text object, text bytes) at a time.
void FetchAhead(const std::vector<ActivityRecord*>& ordered, size_t row) {
  if (row + 16 < ordered.size()) __builtin_prefetch(ordered[row + 16]);
  if (row + 8 < ordered.size()) {
    __builtin_prefetch(&ordered[row + 8]->PathText());
    __builtin_prefetch(&ordered[row + 8]->TitleText());
  }
  if (row + 4 < ordered.size()) {
    __builtin_prefetch(ordered[row + 4]->PathText().data());
    __builtin_prefetch(ordered[row + 4]->TitleText().data());
  }
}

std::vector<double> LastSeen(const std::vector<ActivityRecord*>& records) {
  std::vector<double> last_seen;
  last_seen.reserve(records.size());
  for (const ActivityRecord* r : records) last_seen.push_back(r->latest);
  return last_seen;
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
  std::vector<std::string> folders;
  if (!options.Parse(args, {"--data-root", "--from", "--to", "--name", "--title", "--min",
                            "--format"},
                     {"--no-titles"}, {"--data"}) ||
      (options.Has("--format") && !ParseFormat(options.Value("--format"), &format)) ||
      (options.Has("--min") && !ParseMinSeconds(options.Value("--min"), &search.min_seconds)) ||
      !QueryOptionsValid(options)) {
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
  if (!DataFolders(options, &folders) || !LoadDataFolders(folders, &history)) {
    return kExitFailure;
  }
  DatePicker start;
  DatePicker end;
  ReadRange(options, history, &start, &end);

  const uint32_t started = platform::TickCount();
  DetailRange no_detail;
  const SearchResult found = RunSearch(
      &history, &results, CalendarRange(start.calendar, end.calendar), &no_detail, search);
  // The dates need no order: they are formatted on a second core meanwhile.
  std::unique_ptr<DateTexts> dates;
  std::thread date_formatter([&] { dates = std::make_unique<DateTexts>(LastSeen(found.rows)); });
  const std::vector<ActivityRecord*> ordered = RecordsInListOrder(found.rows, SortSettings{2});
  const uint32_t elapsed = platform::TickCount() - started;
  date_formatter.join();

  bool written;
  if (format == Format::kTable) {
    written = WriteTable(ListTableColumns(2, {0, 1, 2, 3, 4, 5}), ordered.size(),
                         [&](size_t row, CellSink* cells) {
                           FetchAhead(ordered, row);
                           TableCells(*ordered[row], *dates, cells);
                         });
  } else {
    written = WriteData(format,
                        {{"path", false},
                         {"title", false},
                         {"seconds", true},
                         {"last_seen", false},
                         {"active_days", true},
                         {"daily_average", true}},
                        ordered.size(),
                        [&](size_t row, CellSink* cells) {
                          FetchAhead(ordered, row);
                          DataCells(*ordered[row], *dates, cells);
                        });
  }
  PrintStatus(SearchStatusText(found.shown, found.hidden, elapsed, ','));
  return written ? kExitOk : kExitFailure;
}

}  // namespace

const Command kSearchCommand = {
    "search",
    "--data SLOŽKA [--data SLOŽKA]... | --data-root SLOŽKA [--from D.M.RRRR] [--to D.M.RRRR] [--name TEXT] [--title TEXT] "
    "[--no-titles] [--min SEKUNDY] [--format table|csv|json]",
    "hledání v historii (čas programů a titulků)", RunSearchCommand};

}  // namespace stats
