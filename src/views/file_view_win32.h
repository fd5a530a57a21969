#ifndef TRAMO_VIEWS_FILE_VIEW_WIN32_H_
#define TRAMO_VIEWS_FILE_VIEW_WIN32_H_

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "views/list_focus.h"
#include "views/list_model.h"

// The main window's list FileView: an owner-data report list whose rows live
// in a ListModel. The window forwards WM_NOTIFY here; the list asks the
// model for every text it draws.
class FileView {
 public:
  // Called when the focused row changes, with its row text.
  class Listener {
   public:
    virtual ~Listener() = default;
    virtual void FocusedRowChanged(const std::string& row_text) = 0;
    virtual void ContextMenu(int x, int y) = 0;
  };

  bool Create(HWND parent, int id, Listener* listener);
  HWND hwnd() const { return list_; }
  ListModel& model() { return model_; }
  const ListModel& model() const { return model_; }

  // Zobraz: mode, captions, alignment and popup kind, in one update.
  void Zobraz(uint32_t mode);
  // After the model's rows changed in number or order.
  void Reload();
  // After one row's cells changed in place.
  void RedrawRow(size_t row);
  // Sorts the model, keeping the focus on its record, and repaints.
  void Sort();
  // The focused record and whether it is selected, noted before the
  // model's rows change...
  struct Focus {
    RowIdentity record;
    bool selected = false;
  };
  Focus NoteFocus() const;
  // ...and put back on that record (or cleared when it is gone) after the
  // change, once the list knows the new rows.
  void FollowFocus(const Focus& focus);
  // A new search, overview or live list: scrolled to the top, no row
  // focused or selected.
  void ShowNewRows();

  int ColumnWidth(int column) const;
  // The design's width at the list's DPI, or what the column's widest
  // caption or figure needs in the list's font.
  int DefaultColumnWidth(int column) const;
  void SetColumnWidth(int column, int width);

  // The focused row's row text; false with no focused row.
  bool FocusedRowText(std::string* text) const;

  // WM_NOTIFY from the list; true with *result set when handled.
  bool OnNotify(const NMHDR* header, LRESULT* result);

  // The focused row's index, negative for none.
  ptrdiff_t FocusedRow() const;

 private:
  void FocusRow(size_t row, bool selected);
  void ClearFocus();
  void ShowSortArrow();
  LRESULT CustomDraw(NMLVCUSTOMDRAW* draw);

  HWND list_ = nullptr;
  Listener* listener_ = nullptr;
  ListModel model_;
};

#endif  // TRAMO_VIEWS_FILE_VIEW_WIN32_H_
