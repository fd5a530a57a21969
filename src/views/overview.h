#ifndef TRAMO_VIEWS_OVERVIEW_H_
#define TRAMO_VIEWS_OVERVIEW_H_

#include <cstdint>
#include <string>
#include <vector>

#include "views/date_range.h"
#include "views/search.h"

class CGlobal;
struct ActivityRecord;
struct PeriodNode;

// ComboPrehled's items, in their order; the index is the bucket size.
constexpr int kOverviewItemCount = 7;
extern const char* const kOverviewItems[kOverviewItemCount];
enum OverviewBucket {
  kBucketSession = 0,  // "Seance"; also a typed text that is no item (-1)
  kBucketHour = 1,
  kBucketDay = 2,
  kBucketWeek = 3,
  kBucketMonth = 4,
  kBucketYear = 5,
  kBucketAll = 6,  // "Vše"
};

// The selected index for a text in the combo's edit field: the item it equals
// exactly, else -1 (no item selected).
int OverviewIndexOfText(const std::string& text);

// The bucket key of a period node's key x for the sizes hour to year; for
// "Vše" the date of the start picker's spinners and calendar day. NaN for the
// session size and indexes without a rule.
double OverviewBucketKey(int bucket, double x, const DatePicker& start);

struct OverviewResult {
  // Entries of the aggregate inside the range, in no particular order (the
  // list sorts them); they live in the result database until its next Clear.
  std::vector<ActivityRecord*> rows;
  uint32_t shown = 0;
  uint32_t hidden = 0;  // entries outside the range
};

// The overview of "Přehled" over a loaded history (the caller loads it first):
// clears result_db and merges every node into it with KProlniZaznam, the
// session form for bucket -1 and 0, the period form under its bucket key for
// 1 to 6, nothing for any other index. An entry is listed when
// range.from <= its stamp and its latest <= range.to. start is the start
// picker, whose spinners and day make the key of "Vše".
OverviewResult RunOverview(CGlobal* history, CGlobal* result_db, int bucket,
                           const SearchRange& range, const DatePicker& start);

// "Počet zobrazených/nezobrazených položek, čas zpracování: 3 / 5, 1,2s".
std::string OverviewStatusText(uint32_t shown, uint32_t hidden, uint32_t elapsed_ms,
                               char decimal_separator);

// "Zobrazit podrobněji": in view mode 3 with a selected row, the range from
// the row's "Od" cell to its "Do" cell becomes pending for the next search
// (true: the caller then runs the search). False, changing nothing, in any
// other mode, without a selection or when a cell does not parse.
bool SetDetailRange(unsigned view_mode, bool row_selected, const std::string& from_cell,
                    const std::string& to_cell, DetailRange* detail);

#endif  // TRAMO_VIEWS_OVERVIEW_H_
