// Times the history queries over a generated data folder: one full load,
// then searches (no filter over the whole range, a name filter, a title
// search) and overviews (by day, by hour, by session), each run RUNS times; reports
// medians and the peak memory. The unfiltered search is checked against what
// the generator wrote. Usage: query_bench FOLDER [RUNS]

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "bench_common.h"
#include "store/cglobal.h"
#include "store/history.h"
#include "views/date_range.h"
#include "views/overview.h"
#include "views/search.h"

namespace {

#ifdef _WIN32
constexpr bool kWindowsBuild = true;
#else
constexpr bool kWindowsBuild = false;
#endif
constexpr double kSearchSeconds = 0.15;
constexpr double kOverviewSeconds = 0.05;

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Figures {
  std::vector<double> wall;
  std::vector<double> cpu;
  uint32_t shown = 0;
  uint32_t hidden = 0;
};

// Runs one query RUNS times; query returns the counters of its run.
Figures Time(int runs, const std::function<std::pair<uint32_t, uint32_t>()>& query) {
  Figures figures;
  for (int run = 0; run < runs; ++run) {
    const double cpu = ProcessCpuSeconds();
    const Clock::time_point started = Clock::now();
    const std::pair<uint32_t, uint32_t> counts = query();
    figures.wall.push_back(SecondsSince(started));
    figures.cpu.push_back(ProcessCpuSeconds() - cpu);
    figures.shown = counts.first;
    figures.hidden = counts.second;
  }
  return figures;
}

uint64_t TotalSeconds(const std::vector<ActivityRecord*>& rows) {
  uint64_t total = 0;
  for (const ActivityRecord* r : rows) total += r->time;
  return total;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: query_bench FOLDER [RUNS]\n");
    return 2;
  }
  const std::string folder = WithTrailingSeparator(argv[1]);
  const int runs = argc == 3 ? std::max(1, std::atoi(argv[2])) : 5;
  const char* build = BuildName();
  StampFacts facts;
  if (!ReadStamp(folder + kStampName, &facts)) {
    std::fprintf(stderr, "query_bench: no current %s in %s; run history_gen first\n",
                 kStampName, folder.c_str());
    return 1;
  }

  CountingEventSink events;
  SetEventSink(&events);
  CGlobal history;
  CGlobal results;
  std::string error;
  const Clock::time_point load_started = Clock::now();
  if (!LoadHistory(&history, folder, &error)) {
    std::fprintf(stderr, "query_bench: %s\n", error.c_str());
    return 1;
  }
  const double load_seconds = SecondsSince(load_started);
  if (events.count() != 0) return 1;

  // The whole range: from the earliest period to the newest.
  double newest = history.earliest;
  for (const PeriodNode* node = history.head(); node != nullptr; node = node->next) {
    newest = std::max(newest, node->key);
  }
  DatePicker start;
  ShowDate(&start, CalendarDateOf(history.earliest));
  const SearchRange whole = CalendarRange(start.calendar, CalendarDateOf(newest));

  struct Query {
    const char* name;
    const char* key;
    double target;
    std::function<std::pair<uint32_t, uint32_t>()> run;
  };
  bool valid = true;
  const auto search = [&](const SearchOptions& options) {
    return [&, options]() {
      DetailRange none;
      const SearchResult found = RunSearch(&history, &results, whole, &none, options);
      return std::make_pair(found.shown, found.hidden);
    };
  };
  const auto unfiltered = [&]() {
    DetailRange none;
    const SearchResult found = RunSearch(&history, &results, whole, &none, SearchOptions());
    valid = valid && found.hidden == 0 &&
            found.rows.size() == FactNumber(facts, "merge_keys") &&
            TotalSeconds(found.rows) == FactNumber(facts, "total_seconds");
    return std::make_pair(found.shown, found.hidden);
  };
  const auto overview = [&](int bucket) {
    return [&, bucket]() {
      const OverviewResult found = RunOverview(&history, &results, bucket, whole, start);
      return std::make_pair(found.shown, found.hidden);
    };
  };
  const Query queries[] = {
      {"search, no filter", "search_all_s", kSearchSeconds, unfiltered},
      {"search, name filter", "search_name_s", kSearchSeconds,
       search(SearchOptions{"program files", "", true, 1})},
      {"search, title", "search_title_s", kSearchSeconds,
       search(SearchOptions{"", "smlouva", true, 1})},
      {"overview by day", "overview_day_s", kOverviewSeconds, overview(kBucketDay)},
      {"overview by hour", "overview_hour_s", kOverviewSeconds, overview(kBucketHour)},
      {"overview by session", "overview_session_s", kOverviewSeconds, overview(kBucketSession)},
  };

  std::vector<Figures> figures;
  for (const Query& query : queries) figures.push_back(Time(runs, query.run));
  SetEventSink(nullptr);
  if (!valid) {
    std::fprintf(stderr, "query_bench: the unfiltered search does not give what the generator "
                         "wrote (%llu keys, %llu s)\n",
                 static_cast<unsigned long long>(FactNumber(facts, "merge_keys")),
                 static_cast<unsigned long long>(FactNumber(facts, "total_seconds")));
    return 1;
  }
  const double peak_megabytes = PeakMemoryBytes() / 1e6;

  std::printf("query_bench (%s, %d-bit): %llu records; load %.3f s; %d runs\n", build,
              static_cast<int>(sizeof(void*) * 8),
              static_cast<unsigned long long>(FactNumber(facts, "records")), load_seconds, runs);
  std::printf("  %-22s %8s %8s %8s %8s %9s %9s  %s\n", "seconds", "first", "median", "min", "max",
              "CPU med", "shown", "hidden");
  for (size_t i = 0; i < figures.size(); ++i) {
    const Figures& f = figures[i];
    std::printf("  %-22s %8.3f %8.3f %8.3f %8.3f %9.3f %9u %9u", queries[i].name, f.wall.front(),
                Median(f.wall), *std::min_element(f.wall.begin(), f.wall.end()),
                *std::max_element(f.wall.begin(), f.wall.end()), Median(f.cpu), f.shown,
                f.hidden);
    // The targets are the native build's.
    if (!kWindowsBuild) {
      std::printf("  target < %.2f s: %s", queries[i].target,
                  Median(f.wall) < queries[i].target ? "met" : "MISSED");
    }
    std::printf("\n");
  }
  std::printf("  peak memory %.1f MB\n", peak_megabytes);
  std::printf("= query_load_s %.3f\n", load_seconds);
  for (size_t i = 0; i < figures.size(); ++i) {
    std::printf("= %s %.3f\n", queries[i].key, Median(figures[i].wall));
  }
  std::printf("= query_peak_mb %.1f\n", peak_megabytes);
  return 0;
}
