// The tracker's per-tick cost: one sample attributed to a live session of 200
// records (both lists and the live list's update), and, in the Windows build,
// one path lookup of a foreground window.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "monitor/process_path.h"
#include "monitor/sampler.h"
#include "platform/system.h"
#include "support/datetime.h"
#include "views/list_model.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

constexpr int kLiveRecords = 200;
constexpr int kTicksPerRun = 20000;
constexpr int kRuns = 5;
constexpr int kChildWindows = 500;

class StepClock : public platform::Clock {
 public:
  double Now() override { return now_; }
  uint32_t TickCount() override { return static_cast<uint32_t>(now_ * 86400000.0); }
  void Advance(double seconds) { now_ += seconds / 86400.0; }

 private:
  double now_ = EncodeDateTime(2026, 12, 7, 8, 0, 0);
};

class LiveHooks : public SamplerHooks {
 public:
  explicit LiveHooks(ListModel* model) : model_(model) {}
  std::string GetWindowExePath(uintptr_t) override { return std::string(); }
  bool ZaznamenatPodrobne(const std::string& path) override {
    return path.find("browser") != std::string::npos;
  }
  void LiveRecordChanged(ActivityRecord* record) override { model_->Zmen(record); }
  void MarkHibernation() override {}

 private:
  ListModel* model_;
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string PathOf(int i) {
  return "C:\\Program Files\\Vendor" + std::to_string(i % 37) + "\\App" + std::to_string(i) +
         (i % 50 == 0 ? "\\browser.exe" : "\\app.exe");
}

double TickMicroseconds() {
  StepClock clock;
  platform::SetClock(&clock);
  CSez pending;
  CSez session;
  ListModel model;
  LiveHooks hooks(&model);
  Sampler sampler(&pending, &session, &hooks);
  for (int i = 0; i < kLiveRecords; ++i) {
    sampler.Vyhodnot(PathOf(i), "title " + std::to_string(i));
    clock.Advance(0.5);
  }
  std::vector<double> runs;
  for (int run = 0; run < kRuns; ++run) {
    const auto start = std::chrono::steady_clock::now();
    for (int tick = 0; tick < kTicksPerRun; ++tick) {
      // The foreground program changes now and then, as people work.
      const int app = (tick / 40) % kLiveRecords;
      sampler.Vyhodnot(PathOf(app), "title " + std::to_string(tick % 7));
      clock.Advance(0.5);
    }
    runs.push_back(SecondsSince(start) * 1e6 / kTicksPerRun);
  }
  platform::SetClock(nullptr);
  return Median(runs);
}

#ifdef _WIN32
double LookupMicroseconds(HWND window) {
  std::vector<double> runs;
  for (int run = 0; run < kRuns; ++run) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 200; ++i) GetWindowExePath(reinterpret_cast<uintptr_t>(window));
    runs.push_back(SecondsSince(start) * 1e6 / 200);
  }
  return Median(runs);
}

HWND MakeWindow(HWND parent) {
  return CreateWindowExA(0, "STATIC", "probe", parent ? WS_CHILD : WS_POPUP, 0, 0, 10, 10, parent,
                         nullptr, GetModuleHandleA(nullptr), nullptr);
}
#endif

}  // namespace

int main() {
  const double tick = TickMicroseconds();
  std::printf("  sampler tick, %d live records: %.2f us (median of %d runs of %d ticks)\n",
              kLiveRecords, tick, kRuns, kTicksPerRun);
  std::printf("= tick_us %.2f\n", tick);
#ifdef _WIN32
  HWND window = MakeWindow(nullptr);
  const double lookup = LookupMicroseconds(window);
  // The search for a Store app's CoreWindow walks every child of the window.
  for (int i = 0; i < kChildWindows; ++i) MakeWindow(window);
  const double with_children = LookupMicroseconds(window);
  DestroyWindow(window);
  std::printf("  path lookup of a foreground window: %.1f us, with %d child windows %.1f us"
              " (median of %d runs of 200)\n", lookup, kChildWindows, with_children, kRuns);
  std::printf("= lookup_us %.1f\n= lookup_children_us %.1f\n", lookup, with_children);
#endif
  return 0;
}
