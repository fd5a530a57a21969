// Writes ten years of synthetic session logs (one monthly ".eb" file each)
// through the store's own writer, driving the clock as the running program
// would: one session a day, an hourly flush of what the session collected,
// the clean-exit marker at its end. Usage: history_gen FOLDER | --version

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <unordered_set>
#include <vector>

#include "bench_common.h"
#include "platform/file.h"
#include "platform/system.h"
#include "store/csez.h"
#include "store/history.h"
#include "store/log_files.h"
#include "support/datetime.h"
#include "support/text_routines.h"

namespace {

constexpr int kFirstYear = 2017;
constexpr int kYears = 10;
constexpr uint32_t kPathTarget = 3000;
constexpr uint32_t kTitleTarget = 100000;
constexpr uint32_t kPairTarget = 250000;
// The generator's fixed starting state: every run writes the same bytes.
constexpr uint32_t kGeneratorState = 0x54726D32;
constexpr double kSecond = 1.0 / 86400.0;
constexpr double kHour = 1.0 / 24.0;

// The library's distributions differ between standard libraries; these
// helpers take the engine's raw output, so both builds draw the same values.
class Random {
 public:
  explicit Random(uint32_t state) : engine_(state) {}
  uint32_t Below(size_t n) {
    return static_cast<uint32_t>((static_cast<uint64_t>(engine_()) * n) >> 32);
  }
  int Between(int low, int high) { return low + static_cast<int>(Below(high - low + 1)); }
  double Unit() { return engine_() * (1.0 / 4294967296.0); }
  bool Chance(double p) { return Unit() < p; }
  // Exponentially distributed weight: uneven shares of an hour.
  double Weight() { return -std::log(1.0 - Unit()); }
  template <typename T>
  const T& Pick(const std::vector<T>& items) {
    return items[Below(items.size())];
  }
  template <size_t N>
  std::string Pick(const char* const (&items)[N]) {
    return items[Below(N)];
  }

 private:
  std::mt19937 engine_;
};

const char* const kSyllables[] = {
    "ka",  "lo",  "ran", "mi", "va", "ta", "se",  "no",  "dex", "tri", "pol",  "ar",  "ven", "zu",
    "bi",  "cor", "mat", "el", "on", "is", "qua", "fi",  "ro",  "ne",  "ster", "gal", "pix", "tem",
    "lum", "dor", "sa",  "vi", "ko", "re", "tex", "mon", "ly",  "sun", "bra",  "zen"};
const char* const kVendorSuffixes[] = {
    "", "", " Software", " Systems", " Labs", " Technologies", " Group", " Corporation", " Inc"};
const char* const kAppSuffixes[] = {"",        "",         "",        " Studio", " Pro",  " Editor",
                                    " Reader", " Manager", " Client", " Viewer", " 2016", " X"};
const char* const kUsers[] = {"Jiří Novák", "jana.dvorakova",     "Petr Černý",
                              "admin",      "Kateřina Svobodová", "Uživatel"};
const char* const kNouns[] = {
    "Smlouva",  "Faktura",         "Výkaz práce",      "Přehled",   "Žádost",     "Zpráva",
    "Příloha",  "Objednávka",      "Nabídka",          "Rozpočet",  "Účetnictví", "Dovolená",
    "Porada",   "Zápis z jednání", "Harmonogram",      "Ceník",     "Prezentace", "Návrh",
    "Poznámky", "Úkoly",           "Reklamace",        "Inventura", "Mzdy",       "Docházka",
    "Školení",  "Výběrové řízení", "Závěrečná zpráva", "Plán",      "Projekt",    "Report",
    "Budget",   "Meeting notes",   "Invoice",          "Draft",     "Summary",    "Release plan",
    "Roadmap",  "Backlog",         "Design review",    "Changelog", "Dashboard",  "Settings"};
const char* const kMonths[] = {"leden",    "únor",  "březen", "duben", "květen",   "červen",
                               "červenec", "srpen", "září",   "říjen", "listopad", "prosinec"};
const char* const kWords[] = {
    "nový",    "stav",    "oprava",   "verze", "tým",    "klient",  "sklad",  "výroba",
    "účet",    "servis",  "přední",   "zadní", "hlavní", "měsíční", "roční",  "týdenní",
    "koncept", "finální", "interní",  "the",   "new",    "status",  "update", "team",
    "weekly",  "final",   "issue",    "build", "search", "results", "how",    "to",
    "fix",     "error",   "download", "free",  "online", "news",    "weather"};
const char* const kCompanies[] = {"Novák s.r.o.",    "Dvořák a syn",         "Černý & Partneři",
                                  "ABC Trading",     "Stavby Brno a.s.",     "Pekárna U Řeky",
                                  "Elektro Šťastný", "Účetní kancelář Malá", "Zahradnictví Květ"};
const char* const kExtensions[] = {".docx", ".xlsx", ".pdf", ".txt", ".pptx", ".odt", ".csv"};
const char* const kProgramSuffixes[] = {" - Word",
                                        " - Excel",
                                        " - Poznámkový blok",
                                        " - Prohlížeč PDF",
                                        " - Mozilla Firefox",
                                        " - Google Chrome",
                                        " - Outlook",
                                        " - Visual Studio Code",
                                        " - Total Commander",
                                        " - Průzkumník",
                                        " - Zpráva (HTML)"};

std::string Capitalized(std::string word) {
  word[0] = AsciiUpperChar(word[0]);
  return word;
}

std::string Number(int value, int digits) {
  std::string text = std::to_string(value);
  return std::string(digits > static_cast<int>(text.size()) ? digits - text.size() : 0, '0') + text;
}

// Chooses among a growing set of items: a new item with probability p_new,
// else one of the earlier choices at random, so that often chosen items stay
// popular (a Yule process: Zipf-like reuse).
class GrowingChoice {
 public:
  // Index of the item; a new one is numbered used() - 1 afterwards.
  uint32_t Choose(Random* random, double p_new, uint32_t limit) {
    uint32_t item;
    if (used_ < limit && (history_.empty() || random->Chance(p_new))) {
      item = used_++;
    } else {
      item = random->Pick(history_);
    }
    history_.push_back(item);
    return item;
  }
  uint32_t used() const { return used_; }
  size_t draws() const { return history_.size(); }

 private:
  uint32_t used_ = 0;
  std::vector<uint32_t> history_;
};

// Probability that keeps a count on course for its target: what is still
// missing over the draws still expected.
double CatchUp(double target, double reached, double draws_left) {
  if (reached >= target) return 0;
  return std::min(1.0, (target - reached) / std::max(1.0, draws_left));
}

class InjectedClock : public platform::Clock {
 public:
  double Now() override { return now; }
  uint32_t TickCount() override {
    return static_cast<uint32_t>(static_cast<uint64_t>(now * 86400000.0));  // wraps at 2^32
  }
  double now = 0;
};

struct PathInfo {
  std::string text;
  bool detailed = false;            // titles are kept for this executable
  std::vector<uint32_t> pair_uses;  // pair ids chosen for it, with repeats
};

struct Pair {
  uint32_t path;
  uint32_t title;
};

class HistoryGenerator {
 public:
  explicit HistoryGenerator(std::string folder) : folder_(std::move(folder)) {}

  bool Run(StampFacts* facts);

 private:
  void Session(double day);
  void FillPeriod(CSez* list, const std::vector<uint32_t>& working_set, double from, double to);
  void AddActivity(CSez* list, const std::string& path, const std::string& title, uint32_t tenths);
  void Flush(CSez* list);
  uint32_t ChoosePath();
  // False when the executable has no pair yet and no new one may be made.
  bool ChoosePair(uint32_t path, uint32_t* pair);
  std::string NewPathText();
  std::string NewTitleText();
  std::string NameWord(int syllables);

  // Sets the day's chances of new paths and pairs from the draws per day so far.
  void PlanDay(double day);

  std::string folder_;
  Random random_{kGeneratorState};
  InjectedClock clock_;
  double first_day_ = 0;
  double last_day_ = 0;
  double p_new_path_ = 1;
  double p_new_pair_ = 1;

  std::vector<PathInfo> paths_;
  std::unordered_set<std::string> folded_paths_;
  GrowingChoice path_choice_;
  std::vector<std::string> titles_;
  std::unordered_set<std::string> title_set_;
  std::vector<uint32_t> title_uses_;
  std::vector<Pair> pairs_;
  std::unordered_set<uint64_t> pair_set_;
  uint64_t titled_draws_ = 0;

  std::unordered_set<uint64_t> written_keys_;  // (folded path id, title id) as merged
  uint64_t records_ = 0;
  uint64_t titled_records_ = 0;
  uint64_t total_seconds_ = 0;
  uint64_t path_bytes_ = 0;
  uint64_t title_bytes_ = 0;
  uint64_t periods_ = 0;
  uint64_t sessions_ = 0;
  uint64_t crashes_ = 0;
  uint64_t failed_writes_ = 0;
};

std::string HistoryGenerator::NameWord(int syllables) {
  std::string word;
  for (int i = 0; i < syllables; ++i) word += random_.Pick(kSyllables);
  return word;
}

std::string HistoryGenerator::NewPathText() {
  for (;;) {
    const std::string vendor =
        Capitalized(NameWord(random_.Between(3, 4))) + random_.Pick(kVendorSuffixes);
    const std::string app_word = NameWord(random_.Between(3, 4));
    const std::string app = Capitalized(app_word) + random_.Pick(kAppSuffixes);
    std::string exe = random_.Chance(0.2) ? Capitalized(app_word) : app_word;
    if (random_.Chance(0.3)) exe += std::to_string(random_.Between(2, 64));
    exe += random_.Chance(0.1) ? ".EXE" : ".exe";
    const std::string version =
        std::to_string(random_.Between(1, 12)) + "." + std::to_string(random_.Between(0, 9));
    const double kind = random_.Unit();
    std::string path;
    if (kind < 0.35) {
      path = "C:\\Program Files\\" + vendor + "\\" + app + "\\" + exe;
    } else if (kind < 0.60) {
      path = "C:\\Program Files (x86)\\" + vendor + "\\" + app + "\\" + version + "\\bin\\" + exe;
    } else if (kind < 0.72) {
      path = "C:\\Users\\" + random_.Pick(kUsers) + "\\AppData\\Local\\Programs\\" + vendor + "\\" +
             app + "\\Application\\" + exe;
    } else if (kind < 0.77) {
      path = "C:\\Windows\\System32\\" + exe;
    } else if (kind < 0.85) {
      path = std::string(random_.Chance(0.5) ? "D:\\Hry\\" : "D:\\Nástroje\\") + vendor + "\\" +
             app + "\\" + exe;
    } else if (kind < 0.95) {
      path = "C:\\Program Files\\WindowsApps\\" + vendor + "." + app_word + "_" + version +
             ".0_x64__" + NameWord(4) + "\\" + exe;
    } else {
      path = AsciiUpper("\\\\server\\aplikace\\" + app + "\\" + exe);
    }
    // The merges fold a-z, so paths must differ beyond letter case.
    if (folded_paths_.insert(AsciiUpper(path)).second) return path;
  }
}

std::string HistoryGenerator::NewTitleText() {
  for (;;) {
    const int year = random_.Between(2010, 2026);
    std::string title;
    switch (random_.Below(8)) {
      case 0:
      case 1:
        title = random_.Pick(kNouns) + "_" + Capitalized(NameWord(2)) + "_" + std::to_string(year) +
                "-" + Number(random_.Between(1, 999), 3) + random_.Pick(kExtensions) +
                random_.Pick(kProgramSuffixes);
        break;
      case 2:
        title = std::string(random_.Chance(0.5) ? "Re: " : "") + random_.Pick(kNouns) + " " +
                random_.Pick(kMonths) + " " + std::to_string(year) + " - " +
                random_.Pick(kCompanies);
        break;
      case 3:
      case 4:
        for (int i = random_.Between(3, 6); i > 0; --i) title += random_.Pick(kWords) + " ";
        title += "| " + Capitalized(NameWord(2)) + (random_.Chance(0.5) ? ".cz" : ".com") +
                 random_.Pick(kProgramSuffixes);
        break;
      case 5:  // a comma: the writer must quote the field
        title = random_.Pick(kNouns) + " č. " + std::to_string(random_.Between(1, 9999)) + ", " +
                random_.Pick(kCompanies) + random_.Pick(kProgramSuffixes);
        break;
      case 6:  // double quotes, sometimes a semicolon
        title = "Projekt \"" + Capitalized(NameWord(3)) + "\"" +
                (random_.Chance(0.3) ? "; " : " - ") + random_.Pick(kNouns) + " " +
                random_.Pick(kMonths);
        break;
      default:
        title = "C:\\Data\\" + Capitalized(NameWord(2)) + "\\" + random_.Pick(kNouns) + "\\" +
                Number(random_.Between(1, 99), 2) + random_.Pick(kProgramSuffixes);
        break;
    }
    const size_t length = static_cast<size_t>(random_.Between(30, 70));
    while (title.size() < length) title += " - " + random_.Pick(kWords);
    // Cut at a word end where one lies late enough; the reader trims blanks at
    // the ends of a line, so a title must not end in one.
    const size_t blank = title.rfind(' ', length);
    title.resize(blank != std::string::npos && blank >= 30 ? blank : length);
    while (!title.empty() && (static_cast<unsigned char>(title.back()) <= 32 ||
                              title.back() == '-' || title.back() == '|')) {
      title.pop_back();
    }
    if (title.size() >= 30 && title_set_.insert(title).second) return title;
  }
}

void HistoryGenerator::PlanDay(double day) {
  const double days_done = day - first_day_;
  // Planned a little short, so the counts are complete before the last day.
  const double days_left = (last_day_ - day + 1) * 0.8;
  const double path_draws = days_done > 0 ? path_choice_.draws() / days_done : 12;
  const double titled_draws = days_done > 0 ? titled_draws_ / days_done : 330;
  p_new_path_ = CatchUp(kPathTarget, path_choice_.used(), path_draws * days_left);
  p_new_pair_ = CatchUp(kPairTarget, pairs_.size(), titled_draws * days_left);
}

uint32_t HistoryGenerator::ChoosePath() {
  const uint32_t path = path_choice_.Choose(&random_, p_new_path_, kPathTarget);
  if (path == paths_.size()) {
    PathInfo info;
    info.text = NewPathText();
    info.detailed = random_.Chance(0.85);
    paths_.push_back(std::move(info));
  }
  return path;
}

bool HistoryGenerator::ChoosePair(uint32_t path, uint32_t* pair) {
  ++titled_draws_;
  PathInfo& info = paths_[path];
  const bool room = pairs_.size() < kPairTarget;
  if (!info.pair_uses.empty() && !(room && random_.Chance(p_new_pair_))) {
    *pair = random_.Pick(info.pair_uses);
    info.pair_uses.push_back(*pair);
    return true;
  }
  // A new pair: a new title, or one that other executables already showed
  // (titles shared by browsers, viewers and editors).
  const double p_new_title =
      CatchUp(kTitleTarget, titles_.size(), static_cast<double>(kPairTarget) - pairs_.size());
  for (int attempt = 0; attempt < 8; ++attempt) {
    uint32_t title;
    if (titles_.size() < kTitleTarget &&
        (title_uses_.empty() || attempt == 7 || random_.Chance(p_new_title))) {
      title = static_cast<uint32_t>(titles_.size());
      titles_.push_back(NewTitleText());
    } else {
      title = random_.Pick(title_uses_);
    }
    if (!pair_set_.insert((static_cast<uint64_t>(path) << 32) | title).second) continue;
    *pair = static_cast<uint32_t>(pairs_.size());
    pairs_.push_back(Pair{path, title});
    title_uses_.push_back(title);
    info.pair_uses.push_back(*pair);
    return true;
  }
  if (info.pair_uses.empty()) return false;
  *pair = random_.Pick(info.pair_uses);
  info.pair_uses.push_back(*pair);
  return true;
}

void HistoryGenerator::AddActivity(CSez* list, const std::string& path, const std::string& title,
                                   uint32_t tenths) {
  // As the sampler does: look the record up, add to it or create it.
  ActivityRecord* record = title.empty() ? list->FindPath(path) : list->FindPathTitle(path, title);
  if (record != nullptr) {
    list->AddTime(record, tenths);
  } else {
    list->NewRecord(path, tenths, title);
  }
}

void HistoryGenerator::FillPeriod(CSez* list, const std::vector<uint32_t>& working_set, double from,
                                  double to) {
  const double fraction = std::min(1.0, (to - from) / kHour);
  size_t app_count = static_cast<size_t>(std::lround(fraction * random_.Between(5, 11)));
  app_count = std::max<size_t>(1, std::min(app_count, working_set.size()));
  std::vector<uint32_t> apps;
  while (apps.size() < app_count) {
    // The first executables of the working set are the day's main ones.
    const double u = random_.Unit();
    const uint32_t path = working_set[static_cast<size_t>(u * u * working_set.size())];
    if (std::find(apps.begin(), apps.end(), path) == apps.end()) apps.push_back(path);
  }
  std::vector<double> weights;
  double weight_sum = 0;
  for (size_t i = 0; i < apps.size(); ++i) {
    weights.push_back(random_.Weight());
    weight_sum += weights.back();
  }
  struct Addition {
    uint32_t path;
    int64_t title;  // -1: the path's total
    uint32_t tenths;
  };
  std::vector<Addition> additions;
  const double active_tenths = fraction * random_.Between(1500, 3600) * 10.0;
  for (size_t i = 0; i < apps.size(); ++i) {
    const uint32_t app_tenths = std::max<uint32_t>(
        10, static_cast<uint32_t>(std::lround(active_tenths * weights[i] / weight_sum)));
    additions.push_back(Addition{apps[i], -1, app_tenths});
    if (!paths_[apps[i]].detailed) continue;
    // Titles chosen twice in one hour are one record; draw until the hour has
    // its share of distinct ones (or give up after a few tries).
    const size_t title_count = static_cast<size_t>(random_.Between(2, 8));
    std::vector<uint32_t> chosen;
    for (size_t attempt = 0; attempt < 3 * title_count && chosen.size() < title_count; ++attempt) {
      uint32_t pair = 0;
      if (!ChoosePair(apps[i], &pair)) break;
      if (std::find(chosen.begin(), chosen.end(), pair) == chosen.end()) chosen.push_back(pair);
    }
    std::vector<double> shares;
    double share_sum = 0;
    for (size_t t = 0; t < chosen.size(); ++t) {
      shares.push_back(random_.Weight());
      share_sum += shares.back();
    }
    for (size_t t = 0; t < chosen.size(); ++t) {
      const uint32_t tenths = std::max<uint32_t>(
          10, static_cast<uint32_t>(std::lround(app_tenths * shares[t] / share_sum)));
      additions.push_back(Addition{apps[i], pairs_[chosen[t]].title, tenths});
    }
  }

  // The sampler adds a little at a time, in no order, and every addition moves
  // its record toward the tail: the hour's records end up in ascending time,
  // executables interleaved. Three portions per record, shuffled, do the same.
  std::vector<Addition> portions;
  for (const Addition& addition : additions) {
    const uint32_t first = addition.tenths / 3;
    const uint32_t second = addition.tenths / 3;
    portions.push_back(Addition{addition.path, addition.title, addition.tenths - first - second});
    if (first > 0) portions.push_back(Addition{addition.path, addition.title, first});
    if (second > 0) portions.push_back(Addition{addition.path, addition.title, second});
  }
  for (size_t i = portions.size(); i > 1; --i)
    std::swap(portions[i - 1], portions[random_.Below(i)]);
  const std::string no_title;
  for (size_t i = 0; i < portions.size(); ++i) {
    clock_.now = from + (to - from) * (i + 0.5) / portions.size();
    const Addition& portion = portions[i];
    AddActivity(list, paths_[portion.path].text,
                portion.title < 0 ? no_title : titles_[static_cast<size_t>(portion.title)],
                portion.tenths);
  }
}

void HistoryGenerator::Flush(CSez* list) {
  TextPool& texts = Texts();
  for (const ActivityRecord* r = list->head(); r != nullptr; r = r->next) {
    ++records_;
    if (r->title != kEmptyText) ++titled_records_;
    total_seconds_ += r->time / 10;
    path_bytes_ += r->PathText().size();
    title_bytes_ += r->TitleText().size();
    written_keys_.insert((static_cast<uint64_t>(texts.Folded(r->path)) << 32) | r->title);
  }
  // The hourly flush opens the cipher around each write.
  list->OpenCipher();
  if (!list->WriteLog(LogFileName(folder_, clock_.now), 0)) ++failed_writes_;
  list->CloseCipher();
  list->Clear();
}

void HistoryGenerator::Session(double day) {
  const double start = day + random_.Between(6 * 3600, 9 * 3600 + 59 * 60) * kSecond;
  const double end = std::min(start + random_.Between(6 * 3600, 14 * 3600 + 59 * 60) * kSecond,
                              day + (23 * 3600 + 45 * 60) * kSecond);
  clock_.now = start;
  std::vector<uint32_t> working_set;
  const size_t wanted = static_cast<size_t>(random_.Between(8, 20));
  for (int attempt = 0; attempt < 100 && working_set.size() < wanted; ++attempt) {
    const uint32_t path = ChoosePath();
    if (std::find(working_set.begin(), working_set.end(), path) == working_set.end()) {
      working_set.push_back(path);
    }
  }

  // A fresh list per session: its first write carries the session header.
  CSez list;
  Flush(&list);
  double from = start;
  for (;;) {
    const double flush = from + NextFlushDelay(from) * (kSecond / 1000.0);
    if (flush >= end) break;
    if (random_.Chance(0.01)) list.SetHibernated();
    if (random_.Chance(0.002)) list.SetTimeChanged();
    FillPeriod(&list, working_set, from, flush);
    clock_.now = flush;
    Flush(&list);
    ++periods_;
    from = flush;
  }
  FillPeriod(&list, working_set, from, end);
  clock_.now = end;
  Flush(&list);
  ++periods_;
  ++sessions_;
  if (random_.Chance(0.02)) {
    ++crashes_;  // no marker: the next session's first write notes the crash
  } else {
    AppendCloseMarker(LogFileName(folder_, end));
  }
}

bool HistoryGenerator::Run(StampFacts* facts) {
  std::string error;
  std::vector<std::string> encrypted;
  std::vector<std::string> plain;
  if (!platform::CreateFolders(folder_, &error) ||
      !ListHistoryLogs(folder_, &encrypted, &plain, &error)) {
    std::fprintf(stderr, "history_gen: %s: %s\n", folder_.c_str(), error.c_str());
    return false;
  }
  // The writer appends, so old logs would mix with the new ones.
  if (!encrypted.empty() || !plain.empty()) {
    std::fprintf(stderr, "history_gen: %s already holds logs\n", folder_.c_str());
    return false;
  }
  CountingEventSink events;
  SetEventSink(&events);
  platform::SetClock(&clock_);
  const auto started = std::chrono::steady_clock::now();
  first_day_ = EncodeDateTime(kFirstYear, 1, 1);
  last_day_ = EncodeDateTime(kFirstYear + kYears - 1, 12, 31);
  for (double day = first_day_; day <= last_day_; day += 1) {
    PlanDay(day);
    Session(day);
    const DateTimeParts parts = DecodeDateTime(day);
    if (parts.month == 12 && parts.day == 31) {
      std::printf("  %d: %llu records so far\n", parts.year,
                  static_cast<unsigned long long>(records_));
      std::fflush(stdout);
    }
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  platform::SetClock(nullptr);
  SetEventSink(nullptr);

  uint64_t bytes = 0;
  if (!ListHistoryLogs(folder_, &encrypted, &plain, &error)) return false;
  for (const std::string& name : encrypted) {
    platform::File file;
    int64_t size = 0;
    if (file.OpenRead(folder_ + name, &error) && file.Size(&size, &error)) bytes += size;
  }
  const auto put = [facts](const char* key, uint64_t value) {
    (*facts)[key] = std::to_string(value);
  };
  put("files", encrypted.size());
  put("bytes", bytes);
  put("sessions", sessions_);
  put("crashed_sessions", crashes_);
  put("periods", periods_);
  put("records", records_);
  put("titled_records", titled_records_);
  put("total_seconds", total_seconds_);
  put("paths", paths_.size());
  put("titles", titles_.size());
  put("pairs", pairs_.size());
  put("merge_keys", written_keys_.size());
  put("events", events.count());
  put("mean_path_bytes", path_bytes_ / std::max<uint64_t>(1, records_));
  put("mean_title_bytes", title_bytes_ / std::max<uint64_t>(1, titled_records_));
  char text[32];
  std::snprintf(text, sizeof(text), "%.1f", seconds);
  (*facts)["generation_seconds"] = text;
  if (events.count() > 0 || failed_writes_ > 0) {
    std::fprintf(stderr, "history_gen: %llu events, %llu failed writes\n",
                 static_cast<unsigned long long>(events.count()),
                 static_cast<unsigned long long>(failed_writes_));
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::string(argv[1]) == "--version") {
    std::printf("%s\n", kGeneratorVersion);
    return 0;
  }
  if (argc != 2) {
    std::fprintf(stderr, "usage: history_gen FOLDER | --version\n");
    return 2;
  }
  const std::string folder = WithTrailingSeparator(argv[1]);
  StampFacts facts;
  HistoryGenerator generator(folder);
  if (!generator.Run(&facts)) return 1;
  if (!WriteStamp(folder + kStampName, facts)) {
    std::fprintf(stderr, "history_gen: cannot write %s%s\n", folder.c_str(), kStampName);
    return 1;
  }
  for (const auto& fact : facts)
    std::printf("  %-20s %s\n", fact.first.c_str(), fact.second.c_str());
  return 0;
}
