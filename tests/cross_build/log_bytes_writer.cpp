// Writes one fixed run of the tracker into a data folder, through the code
// the program itself writes with: the month's encrypted log with its
// headers, clock-change and close marker, the configuration file, the
// detailed-statistics list and the event protocol, all on a clock of its
// own. Every build must write the same bytes.
// Usage: log_bytes_writer FOLDER (with its trailing separator): the program's
// folder, holding "!debug.txt", with the data folder "data" in it.
#include <cstdio>
#include <string>

#include "app/tracker.h"
#include "platform/system.h"
#include "support/datetime.h"
#include "support/events.h"
#include "support/excep_capture.h"
#include "views/detail_stats.h"

namespace {

class ScriptedClock : public platform::Clock {
 public:
  double Now() override { return now_; }
  uint32_t TickCount() override { return 0; }
  void Set(double now) { now_ = now; }
  void Advance(double seconds) { now_ += seconds / 86400.0; }

 private:
  double now_ = 0;
};

// The main window's part, reduced to what the files depend on.
class QuietHost : public TrackerHost {
 public:
  explicit QuietHost(DetailList* details) : details_(details) {}
  void EnableTimers(bool) override {}
  void SetFlushInterval(int32_t) override {}
  void KillTimers() override {}
  void CollectConfiguration(Configuration* config) override {
    config->main_window = {120, 80, 800, 560};
    config->column_widths = {{310, 90, 130, 250, 70, 90}};
    config->sort_column = 2;
    config->sort_direction = 1;
    config->search_minimum_seconds = 30;
    config->minimum_logged_seconds = 3;
  }
  void RedrawLiveList() override {}
  std::string GetWindowExePath(uintptr_t) override { return ""; }
  bool ZaznamenatPodrobne(const std::string& path) override {
    return details_->ZaznamenatPodrobne(path);
  }
  void LiveRecordChanged(ActivityRecord*) override {}

 private:
  DetailList* details_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: log_bytes_writer FOLDER\n");
    return 2;
  }
  const std::string exe_dir = argv[1];
  const std::string data_dir = exe_dir + "data\\";
  ScriptedClock clock;
  platform::SetClock(&clock);
  clock.Set(EncodeDateTime(2026, 3, 9, 23, 40, 5));
  TExcepCapture capture(0, RunInfo{"C:\\Programy\\Tramo2\\Tramo2.exe", "2.2.0.1803", 0});
  SetEventSink(&capture);

  DetailList details;
  QuietHost host(&details);
  Tracker tracker(TrackerPaths{data_dir, exe_dir, data_dir + "Tramo2.ini"}, &host);
  tracker.AttachCapture(&capture);
  details.Load(data_dir + kDetailListFileName);  // missing: the default list
  details.AddPath("C:\\Program Files\\Mozilla Firefox\\firefox.exe");
  details.SetText(details.text() + "\r\n0,účetnictví");
  if (!details.Save(data_dir + kDetailListFileName)) return 1;
  Configuration config;
  tracker.ReadMainOptions({{0, 0, 1920, 1080}}, &config);
  tracker.ReadOtherWindowOptions({{0, 0, 1920, 1080}}, &config);
  tracker.DataFlush();

  const char* const kSamples[][2] = {
      {"C:\\Program Files\\Mozilla Firefox\\firefox.exe", "Zprávy – Příliš žluťoučký kůň"},
      {"C:\\Windows\\System32\\notepad.exe", "poznámky.txt – Poznámkový blok"},
      {"D:\\Účetnictví\\pohoda.exe", "Faktura č. 2026/017"},
      {"C:\\Program Files\\Mozilla Firefox\\firefox.exe", "Pošta, \"důležité\""},
  };
  // Three samples a window: a change of window counts half a second only.
  for (int round = 0; round < 24; ++round) {
    const auto& sample = kSamples[round / 3 % 4];
    clock.Advance(5 + round);
    tracker.Vyhodnot(sample[0], sample[1]);
  }
  AddEvent(2, "Zkušební událost\r\ns druhým řádkem");
  clock.Set(EncodeDateTime(2026, 3, 9, 23, 59, 59));
  tracker.TimerFlushTimer();

  // The clock put forward, then work in the next day and the close.
  clock.Set(EncodeDateTime(2026, 3, 10, 0, 30, 0));
  tracker.TimeChanged();
  // Samples at the timer's pace: the guard counts longer steps as half a
  // second after a clock change.
  for (int round = 0; round < 40; ++round) {
    const auto& sample = kSamples[(round / 10 + 1) % 4];
    clock.Advance(0.5);
    tracker.Vyhodnot(sample[0], sample[1]);
  }
  AddEvent(1, "Událost před zavřením");
  tracker.Close();
  AddEvent(3, "Událost po zavření");
  const bool saved = capture.SaveTo(tracker.DebugFile());
  SetEventSink(nullptr);
  platform::SetClock(nullptr);
  return saved ? 0 : 1;
}
