// The list view at the size of a large search: fills ROWS search rows
// (default 250,000) from aggregate records and sorts them by each column;
// then times the live list's in-place update. Prints a table and "= key
// value" lines for run.sh. Usage: list_sort_bench [RUNS] [ROWS]

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "bench_common.h"

#include "store/csez.h"
#include "support/datetime.h"
#include "views/list_model.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

const char* const kVendors[] = {"Microsoft", "Mozilla", "Google", "Adobe",
                                "JetBrains", "Seznam.cz", "Nástroje",
                                "Účetnictví", "Čtečky", "Hry"};
const char* const kWords[] = {
    "Dokument", "přehled", "Faktura", "chata", "Chrome", "účet", "zpráva",
    "Řešení", "projekt", "Záloha", "hledat", "Ďábel", "cukr", "čaj", "mapa",
    "tabulka", "Výkaz", "- Word", "- Excel", "| Seznam", "Re:", "e-mail",
    "2024", "č. 17", "Koncept", "Draft", "Inbox", "šablona", "Zpráva",
    "obrázek", "video", "player", "chat", "Hudba"};

std::string Pick(std::mt19937* random, const char* const* words, size_t n) {
  return words[(*random)() % n];
}

// Records shaped like a search aggregate over ten years: a few thousand
// executables, most rows one window title each, some totals without one.
std::vector<ActivityRecord> MakeRecords(size_t count) {
  std::mt19937 random(2026);
  std::vector<std::string> paths;
  for (int i = 0; i < 3000; ++i) {
    const std::string vendor = Pick(&random, kVendors, std::size(kVendors));
    const std::string app =
        Pick(&random, kWords, std::size(kWords)) + std::to_string(i % 97);
    paths.push_back("C:\\Program Files\\" + vendor + "\\" + app + "\\" + app +
                    std::to_string(i) + ".exe");
  }
  const double first_day = EncodeDateTime(2016, 1, 1);
  std::vector<ActivityRecord> records(count);
  for (size_t i = 0; i < count; ++i) {
    ActivityRecord& r = records[i];
    // Zipf-like: a few programs own most titles.
    const double u = std::uniform_real_distribution<double>(0, 1)(random);
    const size_t path_index = static_cast<size_t>(paths.size() * u * u * u);
    r.path = Texts().Intern(paths[path_index]);
    if (random() % 5 != 0) {
      std::string title;
      const int words = 2 + static_cast<int>(random() % 6);
      for (int w = 0; w < words; ++w) {
        if (w > 0) title += ' ';
        title += Pick(&random, kWords, std::size(kWords));
      }
      title += " " + std::to_string(i);
      r.title = Texts().Intern(title);
    }
    r.time = 1 + static_cast<uint32_t>(
                     std::exp(std::uniform_real_distribution<double>(0, 13)(random)));
    r.activeDays = 1 + static_cast<uint32_t>(random() % 400);
    r.latest = first_day + static_cast<double>(random() % 3650) +
               static_cast<double>(random() % 86400) / 86400.0;
    r.stamp = r.latest;
  }
  return records;
}

// Wall and processor seconds of each run of one step.
struct Timings {
  std::vector<double> wall;
  std::vector<double> cpu;
};

class Stopwatch {
 public:
  Stopwatch() : wall_(Clock::now()), cpu_(ProcessCpuSeconds()) {}
  void AddTo(Timings* t) const {
    t->wall.push_back(SecondsSince(wall_));
    t->cpu.push_back(ProcessCpuSeconds() - cpu_);
  }

 private:
  Clock::time_point wall_;
  double cpu_;
};

void PrintRow(const std::string& name, const Timings& t) {
  std::printf("  %-24s %8.3f %8.3f %8.3f %8.3f\n", name.c_str(), t.wall.front(),
              Median(t.wall), *std::min_element(t.wall.begin(), t.wall.end()),
              Median(t.cpu));
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const size_t rows =
      argc > 2 ? static_cast<size_t>(std::max(2, std::atoi(argv[2]))) : 250000;
  CountingEventSink events;
  SetEventSink(&events);

  const std::vector<ActivityRecord> records = MakeRecords(rows);
  const uint64_t records_peak = PeakMemoryBytes();
  ListModel model;
  model.Zobraz(2);

  Timings fill;
  std::vector<Timings> sort(kListColumns);
  Timings reversed;
  for (int run = 0; run < runs; ++run) {
    const Stopwatch fill_watch;
    model.Clear();
    model.Reserve(records.size());
    for (const ActivityRecord& r : records) model.ZmenJ(&r);
    fill_watch.AddTo(&fill);
    for (int column = 0; column < kListColumns; ++column) {
      model.SetSortSettings(static_cast<uint8_t>(column), 0);
      const Stopwatch sort_watch;
      model.Sort();
      sort_watch.AddTo(&sort[column]);
    }
    model.SetSortSettings(0, 1);
    const Stopwatch reversed_watch;
    model.Sort();
    reversed_watch.AddTo(&reversed);
  }

  // The live list: 200 rows, each tick updating one of them in place.
  ListModel live;
  std::vector<ActivityRecord> live_records(records.begin(), records.begin() + 200);
  for (const ActivityRecord& r : live_records) live.Zmen(&r);
  const int updates = 20000;
  const Clock::time_point live_start = Clock::now();
  for (int i = 0; i < updates; ++i) {
    ActivityRecord& r = live_records[static_cast<size_t>(i * 7919) % live_records.size()];
    r.time += 5;
    live.Zmen(&r);
  }
  const double zmen_us = SecondsSince(live_start) / updates * 1e6;

  std::printf("list view: %zu search rows, %d runs\n", model.size(), runs);
  std::printf("  %-24s %8s %8s %8s %8s\n", "seconds", "first", "median", "min",
              "CPU med");
  PrintRow("fill", fill);
  double worst_sort = 0;
  for (int column = 0; column < kListColumns; ++column) {
    PrintRow("sort column " + std::to_string(column), sort[column]);
    worst_sort = std::max(worst_sort, Median(sort[column].wall));
  }
  PrintRow("sort column 0 reversed", reversed);
  std::printf("  live update of a 200-row list: %.2f us per Zmen\n", zmen_us);
  std::printf("  peak memory %.1f MB, of which %.1f MB before the list (records and"
              " texts); %llu events\n",
              PeakMemoryBytes() / 1e6, records_peak / 1e6,
              static_cast<unsigned long long>(events.count()));

  std::printf("= list_fill_s %.3f\n", Median(fill.wall));
  for (int column = 0; column < kListColumns; ++column) {
    std::printf("= list_sort%d_s %.3f\n", column, Median(sort[column].wall));
  }
  std::printf("= list_fill_sort_s %.3f\n", Median(fill.wall) + worst_sort);
  std::printf("= list_zmen_us %.2f\n", zmen_us);
  std::printf("= list_peak_mb %.1f\n", (PeakMemoryBytes() - records_peak) / 1e6);
  SetEventSink(nullptr);
  return events.count() == 0 ? 0 : 1;
}
