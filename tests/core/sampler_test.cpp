#include "monitor/sampler.h"

#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/test_util.h"
#include "support/datetime.h"

namespace {

const double kStart = EncodeDateTime(2024, 5, 10, 14, 0, 0);
const char kEditor[] = "C:\\Apps\\editor.exe";
const char kBrowser[] = "C:\\Apps\\browser.exe";

double AfterMs(double time, double ms) { return time + ms / 86400000.0; }

class FakeHooks : public SamplerHooks {
 public:
  std::string GetWindowExePath(uintptr_t window) override {
    lookups.push_back(window);
    return window == 0 ? std::string() : "C:\\w\\" + std::to_string(window) + ".exe";
  }
  bool ZaznamenatPodrobne(const std::string& path) override { return detailed.count(path) > 0; }
  void LiveRecordChanged(ActivityRecord* record) override {
    changed.push_back(record->PathText() + "|" + record->TitleText());
  }
  void MarkHibernation() override { ++hibernations; }

  std::vector<uintptr_t> lookups;
  std::set<std::string> detailed;
  std::vector<std::string> changed;
  int hibernations = 0;
};

uint32_t PathTime(CSez* list, const std::string& path) {
  ActivityRecord* r = list->FindPath(path);
  return r == nullptr ? 0 : r->time;
}

uint32_t TitleTime(CSez* list, const std::string& path, const std::string& title) {
  ActivityRecord* r = list->FindPathTitle(path, title);
  return r == nullptr ? 0 : r->time;
}

struct SamplerFixture {
  testutil::FakeClock clock{kStart};
  CSez pending;
  CSez session;
  FakeHooks hooks;
  Sampler sampler{&pending, &session, &hooks};
};

TEST(SamplerTest, ElapsedTimeAndBothGuards) {
  struct Case {
    const char* name;
    double delay_ms;  // negative: the clock went back
    bool time_changed;
    uint32_t tenths;
    bool gap;
  } cases[] = {
      {"one tick", 500, false, 5, false},
      {"three seconds late", 3000, false, 30, false},
      {"twenty seconds", 20000, false, 200, false},
      {"exactly fifty seconds", 50000, false, 500, false},
      {"rounds down to 500", 50049, false, 500, false},
      {"rounds up to 501", 50050, false, 5, true},
      {"ten minutes asleep", 600000, false, 5, true},
      {"clock back an hour", -3600000, false, 5, true},
      {"clock back three seconds", -3000, false, 30, false},
      {"clock set forward, flagged", 2 * 3600000.0, true, 5, false},
      {"five seconds while flagged", 5000, true, 50, false},
      {"over five seconds while flagged", 5050, true, 5, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SamplerFixture f;
    f.sampler.Vyhodnot(kEditor, "");
    if (c.time_changed) f.pending.SetTimeChanged();
    f.clock.Set(AfterMs(kStart, c.delay_ms));
    f.sampler.Vyhodnot(kEditor, "");
    EXPECT_EQ(5 + c.tenths, PathTime(&f.pending, kEditor));
    EXPECT_EQ(5 + c.tenths, PathTime(&f.session, kEditor));
    EXPECT_EQ(c.gap ? 1 : 0, f.hooks.hibernations);
    EXPECT_EQ(f.clock.Now(), f.sampler.LastSampleTime());
  }
}

TEST(SamplerTest, SwitchCountsOneSampleWhateverTheGap) {
  SamplerFixture f;
  f.sampler.Vyhodnot(kEditor, "");
  f.clock.Set(AfterMs(kStart, 3600000));
  f.sampler.Vyhodnot(kBrowser, "");
  f.clock.Set(AfterMs(kStart, 3600500));
  f.sampler.Vyhodnot(kEditor, "");
  EXPECT_EQ(5u, PathTime(&f.pending, kBrowser));
  EXPECT_EQ(10u, PathTime(&f.session, kEditor));
  EXPECT_EQ(0, f.hooks.hibernations);
}

TEST(SamplerTest, FirstSampleCountsOneSampleEvenForEmptyPath) {
  // The failed lookup of the very first window gives an empty path, equal
  // to the empty LastPath: there is still no earlier sample to measure from.
  SamplerFixture f;
  f.sampler.Vyhodnot("", "");
  EXPECT_EQ(5u, PathTime(&f.pending, ""));
  EXPECT_EQ(0, f.hooks.hibernations);
  EXPECT_FALSE(f.pending.hibernated);
}

TEST(SamplerTest, TitlesKeptOnlyForDetailedPaths) {
  SamplerFixture f;
  f.hooks.detailed.insert(kBrowser);
  f.sampler.Vyhodnot(kEditor, "notes.txt");
  f.sampler.Vyhodnot(kBrowser, "News");
  f.clock.Set(AfterMs(kStart, 500));
  f.sampler.Vyhodnot(kBrowser, "Mail");

  for (CSez* list : {&f.pending, &f.session}) {
    EXPECT_EQ(5u, PathTime(list, kEditor));
    EXPECT_EQ(0u, TitleTime(list, kEditor, "notes.txt"));
    EXPECT_EQ(10u, PathTime(list, kBrowser));
    EXPECT_EQ(5u, TitleTime(list, kBrowser, "News"));
    EXPECT_EQ(5u, TitleTime(list, kBrowser, "Mail"));
    EXPECT_EQ(4u, list->size());
  }
  // SessionList records only, path record before title record.
  const std::vector<std::string> expected = {
      std::string(kEditor) + "|",          std::string(kBrowser) + "|",
      std::string(kBrowser) + "|News",     std::string(kBrowser) + "|",
      std::string(kBrowser) + "|Mail"};
  EXPECT_EQ(expected, f.hooks.changed);

  f.hooks.changed.clear();
  f.sampler.set_live_updates(false);
  f.clock.Set(AfterMs(kStart, 1000));
  f.sampler.Vyhodnot(kBrowser, "Mail");
  EXPECT_TRUE(f.hooks.changed.empty());
  EXPECT_EQ(10u, TitleTime(&f.session, kBrowser, "Mail"));
}

TEST(SamplerTest, TickSubstitutesAndLooksUpOnlyNewWindows) {
  SamplerFixture f;
  f.hooks.detailed.insert("[system;]");
  f.hooks.detailed.insert("C:\\w\\7.exe");
  double ms = 0;
  auto tick = [&](uintptr_t window, const std::string& title) {
    f.clock.Set(AfterMs(kStart, ms += 500));
    f.sampler.Tick(window, title);
  };
  tick(7, std::string(300, 't'));
  tick(7, "");
  tick(0, "");
  tick(0, "");
  // The substitute path does not replace the looked-up one.
  EXPECT_EQ("", f.sampler.LastWindowPath());
  EXPECT_EQ("[system;]", f.sampler.LastPath());
  tick(7, "again");
  EXPECT_EQ((std::vector<uintptr_t>{7, 0, 7}), f.hooks.lookups);
  EXPECT_EQ(5u, TitleTime(&f.pending, "C:\\w\\7.exe", std::string(254, 't')));
  EXPECT_EQ(5u, TitleTime(&f.pending, "C:\\w\\7.exe", "[bez titulku]"));
  EXPECT_EQ(10u, TitleTime(&f.pending, "[system;]", "[system ;]"));
  EXPECT_EQ(15u, PathTime(&f.session, "C:\\w\\7.exe"));
}

// Each letter is one tick of window 7 titled "t": p someone works, i no input
// for the rule's minutes, l locked, g no input after the clock jumped 10 minutes.
TEST(SamplerTest, TimeAwayGoesToItsOwnRecordAndBackAsASwitch) {
  const struct {
    const char* ticks;
    uint32_t minutes;
    uint32_t program, away;
  } cases[] = {
      {"ppiiipp", 1, 20, 15},  // the threshold crossed, then input returns
      {"pplllpp", 5, 20, 15},  // locked and unlocked
      {"piil", 1, 5, 15},      // locked while away
      {"pig", 1, 5, 10},       // a clock change while away counts one sample
      {"piilp", 0, 25, 0},     // the rule off: nothing is away
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ticks);
    SamplerFixture f;
    f.hooks.detailed = {"C:\\w\\7.exe", kAwayPath};
    double ms = 0;
    for (const char* tick = c.ticks; *tick != '\0'; ++tick) {
      f.clock.Set(AfterMs(kStart, ms += *tick == 'g' ? 600000 : 500));
      const uint64_t idle_ms = *tick == 'p' ? 0 : 60000;
      f.sampler.Tick(7, "t", IsAway(AwayRule{c.minutes}, idle_ms, *tick == 'l'));
    }
    EXPECT_EQ(c.program, TitleTime(&f.pending, "C:\\w\\7.exe", "t"));
    EXPECT_EQ(c.away, PathTime(&f.session, kAwayPath));
    EXPECT_EQ(nullptr, f.pending.FindPathTitle(kAwayPath, "t"));
  }
}

}  // namespace
