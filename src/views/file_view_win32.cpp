#include "views/file_view_win32.h"

#include <algorithm>

#include "platform/wide_text_win32.h"
#include "ui/controls_win32.h"
#include "ui/dpi_win32.h"
#include "ui/layout.h"
#include "views/list_header.h"

bool FileView::Create(HWND parent, int id, Listener* listener) {
  listener_ = listener;
  list_ = ctl::Child("SysListView32", "",
                     WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | LVS_SINGLESEL,
                     0, 0, 100, 100, parent, id, WS_EX_CLIENTEDGE);
  if (list_ == nullptr) return false;
  ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT);
  for (int column = 0; column < kListColumns; ++column) {
    LVCOLUMNW info = {};
    info.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    info.fmt = ColumnRightAligned(column) ? LVCFMT_RIGHT : LVCFMT_LEFT;
    info.cx = 100;
    info.pszText = const_cast<wchar_t*>(L"");
    info.iSubItem = column;
    if (SendMessageW(list_, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&info)) < 0) {
      return false;
    }
  }
  return true;
}

int FileView::DefaultColumnWidth(int column) const {
  const int dpi = ui::DpiOf(list_);
  const ColumnSamples samples = ColumnWidthSamples(column);
  const auto width_of = [&](const std::string& text) {
    return static_cast<int>(
        SendMessageA(list_, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(text.c_str())));
  };
  int width = Scaled(100, dpi);
  // A cell's text leaves a margin each side; a caption also the sort arrow.
  for (const std::string& text : samples.cells) {
    width = std::max(width, width_of(text) + Scaled(16, dpi));
  }
  for (const std::string& text : samples.captions) {
    width = std::max(width, width_of(text) + Scaled(32, dpi));
  }
  return width;
}

void FileView::Zobraz(uint32_t mode) {
  const ListLayout* layout = model_.Zobraz(mode);
  if (layout == nullptr) return;
  SendMessageA(list_, WM_SETREDRAW, FALSE, 0);
  for (int column = 0; column < kListColumns; ++column) {
    const std::wstring caption = platform::Wide(layout->captions[column]);
    LVCOLUMNW info = {};
    info.mask = LVCF_TEXT | LVCF_FMT;
    info.pszText = const_cast<wchar_t*>(caption.c_str());
    const bool right = column == 3 ? layout->column3_right_aligned : ColumnRightAligned(column);
    // The first column of a report list is always drawn left-aligned.
    info.fmt = right && column > 0 ? LVCFMT_RIGHT : LVCFMT_LEFT;
    SendMessageW(list_, LVM_SETCOLUMNW, column, reinterpret_cast<LPARAM>(&info));
  }
  SendMessageA(list_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_, nullptr, TRUE);
}

void FileView::Reload() {
  SendMessageA(list_, LVM_SETITEMCOUNT, model_.size(), LVSICF_NOSCROLL);
  ShowSortArrow();
  InvalidateRect(list_, nullptr, TRUE);
}

void FileView::RedrawRow(size_t row) {
  SendMessageA(list_, LVM_REDRAWITEMS, row, row);
}

void FileView::Sort() {
  const Focus focus = NoteFocus();
  model_.Sort();
  FollowFocus(focus);
}

FileView::Focus FileView::NoteFocus() const {
  const ptrdiff_t focused = FocusedRow();
  Focus focus;
  focus.record = IdentityOfRow(model_, focused);
  focus.selected = focused >= 0 && (SendMessageA(list_, LVM_GETITEMSTATE, focused,
                                                 LVIS_SELECTED) & LVIS_SELECTED) != 0;
  return focus;
}

void FileView::FollowFocus(const Focus& focus) {
  Reload();
  const ptrdiff_t row = FindRow(model_, focus.record);
  if (row < 0) {
    ClearFocus();
    return;
  }
  FocusRow(static_cast<size_t>(row), focus.selected);
}

void FileView::ShowNewRows() {
  SendMessageA(list_, LVM_SETITEMCOUNT, model_.size(), 0);
  ClearFocus();
  if (model_.size() > 0) SendMessageA(list_, LVM_ENSUREVISIBLE, 0, FALSE);
  ShowSortArrow();
  InvalidateRect(list_, nullptr, TRUE);
}

int FileView::ColumnWidth(int column) const {
  return static_cast<int>(SendMessageA(list_, LVM_GETCOLUMNWIDTH, column, 0));
}

void FileView::SetColumnWidth(int column, int width) {
  SendMessageA(list_, LVM_SETCOLUMNWIDTH, column, MAKELPARAM(width, 0));
}

ptrdiff_t FileView::FocusedRow() const {
  return static_cast<ptrdiff_t>(SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                             LVNI_FOCUSED));
}

void FileView::FocusRow(size_t row, bool selected) {
  ClearFocus();
  LVITEMA item = {};
  item.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
  item.state = LVIS_FOCUSED | (selected ? LVIS_SELECTED : 0);
  SendMessageA(list_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  SendMessageA(list_, LVM_ENSUREVISIBLE, row, FALSE);
}

void FileView::ClearFocus() {
  // The state of every row at once (index -1) walks all the rows, a long
  // while for a large search; a single-selection list has at most one
  // focused and one selected row. The focus goes first, so that the change
  // notices see no focused row.
  LVITEMA item = {};
  item.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
  const ptrdiff_t focused = FocusedRow();
  if (focused >= 0) {
    SendMessageA(list_, LVM_SETITEMSTATE, focused, reinterpret_cast<LPARAM>(&item));
  }
  if (SendMessageA(list_, LVM_GETSELECTEDCOUNT, 0, 0) == 0) return;
  const LRESULT selected =
      SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
  if (selected >= 0) {
    SendMessageA(list_, LVM_SETITEMSTATE, selected, reinterpret_cast<LPARAM>(&item));
  }
}

void FileView::ShowSortArrow() {
  HWND header = reinterpret_cast<HWND>(SendMessageA(list_, LVM_GETHEADER, 0, 0));
  for (int column = 0; column < kListColumns; ++column) {
    HDITEMA item = {};
    item.mask = HDI_FORMAT;
    if (!SendMessageA(header, HDM_GETITEMA, column, reinterpret_cast<LPARAM>(&item))) continue;
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (column == model_.sort_column()) {
      // The normal order lists the largest and newest first, names A to Z.
      item.fmt |= SortArrowUp(model_.sort_column(), model_.sort_direction()) ? HDF_SORTUP
                                                                           : HDF_SORTDOWN;
    }
    SendMessageA(header, HDM_SETITEMA, column, reinterpret_cast<LPARAM>(&item));
  }
}

bool FileView::FocusedRowText(std::string* text) const {
  return model_.FocusedRowText(FocusedRow(), text);
}

LRESULT FileView::CustomDraw(NMLVCUSTOMDRAW* draw) {
  switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
      const size_t row = draw->nmcd.dwItemSpec;
      if (row >= model_.size()) return CDRF_DODEFAULT;
      const COLORREF font = GetSysColor(COLOR_WINDOWTEXT);
      const RgbColor color = model_.RowTextColor(
          row, RgbColor{GetRValue(font), GetGValue(font), GetBValue(font)});
      draw->clrText = RGB(color.red, color.green, color.blue);
      return CDRF_NEWFONT;
    }
    default:
      return CDRF_DODEFAULT;
  }
}

bool FileView::OnNotify(const NMHDR* header, LRESULT* result) {
  if (header->hwndFrom != list_) return false;
  *result = 0;
  switch (header->code) {
    case LVN_GETDISPINFOW: {
      // The list is a Unicode window (its parent is one), so it asks in UTF-16.
      LVITEMW& item = const_cast<NMLVDISPINFOW*>(
          reinterpret_cast<const NMLVDISPINFOW*>(header))->item;
      if ((item.mask & LVIF_TEXT) && item.iItem >= 0 &&
          static_cast<size_t>(item.iItem) < model_.size() && item.iSubItem < kListColumns &&
          item.pszText != nullptr && item.cchTextMax > 0) {
        const std::wstring cell = platform::Wide(std::string(model_.Cell(item.iItem, item.iSubItem)));
        lstrcpynW(item.pszText, cell.c_str(), item.cchTextMax);
      }
      return true;
    }
    case LVN_COLUMNCLICK: {
      const Focus focus = NoteFocus();
      model_.ColumnClick(
          static_cast<uint8_t>(reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem));
      FollowFocus(focus);
      return true;
    }
    case LVN_ITEMCHANGED: {
      std::string text;
      if (FocusedRowText(&text)) listener_->FocusedRowChanged(text);
      return true;
    }
    case NM_CUSTOMDRAW:
      *result = CustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(header)));
      return true;
    case NM_RCLICK: {
      POINT point;
      GetCursorPos(&point);
      listener_->ContextMenu(point.x, point.y);
      return true;
    }
    default:
      return false;
  }
}
