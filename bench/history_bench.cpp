// Times the history path over a generated data folder: LoadHistory of every
// log into HistoryDb, one JProlniZaznam pass of every history record into
// ResultDb (MergeAllRecords; also a loop of JProlniZaznam calls, which must
// give the same aggregate), and the bare Twofish pass over the same files,
// then reports the peak memory. Every run is checked against what the
// generator wrote.
// Usage: history_bench FOLDER [RUNS]

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "bench_common.h"
#include "platform/file.h"
#include "store/cglobal.h"
#include "store/history.h"
#include "store/log_cipher.h"

namespace {

constexpr size_t kChunk = 1 << 16;  // the reader's buffer size
constexpr double kMegabyte = 1e6;

// Load and merge targets: ten years in about 1.5 s.
constexpr double kLoadMegabytesPerSecond = 120;
constexpr double kLoadTwofishRatio = 0.6;
constexpr double kMergeSeconds = 0.2;
constexpr double kPeakMegabytes = 150;

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Wall and CPU seconds of each run of one phase.
struct Timings {
  std::vector<double> wall;
  std::vector<double> cpu;
  double Median() const { return ::Median(wall); }
  double CpuMedian() const { return ::Median(cpu); }
  double Min() const { return *std::min_element(wall.begin(), wall.end()); }
  double Max() const { return *std::max_element(wall.begin(), wall.end()); }
};

class Stopwatch {
 public:
  Stopwatch() : wall_(std::chrono::steady_clock::now()), cpu_(ProcessCpuSeconds()) {}
  void Stop(Timings* timings) const {
    timings->wall.push_back(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_).count());
    // Windows counts CPU time in clock ticks: a short phase may read as 0.
    timings->cpu.push_back(std::max(0.0, ProcessCpuSeconds() - cpu_));
  }

 private:
  std::chrono::steady_clock::time_point wall_;
  double cpu_;
};

// Reads every file in the reader's chunks and turns the blocks into
// plaintext, as LoadLog does, without looking at the text. Returns the bytes
// read; *fold keeps the work observable.
uint64_t TwofishPass(const std::string& folder, const std::vector<std::string>& names,
                     uint32_t* fold) {
  const LogCipher cipher;
  std::unique_ptr<char[]> buffer(new char[kChunk]);
  uint64_t bytes = 0;
  std::string error;
  for (const std::string& name : names) {
    platform::File file;
    if (!file.OpenRead(folder + name, &error)) {
      std::fprintf(stderr, "history_bench: %s: %s\n", name.c_str(), error.c_str());
      std::exit(1);
    }
    for (;;) {
      size_t n = 0;
      if (!file.Read(buffer.get(), kChunk, &n, &error) || n == 0) break;
      bytes += n;
      n -= n % 16;
      cipher.ReadBlocks(reinterpret_cast<uint8_t*>(buffer.get()), n / 16);
      uint32_t word;
      std::copy(buffer.get(), buffer.get() + 4, reinterpret_cast<char*>(&word));
      *fold ^= word;
    }
  }
  return bytes;
}

struct DbCounts {
  uint64_t period_nodes = 0;
  uint64_t session_nodes = 0;
  uint64_t records = 0;
  uint64_t seconds = 0;
};

DbCounts Count(CGlobal* db) {
  DbCounts counts;
  PeriodNode* node = nullptr;
  db->RewindNodes();
  while (db->NextNode(&node)) {
    ++(node->isSession ? counts.session_nodes : counts.period_nodes);
    for (const ActivityRecord* r = node->list.head(); r != nullptr; r = r->next) {
      ++counts.records;
      counts.seconds += r->time;
    }
  }
  return counts;
}

// The same merge as MergeAllRecords, one JProlniZaznam call per record.
void MergeLoop(CGlobal* history, CGlobal* result) {
  ActivityRecord* record = nullptr;
  history->Rewind();
  while (history->NextRecord(&record)) {
    if (record != nullptr) result->JProlniZaznam(record);  // skip node boundaries
  }
}

// Order-sensitive digest of every node and record field.
uint64_t Fingerprint(CGlobal* db) {
  uint64_t digest = 1469598103934665603ull;
  const auto mix = [&digest](uint64_t value) { digest = (digest ^ value) * 1099511628211ull; };
  PeriodNode* node = nullptr;
  db->RewindNodes();
  while (db->NextNode(&node)) {
    mix(static_cast<uint64_t>(node->key));
    for (const ActivityRecord* r = node->list.head(); r != nullptr; r = r->next) {
      mix((static_cast<uint64_t>(r->path) << 32) | r->title);
      mix((static_cast<uint64_t>(r->time) << 32) | r->activeDays);
      mix(static_cast<uint64_t>(static_cast<int64_t>(r->stamp * 86400000.0)));
      mix(static_cast<uint64_t>(static_cast<int64_t>(r->latest * 86400000.0)));
    }
  }
  return digest;
}

bool Check(const char* what, uint64_t got, uint64_t expected) {
  if (got == expected) return true;
  std::fprintf(stderr, "history_bench: %s: %llu, the generator wrote %llu\n", what,
               static_cast<unsigned long long>(got), static_cast<unsigned long long>(expected));
  return false;
}

void PrintRow(const char* name, const Timings& t, double megabytes) {
  std::printf("  %-24s %8.3f %8.3f %8.3f %8.3f %8.3f", name, t.wall.front(), t.Median(), t.Min(),
              t.Max(), t.CpuMedian());
  if (megabytes > 0) {
    std::printf(" %9.1f\n", megabytes / t.Median());
  } else {
    std::printf(" %9s\n", "-");
  }
}

const char* Verdict(bool met) { return met ? "met" : "MISSED"; }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: history_bench FOLDER [RUNS]\n");
    return 2;
  }
  const std::string folder = WithTrailingSeparator(argv[1]);
  const int runs = argc == 3 ? std::max(1, std::atoi(argv[2])) : 5;
  const char* build = BuildName();

  StampFacts facts;
  if (!ReadStamp(folder + kStampName, &facts)) {
    std::fprintf(stderr, "history_bench: no current %s in %s; run history_gen first\n", kStampName,
                 folder.c_str());
    return 1;
  }
  std::vector<std::string> encrypted;
  std::vector<std::string> plain;
  std::string error;
  if (!ListHistoryLogs(folder, &encrypted, &plain, &error)) {
    std::fprintf(stderr, "history_bench: %s: %s\n", folder.c_str(), error.c_str());
    return 1;
  }

  CountingEventSink events;
  SetEventSink(&events);
  CGlobal history_db;
  CGlobal result_db;
  Timings load, merge, merge_loop, twofish, clear;
  uint64_t log_bytes = 0;
  uint32_t fold = 0;
  bool valid = Check("log files", encrypted.size(), FactNumber(facts, "files")) &&
               Check("text logs", plain.size(), 0);
  DbCounts history_counts;
  DbCounts result_counts;
  for (int run = 0; run < runs && valid; ++run) {
    const Stopwatch twofish_watch;
    log_bytes = TwofishPass(folder, encrypted, &fold);
    twofish_watch.Stop(&twofish);

    // Releasing the previous load is timed apart: a reload pays it as well.
    const Stopwatch clear_watch;
    history_db.Clear();
    history_db.Create();
    clear_watch.Stop(&clear);
    const Stopwatch load_watch;
    if (!LoadHistory(&history_db, folder, &error)) {
      std::fprintf(stderr, "history_bench: %s\n", error.c_str());
      return 1;
    }
    load_watch.Stop(&load);

    result_db.Clear();
    result_db.Create();
    const Stopwatch loop_watch;
    MergeLoop(&history_db, &result_db);
    loop_watch.Stop(&merge_loop);
    const uint64_t loop_fingerprint = Fingerprint(&result_db);

    result_db.Clear();
    result_db.Create();
    const Stopwatch merge_watch;
    result_db.MergeAllRecords(history_db);
    merge_watch.Stop(&merge);

    history_counts = Count(&history_db);
    result_counts = Count(&result_db);
    valid = Check("log bytes", log_bytes, FactNumber(facts, "bytes")) &&
            Check("history records", history_counts.records, FactNumber(facts, "records")) &&
            Check("history seconds", history_counts.seconds, FactNumber(facts, "total_seconds")) &&
            Check("session markers", history_counts.session_nodes, FactNumber(facts, "sessions")) &&
            Check("merged records", result_counts.records, FactNumber(facts, "merge_keys")) &&
            Check("merged seconds", result_counts.seconds, FactNumber(facts, "total_seconds")) &&
            Check("events", events.count(), 0);
    if (valid && Fingerprint(&result_db) != loop_fingerprint) {
      std::fprintf(stderr, "history_bench: MergeAllRecords and the JProlniZaznam calls differ\n");
      valid = false;
    }
  }
  SetEventSink(nullptr);
  if (!valid) return 1;

  const uint64_t peak = PeakMemoryBytes();
  const uint64_t peak_private = PeakPrivateBytes();
  const double megabytes = log_bytes / kMegabyte;
  const double load_speed = megabytes / load.Median();
  const double twofish_speed = megabytes / twofish.Median();
  const double ratio = load_speed / twofish_speed;
  const double peak_megabytes = peak / kMegabyte;

  std::printf(
      "history_bench (%s, %d-bit): %zu files, %.1f MB of log, %llu records in %llu "
      "periods, %llu sessions; %d runs\n",
      build, static_cast<int>(sizeof(void*) * 8), encrypted.size(), megabytes,
      static_cast<unsigned long long>(history_counts.records),
      static_cast<unsigned long long>(history_counts.period_nodes),
      static_cast<unsigned long long>(history_counts.session_nodes), runs);
  std::printf("  %-24s %8s %8s %8s %8s %8s %9s\n", "wall seconds", "first", "median", "min", "max",
              "cpu med", "MB/s");
  PrintRow("load (LoadHistory)", load, megabytes);
  PrintRow("merge (MergeAllRecords)", merge, 0);
  PrintRow("merge, call by call", merge_loop, 0);
  PrintRow("Twofish (same files)", twofish, megabytes);
  PrintRow("clear before reload", clear, 0);
  std::printf(
      "  MB/s from the median wall time, MB = 10^6 bytes; \"cpu med\": median CPU "
      "seconds of the process in the same runs\n");
  std::printf(
      "  merged into %llu aggregate records; the raw Twofish pass reads the same .eb "
      "files in 64 KB chunks and deciphers them (fold %08x)\n",
      static_cast<unsigned long long>(result_counts.records), fold);
  std::printf("  load/Twofish speed ratio %.2f\n", ratio);
  std::printf("  peak memory %.1f MB (%s)", peak_megabytes,
#ifdef _WIN32
              "PeakWorkingSetSize");
#else
              "VmHWM");
#endif
  if (peak_private > 0) std::printf(", peak private %.1f MB", peak_private / kMegabyte);
  std::printf("; record %zu bytes, node %zu bytes\n", sizeof(ActivityRecord), sizeof(PeriodNode));
  std::printf(
      "  targets: load >= %.0f MB/s %s; load >= %.1f of Twofish %s; merge < %.1f s %s; "
      "peak < %.0f MB %s\n",
      kLoadMegabytesPerSecond, Verdict(load_speed >= kLoadMegabytesPerSecond), kLoadTwofishRatio,
      Verdict(ratio >= kLoadTwofishRatio), kMergeSeconds, Verdict(merge.Median() < kMergeSeconds),
      kPeakMegabytes, Verdict(peak_megabytes < kPeakMegabytes));

  // Lines for run.sh's combined table.
  std::printf(
      "= load_s %.3f\n= load_mbs %.1f\n= merge_s %.3f\n= twofish_s %.3f\n"
      "= twofish_mbs %.1f\n= ratio %.2f\n= peak_mb %.1f\n= load_first_s %.3f\n"
      "= merge_first_s %.3f\n= load_cpu_s %.3f\n= merge_cpu_s %.3f\n= twofish_cpu_s %.3f\n"
      "= merge_loop_s %.3f\n",
      load.Median(), load_speed, merge.Median(), twofish.Median(), twofish_speed, ratio,
      peak_megabytes, load.wall.front(), merge.wall.front(), load.CpuMedian(), merge.CpuMedian(),
      twofish.CpuMedian(), merge_loop.Median());
  return 0;
}
