#ifndef TRAMO_VIEWS_LIST_FOCUS_H_
#define TRAMO_VIEWS_LIST_FOCUS_H_

#include <cstddef>
#include <string>

class ListModel;

// The list's focus and selection belong to a record, not to an index: a
// re-sort, a redraw or a new row moves the records under the indexes. The
// window notes which record the focus is on before such a change and looks
// for it afterwards.
struct RowIdentity {
  bool valid = false;
  std::string row_text;  // the record's path, or the bucket name
  std::string title;     // column 3 in modes 1 and 2; empty in the overview
};

// The identity of the model's row; invalid for a negative or missing row.
RowIdentity IdentityOfRow(const ListModel& model, ptrdiff_t row);

// The first row holding that identity now, or -1 when it is gone (or the
// identity is invalid). Cost: one scan of the rows.
ptrdiff_t FindRow(const ListModel& model, const RowIdentity& identity);

#endif  // TRAMO_VIEWS_LIST_FOCUS_H_
