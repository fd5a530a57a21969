#ifndef TRAMO_VIEWS_SEARCH_H_
#define TRAMO_VIEWS_SEARCH_H_

#include <cstdint>
#include <string>
#include <vector>

#include "views/date_range.h"

class CGlobal;
struct ActivityRecord;

// The range "Zobrazit podrobněji" leaves for the next search. from == 0
// means none pending; the search that uses it sets from back to 0.
struct DetailRange {
  double from = 0;
  double to = 0;
};

// The search controls as the user left them.
struct SearchOptions {
  std::string name;         // EditHledejJmeno, as typed
  std::string title;        // EditHledejTitulek, as typed (ignored without titles)
  bool with_titles = true;  // chTitulek
  int32_t min_seconds = 1;  // SpMinCas
};

struct SearchResult {
  // Records of the aggregate with at least the minimum time and a non-empty
  // path, in no particular order (the list sorts them). They live in the
  // result database until its next Clear.
  std::vector<ActivityRecord*> rows;
  // Aggregate records with at least the minimum time (as listed by ZmenJ).
  uint32_t shown = 0;
  // History records that did not pass the filters or the range.
  uint32_t hidden = 0;
};

// The search of "Hledat" over a loaded history (the caller loads it first when
// it is not loaded): clears result_db and merges into it, through
// JProlniZaznam, every history record logged within the range whose path
// contains name and whose title contains title (both a-z folded to A-Z).
// Without titles every titled record is skipped and counted hidden. The range
// is *detail when one is pending (which is then consumed), else calendars.
// The aggregate holds exactly what merging the matching records one by one
// in history order would give.
SearchResult RunSearch(CGlobal* history, CGlobal* result_db, const SearchRange& calendars,
                       DetailRange* detail, const SearchOptions& options);

// "Počet zobrazených položek/nezobrazených záznamů, čas zpracování: 3 / 5, 1,2s":
// the seconds are elapsed_ms cut to tenths.
std::string SearchStatusText(uint32_t shown, uint32_t hidden, uint32_t elapsed_ms,
                             char decimal_separator);

// The key code that runs the search from the name, title and minimum-time
// fields (Enter); other keys stay with the controls.
bool IsSearchKey(int key_code);

#endif  // TRAMO_VIEWS_SEARCH_H_
