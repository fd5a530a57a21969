#ifndef TRAMO_BENCH_BENCH_COMMON_H_
#define TRAMO_BENCH_BENCH_COMMON_H_

#include <cstdint>
#include <map>
#include <string>

#include "support/events.h"

// Bumped whenever the generator would write different data: run.sh compares
// it with the stamp of an existing data folder and regenerates on a mismatch.
constexpr char kGeneratorVersion[] = "history_gen 1";

// Name of the stamp file in the data folder; written last, so a folder
// without it holds an interrupted generation. Neither ".eb" nor ".txt", so
// the history load never reads it.
constexpr char kStampName[] = "generated.stamp";

// What the generator wrote, as "key value" lines after the version line.
using StampFacts = std::map<std::string, std::string>;
bool WriteStamp(const std::string& path, const StampFacts& facts);
// False when the file is missing or its first line is not kGeneratorVersion.
bool ReadStamp(const std::string& path, StampFacts* facts);
uint64_t FactNumber(const StampFacts& facts, const std::string& key);

// Counts the store's failure events and prints the first few, so that a data
// set the reader does not accept cannot pass as a fast load.
class CountingEventSink : public EventSink {
 public:
  void AddEvent(int level, const std::string& text) override;
  uint64_t count() const { return count_; }

 private:
  uint64_t count_ = 0;
};

// Peak resident memory of this process in bytes (VmHWM on Linux, the peak
// working set on Windows); 0 when unknown.
uint64_t PeakMemoryBytes();
// Peak private (committed) memory in bytes where the OS reports it, else 0.
uint64_t PeakPrivateBytes();

// CPU time (user and system) this process has used so far, in seconds: next
// to the wall time it shows how much of a run other processes took.
double ProcessCpuSeconds();

// Folder path with the separator of this build at its end.
std::string WithTrailingSeparator(std::string folder);

// The build the figures come from: "native", "MinGW i686" or "MinGW x86_64".
const char* BuildName();

#endif  // TRAMO_BENCH_BENCH_COMMON_H_
