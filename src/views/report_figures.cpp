#include "views/report_figures.h"

#include <cmath>
#include <unordered_map>

#include "store/cglobal.h"
#include "support/datetime.h"
#include "views/list_order.h"
#include "views/overview.h"
#include "views/search.h"

namespace {

constexpr size_t kTopPrograms = 10;
constexpr size_t kChartedPrograms = 5;
constexpr size_t kTopTitles = 10;

std::string DateText(const CalendarDate& date) { return FixedDateTimeText(MidnightOf(date)); }

// Monday 0 to Sunday 6; day 2 of the date-time scale, 1.1.1900, is a Monday.
int Weekday(double date_time) {
  const int64_t day = static_cast<int64_t>(std::floor(date_time + 1e-8)) - 2;
  return static_cast<int>(((day % 7) + 7) % 7);
}

// The top programs and titles: the search's rows in the list's order, where
// the totals (empty titles) come first, longest first, then the titled rows.
void AddSearchFigures(const std::vector<ActivityRecord*>& ordered, ReportData* data) {
  for (const ActivityRecord* r : ordered) {
    if (r->title == kEmptyText) {
      if (data->programs.size() == kTopPrograms) continue;
      const uint32_t days = r->activeDays != 0 ? r->activeDays : 1;
      data->programs.push_back(ReportProgram{r->PathText(), r->time, r->activeDays, r->time / days});
    } else if (data->titles.size() < kTopTitles) {
      data->titles.push_back(ReportTitle{r->PathText(), r->TitleText(), r->time});
    }
  }
  data->charted_programs = std::min(kChartedPrograms, data->programs.size());
}

// Time of the charted programs per day: their total records, bucketed by
// day as the overview buckets periods, over the nodes the search took.
void AddProgramDays(const CGlobal& history, const SearchRange& range, ReportData* data) {
  std::unordered_map<TextId, size_t> band_of_path;
  for (size_t b = 0; b < data->charted_programs; ++b) {
    band_of_path[Texts().Folded(Texts().Intern(data->programs[b].path))] = b;
  }
  std::unordered_map<int64_t, size_t> day_index;
  for (size_t i = 0; i < data->days.size(); ++i) {
    data->days[i].program_seconds.assign(data->charted_programs, 0);
    day_index[static_cast<int64_t>(data->days[i].day)] = i;
  }
  for (const PeriodNode* node = history.head(); node != nullptr; node = node->next) {
    if (node->isSession || !(range.from <= node->key && node->key <= range.to)) continue;
    const auto day = day_index.find(static_cast<int64_t>(std::floor(node->key + 1e-8)));
    if (day == day_index.end()) continue;
    for (const ActivityRecord* r = node->list.head(); r != nullptr; r = r->next) {
      if (r->title != kEmptyText) continue;
      const auto band = band_of_path.find(Texts().Folded(r->path));
      if (band != band_of_path.end()) data->days[day->second].program_seconds[band->second] += r->time;
    }
  }
}

}  // namespace

ReportData CollectReport(CGlobal* history, const DatePicker& start, const DatePicker& end) {
  const SearchRange range = CalendarRange(start.calendar, end.calendar);

  ReportData data;
  data.from = DateText(start.calendar);
  data.to = DateText(end.calendar);
  data.first_day = MidnightOf(start.calendar);
  data.last_day = MidnightOf(end.calendar);

  CGlobal day_results;
  const OverviewResult days = RunOverview(history, &day_results, kBucketDay, range, start);
  for (const ActivityRecord* entry : RecordsInListOrder(days.rows, SortSettings{3})) {
    double day = 0;
    TryParseFixedDateTime(entry->PathText(), &day);
    data.days.push_back(ReportDay{entry->PathText(), day, entry->time, {}});
  }
  CGlobal hour_results;
  for (const ActivityRecord* entry :
       RunOverview(history, &hour_results, kBucketHour, range, start).rows) {
    double hour = 0;
    if (!TryParseFixedDateTime(entry->PathText(), &hour)) continue;
    const int h = static_cast<int>(std::floor((hour - std::floor(hour + 1e-8)) * 24 + 0.5)) % 24;
    data.hours[Weekday(hour)][h] += entry->time;
  }
  CGlobal search_results;
  DetailRange no_detail;
  const SearchResult found = RunSearch(history, &search_results, range, &no_detail, SearchOptions());
  AddSearchFigures(RecordsInListOrder(found.rows, SortSettings{2}), &data);
  AddProgramDays(*history, range, &data);

  return data;
}

std::string ReportFileName(const DatePicker& start, const DatePicker& end) {
  return "Tramo2 " + DateText(start.calendar) + "-" + DateText(end.calendar) + ".html";
}
