#include "views/search_panel_win32.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include "platform/file.h"
#include "platform/system.h"
#include "platform/wide_text_win32.h"
#include "store/cglobal.h"
#include "ui/blocking_work_win32.h"
#include "ui/dpi_win32.h"
#include "store/csez.h"
#include "store/history.h"
#include "support/events.h"
#include "views/file_view_win32.h"
#include "views/overview.h"
#include "views/report_figures.h"
#include "views/report_page.h"

namespace {

// Unique in the main window, whose own children take 100-102.
enum ControlId {
  kFirstDayId = 110,
  kMonth1Id,
  kYear1Id,
  kCalendar1Id,
  kTodayId,
  kMonth2Id,
  kYear2Id,
  kCalendar2Id,
  kNameId,
  kTitlesId,
  kTitleId,
  kMinId,
  kSearchId,
  kCancelId,
  kOverviewId,
  kComboId,
};

// The design: controls up to 154 pixels across in a panel 185 wide, the
// last one 9 pixels above the bottom.
constexpr int kDesignContentWidth = 154;
constexpr int kBottomMargin = 9;
constexpr int kComboDropHeight = 200;

char DecimalSeparator() {
  wchar_t buffer[8] = {};
  const int n = GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, 8);
  const std::string separator = n > 1 ? platform::Narrow(buffer, n - 1) : std::string();
  return separator.size() == 1 ? separator[0] : ',';
}

CalendarDate ReadCalendar(HWND calendar) {
  SYSTEMTIME time = {};
  SendMessageA(calendar, MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&time));
  return CalendarDate{time.wYear, time.wMonth, time.wDay};
}

void WriteCalendar(HWND calendar, const CalendarDate& date) {
  SYSTEMTIME time = {};
  time.wYear = static_cast<WORD>(date.year);
  time.wMonth = static_cast<WORD>(date.month);
  time.wDay = static_cast<WORD>(date.day);
  SendMessageA(calendar, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&time));
}

}  // namespace

bool SearchPanel::CreatePanel(HWND parent, int id) {
  if (!Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, "", 0, 0,
              kWidth, 100, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)))) {
    return false;
  }
  return CreateControls();
}

bool SearchPanel::CreateControls() {
  HWND panel = hwnd();
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0,
                             0, 0, 0, panel, nullptr, GetModuleHandleA(nullptr), nullptr);
  // The two quick buttons are skipped by the Tab key.
  first_day_ = layout_.Child("BUTTON", "", BS_PUSHBUTTON, {8, 19, 17, 17}, Anchor::kLeft, panel,
                             kFirstDayId);
  today_ =
      layout_.Child("BUTTON", "", BS_PUSHBUTTON, {8, 155, 17, 17}, Anchor::kLeft, panel, kTodayId);
  const int tops[2] = {16, 153};
  const int calendar_tops[2] = {40, 177};
  for (int which = 0; which < 2; ++which) {
    if (!spin_month_[which].Create(panel, which == 0 ? kMonth1Id : kMonth2Id, 31, tops[which], 49,
                                   22, 1, 12) ||
        !spin_year_[which].Create(panel, which == 0 ? kYear1Id : kYear2Id, 87, tops[which], 65, 22,
                                  0, 9999)) {
      return false;
    }
    layout_.AddSpin(spin_month_[which], {31, tops[which], 49, 22}, Anchor::kLeft);
    layout_.AddSpin(spin_year_[which], {87, tops[which], 65, 22}, Anchor::kRight);
    calendar_[which] = ctl::Child("SysMonthCal32", "", WS_TABSTOP, 3, calendar_tops[which], 150,
                                  105, panel, which == 0 ? kCalendar1Id : kCalendar2Id);
    if (calendar_[which] == nullptr) return false;
    layout_.Add(calendar_[which], {3, calendar_tops[which], 150, 105}, Anchor::kStretch);
    SendMessageA(calendar_[which], MCM_SETFIRSTDAYOFWEEK, 0, 0);  // Monday
    SetWindowSubclass(calendar_[which], ControlProc, which, reinterpret_cast<DWORD_PTR>(this));
    AddHint(spin_month_[which].edit, "Měsíc");
    AddHint(spin_year_[which].edit, "Rok");
  }
  AddHint(first_day_, "První datum v historii");
  AddHint(today_, "Dnešní datum");
  layout_.Child("STATIC", "Vyhledat soubory s názvem:", 0, {3, 294, 149, 14}, Anchor::kLeft, panel,
                -1);
  edit_name_ = layout_.Child("EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, {3, 309, 149, 21},
                             Anchor::kStretch, panel, kNameId, WS_EX_CLIENTEDGE);
  check_titles_ = layout_.Child("BUTTON", "...a titulkem:", WS_TABSTOP | BS_AUTOCHECKBOX,
                                {75, 332, 78, 17}, Anchor::kRight, panel, kTitlesId);
  edit_title_ = layout_.Child("EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, {3, 350, 149, 21},
                              Anchor::kStretch, panel, kTitleId, WS_EX_CLIENTEDGE);
  layout_.Child("STATIC", "Minimální čas (s):", 0, {3, 380, 92, 14}, Anchor::kLeft, panel, -1);
  if (!spin_min_.Create(panel, kMinId, 96, 376, 57, 22, 1, 86400)) return false;
  layout_.AddSpin(spin_min_, {96, 376, 57, 22}, Anchor::kRight);
  search_ = layout_.Child("BUTTON", "Hledat", WS_TABSTOP | BS_PUSHBUTTON, {3, 403, 70, 21},
                          Anchor::kLeft, panel, kSearchId);
  cancel_ = layout_.Child("BUTTON", "Zrušit hledání", WS_TABSTOP | BS_PUSHBUTTON | WS_DISABLED,
                          {82, 403, 70, 21}, Anchor::kRight, panel, kCancelId);
  layout_.Child("STATIC", "", SS_ETCHEDHORZ, {0, 432, 153, 1}, Anchor::kStretch, panel, -1);
  overview_ = layout_.Child("BUTTON", "Přehled", WS_TABSTOP | BS_PUSHBUTTON, {3, 439, 70, 21},
                            Anchor::kLeft, panel, kOverviewId);
  combo_ = ctl::Child("COMBOBOX", "", WS_TABSTOP | CBS_DROPDOWNLIST | WS_VSCROLL, 81, 440, 73,
                      kComboDropHeight, panel, kComboId);
  layout_.Add(combo_, {81, 440, 73, 21}, Anchor::kRight, kComboDropHeight);
  if (edit_name_ == nullptr || check_titles_ == nullptr || edit_title_ == nullptr ||
      search_ == nullptr || cancel_ == nullptr || overview_ == nullptr || combo_ == nullptr) {
    return false;
  }
  for (const char* item : kOverviewItems) {
    SendMessageW(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(platform::Wide(item).c_str()));
  }
  for (HWND edit : {edit_name_, edit_title_, spin_min_.edit}) {
    SetWindowSubclass(edit, ControlProc, 2, reinterpret_cast<DWORD_PTR>(this));
  }
  ctl::SetChecked(check_titles_, true);
  spin_min_.SetValue(1);
  const CalendarDate today = CalendarDateOf(platform::Now());
  for (HWND calendar : calendar_) WriteCalendar(calendar, today);
  LayOutControls();
  return true;
}

void SearchPanel::LayOutControls() {
  dpi_ = ui::DpiOf(hwnd());
  const PanelLayout layout = layout_.Apply(kDesignContentWidth, scroll_, dpi_);
  content_width_ = layout.width;
  content_height_ = layout.height + Scaled(kBottomMargin, dpi_);
}

void SearchPanel::DpiChanged() {
  SendMessageA(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(ui::GuiFontAt(ui::DpiOf(hwnd()))),
               FALSE);
  LayOutControls();
  Scroll(SB_ENDSCROLL);
}

int SearchPanel::Width() const {
  return Scaled(kWidth, dpi_) + content_width_ - Scaled(kDesignContentWidth, dpi_);
}

void SearchPanel::AddHint(HWND control, const char* text) {
  const std::wstring wide = platform::Wide(text);
  TOOLINFOW tool = {};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = hwnd();
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = const_cast<wchar_t*>(wide.c_str());
  SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void SearchPanel::StartUp() {
  SendMessageA(combo_, CB_SETCURSEL, 0, 0);
  for (int which = 0; which < 2; ++which) {
    DatePicker picker = ReadPicker(which);
    SyncSpinners(&picker);
    WritePicker(which, picker);
  }
}

void SearchPanel::SetSearchOptions(bool with_titles, int32_t min_seconds) {
  ctl::SetChecked(check_titles_, with_titles);
  ShowWindow(edit_title_, with_titles ? SW_SHOW : SW_HIDE);
  spin_min_.SetValue(min_seconds);
}

void SearchPanel::SetStatus(const std::string& text) {
  ctl::SetStatusText(status_bar_, 2, text);
  ui::PaintNow(status_bar_);  // the work below blocks the message loop
}

DatePicker SearchPanel::ReadPicker(int which) const {
  DatePicker picker;
  picker.calendar = ReadCalendar(calendar_[which]);
  picker.spin_month = spin_month_[which].Value();
  picker.spin_year = spin_year_[which].Value();
  return picker;
}

void SearchPanel::WritePicker(int which, const DatePicker& picker) {
  syncing_ = true;
  WriteCalendar(calendar_[which], picker.calendar);
  spin_month_[which].SetValue(picker.spin_month);
  spin_year_[which].SetValue(picker.spin_year);
  syncing_ = false;
}

void SearchPanel::OnSpinnerChanged(int id) {
  if (syncing_) return;
  const int which = id == kMonth1Id || id == kYear1Id ? 0 : 1;
  DatePicker picker = ReadPicker(which);
  if (id == kMonth1Id || id == kMonth2Id) {
    SpinMonth(&picker, spin_month_[which].Value());
  } else {
    SpinYear(&picker, spin_year_[which].Value());
  }
  syncing_ = true;
  WriteCalendar(calendar_[which], picker.calendar);
  syncing_ = false;
}

void SearchPanel::EnsureLoaded() {
  if (!tracker_->HistoryDb().loaded) LoadHistory();
}

void SearchPanel::LoadHistory() {
  SetStatus(kLoadingHistoryText);
  const DWORD start = GetTickCount();
  std::vector<std::string> folders = {tracker_->DataDir()};
  for (const std::string& other : tracker_->OtherDataFolders()) folders.push_back(other);
  // The own folder is missing until the first write: nothing to report, and
  // this computer counts as read all the same.
  size_t own_missing = 0;
  FolderLoadNotes notes;
  notes.unreadable = [&](const std::string& folder, const std::string& error) {
    if (folder == folders.front()) {
      own_missing = 1;
      return;
    }
    AddEvent(2, "Nelze číst složku dat " + folder + " \r\nErrorMessage: " + error);
  };
  const size_t read = LoadDataFolders(&tracker_->HistoryDb(), folders, notes) + own_missing;
  DatePicker pickers[2] = {ReadPicker(0), ReadPicker(1)};
  ApplyHistoryLoad(tracker_->HistoryDb(), &pickers[0], &pickers[1]);
  WritePicker(0, pickers[0]);
  WritePicker(1, pickers[1]);
  EnableWindow(cancel_, TRUE);
  EnableWindow(overview_, TRUE);
  ctl::SetText(search_, "Hledat");
  EnableWindow(search_, TRUE);
  SetStatus(HistoryLoadedText(GetTickCount() - start, DecimalSeparator()) +
            ComputersReadText(read, folders.size()));
  ui::DropQueuedInput();
}

void SearchPanel::SaveReport() {
  EnsureLoaded();
  const DatePicker start = ReadPicker(0);
  const DatePicker end = ReadPicker(1);
  std::string path = ReportFileName(start, end);
  const std::string documents = platform::SpecialFolderPath(CSIDL_PERSONAL);
  if (!ctl::AskSavePath(GetAncestor(hwnd(), GA_ROOT), "Uložit sestavu", documents, "html", &path)) {
    return;
  }
  const std::string page = ReportPage(CollectReport(&tracker_->HistoryDb(), start, end));
  std::string error;
  if (platform::RewriteFile(path, page, &error) != platform::RewriteFailure::kNone) {
    AddEvent(3, "Nelze zapsat sestavu " + path + " \r\nErrorMessage: " + error);
    return;
  }
  ShellExecuteW(GetAncestor(hwnd(), GA_ROOT), L"open", platform::Wide(path).c_str(), nullptr,
                nullptr, SW_SHOWNORMAL);
}

void SearchPanel::Search() {
  EnsureLoaded();
  SetStatus(kSearchingText);
  file_view_->Zobraz(2);
  const DWORD start = GetTickCount();
  tracker_->SetLiveUpdates(false);
  ListModel& model = file_view_->model();
  model.Clear();
  SearchOptions options;
  options.name = ctl::GetText(edit_name_);
  options.title = ctl::GetText(edit_title_);
  options.with_titles = WithTitles();
  options.min_seconds = MinSeconds();
  const SearchResult result =
      RunSearch(&tracker_->HistoryDb(), &tracker_->ResultDb(),
                CalendarRange(ReadCalendar(calendar_[0]), ReadCalendar(calendar_[1])), &detail_,
                options);
  model.Reserve(result.rows.size());
  for (const ActivityRecord* record : result.rows) model.ZmenJ(record);
  model.Sort();
  file_view_->ShowNewRows();
  SetStatus(SearchStatusText(result.shown, result.hidden, GetTickCount() - start,
                             DecimalSeparator()));
  EnableWindow(cancel_, TRUE);
  ui::DropQueuedInput();
}

void SearchPanel::Overview() {
  EnsureLoaded();
  SetStatus(kSearchingText);
  file_view_->Zobraz(3);
  const DWORD start = GetTickCount();
  tracker_->SetLiveUpdates(false);
  ListModel& model = file_view_->model();
  model.Clear();
  const DatePicker start_picker = ReadPicker(0);
  const OverviewResult result = RunOverview(
      &tracker_->HistoryDb(), &tracker_->ResultDb(), OverviewIndexOfText(ctl::GetText(combo_)),
      CalendarRange(start_picker.calendar, ReadCalendar(calendar_[1])), start_picker);
  model.Reserve(result.rows.size());
  for (const ActivityRecord* record : result.rows) model.ZmenK(record);
  model.Sort();
  file_view_->ShowNewRows();
  SetStatus(OverviewStatusText(result.shown, result.hidden, GetTickCount() - start,
                               DecimalSeparator()));
  EnableWindow(cancel_, TRUE);
  ui::DropQueuedInput();
}

void SearchPanel::Cancel() {
  SetStatus(kReturningText);
  file_view_->Zobraz(1);
  ListModel& model = file_view_->model();
  model.Clear();
  tracker_->ResultDb().Clear();
  CSez& session = tracker_->SessionList();
  session.Rewind();
  ActivityRecord* record = nullptr;
  while (session.Next(&record)) model.Zmen(record);
  model.Sort();
  file_view_->ShowNewRows();
  tracker_->SetLiveUpdates(true);
  SetStatus("");
  ctl::SetText(edit_name_, "");
  ctl::SetText(edit_title_, "");
  EnableWindow(cancel_, FALSE);
  ui::DropQueuedInput();
}

void SearchPanel::ShowDetail() {
  const ptrdiff_t row = file_view_->FocusedRow();
  const ListModel& model = file_view_->model();
  const bool selected = row >= 0 && static_cast<size_t>(row) < model.size();
  const std::string from = selected ? std::string(model.Cell(row, 1)) : std::string();
  const std::string to = selected ? std::string(model.Cell(row, 2)) : std::string();
  if (SetDetailRange(model.view_mode(), selected, from, to, &detail_)) Search();
}

void SearchPanel::OnCalendarDoubleClick(int which) {
  const int other = 1 - which;
  DatePicker target = ReadPicker(other);
  CopyDate(ReadPicker(which), &target);
  WritePicker(other, target);
  switch (AfterCalendarDoubleClick(which + 1, file_view_->model().view_mode())) {
    case CalendarFollowUp::kSearch:
      Search();
      break;
    case CalendarFollowUp::kOverview:
      Overview();
      break;
    case CalendarFollowUp::kNothing:
      break;
  }
}

void SearchPanel::OnCommand(int id, int code) {
  if (code == EN_KILLFOCUS) {
    for (const ctl::Spin* spin : {&spin_month_[0], &spin_year_[0], &spin_month_[1],
                                  &spin_year_[1], &spin_min_}) {
      if (GetDlgCtrlID(spin->edit) == id) spin->ShowValue();
    }
    return;
  }
  if (code == EN_CHANGE) {
    if (id == kMonth1Id || id == kYear1Id || id == kMonth2Id || id == kYear2Id) {
      OnSpinnerChanged(id);
    }
    return;
  }
  if (code != BN_CLICKED) return;
  switch (id) {
    case kFirstDayId: {
      EnsureLoaded();
      DatePicker picker = ReadPicker(0);
      if (ShowFirstHistoryDate(tracker_->HistoryDb(), &picker)) WritePicker(0, picker);
      break;
    }
    case kTodayId: {
      DatePicker picker = ReadPicker(1);
      ShowDate(&picker, CalendarDateOf(platform::Now()));
      WritePicker(1, picker);
      break;
    }
    case kTitlesId:
      ShowWindow(edit_title_, WithTitles() ? SW_SHOW : SW_HIDE);
      break;
    case kSearchId:
      Search();
      break;
    case kCancelId:
      Cancel();
      break;
    case kOverviewId:
      Overview();
      break;
    default:
      break;
  }
}

void SearchPanel::ScrollToTop() { Scroll(SB_TOP); }

void SearchPanel::Scroll(int code) {
  RECT client;
  GetClientRect(hwnd(), &client);
  const int page = client.bottom;
  const int maximum = content_height_ > page ? content_height_ - page : 0;
  int position = scroll_;
  if (code == SB_TOP) position = 0;
  if (code == SB_LINEUP) position -= Scaled(20, dpi_);
  if (code == SB_LINEDOWN) position += Scaled(20, dpi_);
  if (code == SB_PAGEUP) position -= page;
  if (code == SB_PAGEDOWN) position += page;
  if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) {
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_TRACKPOS;
    GetScrollInfo(hwnd(), SB_VERT, &info);
    position = info.nTrackPos;
  }
  position = position < 0 ? 0 : (position > maximum ? maximum : position);
  if (position != scroll_) {
    ScrollWindowEx(hwnd(), 0, scroll_ - position, nullptr, nullptr, nullptr, nullptr,
                   SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
    scroll_ = position;
  }
  SCROLLINFO info = {sizeof(info), SIF_RANGE | SIF_PAGE | SIF_POS, 0, content_height_ - 1,
                     static_cast<UINT>(page), scroll_, 0};
  SetScrollInfo(hwnd(), SB_VERT, &info, TRUE);
}

LRESULT CALLBACK SearchPanel::ControlProc(HWND control, UINT message, WPARAM wparam,
                                          LPARAM lparam, UINT_PTR id, DWORD_PTR self) {
  SearchPanel* panel = reinterpret_cast<SearchPanel*>(self);
  const bool is_calendar = id < 2;
  if (message == WM_GETDLGCODE && lparam != 0) {
    // Enter is these controls' own key, not the dialog manager's IDOK.
    const MSG* key = reinterpret_cast<const MSG*>(lparam);
    if (key->message == WM_KEYDOWN && key->wParam == VK_RETURN) {
      return DefSubclassProc(control, message, wparam, lparam) | DLGC_WANTALLKEYS;
    }
  }
  if (!is_calendar && message == WM_KEYDOWN && IsSearchKey(static_cast<int>(wparam))) {
    panel->Search();
    return 0;
  }
  if (is_calendar && message == WM_CHAR && IsCalendarEnterKey(static_cast<char>(wparam))) {
    panel->OnCalendarDoubleClick(static_cast<int>(id));
    return 0;
  }
  if (message == WM_CHAR && wparam == '\r') return 0;  // no beep for the handled Enter
  if (is_calendar && message == WM_LBUTTONDOWN) {
    // A click gives it the keyboard, so that Enter reaches it.
    SetFocus(control);
    // The calendar reports no double clicks: two clicks within the system's
    // double-click time make one.
    const DWORD now = GetTickCount();
    DWORD& last = panel->last_click_[id];
    const LRESULT result = DefSubclassProc(control, message, wparam, lparam);
    if (last != 0 && now - last <= GetDoubleClickTime()) {
      last = 0;
      panel->OnCalendarDoubleClick(static_cast<int>(id));
    } else {
      last = now;
    }
    return result;
  }
  return DefSubclassProc(control, message, wparam, lparam);
}

LRESULT SearchPanel::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wparam), HIWORD(wparam));
      return 0;
    case WM_NOTIFY: {
      const NMHDR* header = reinterpret_cast<const NMHDR*>(lparam);
      if (header->code == MCN_SELCHANGE && !syncing_) {
        const int which = header->hwndFrom == calendar_[0] ? 0 : 1;
        DatePicker picker = ReadPicker(which);
        SyncSpinners(&picker);
        WritePicker(which, picker);
      }
      return 0;
    }
    case WM_SIZE:
      Scroll(SB_ENDSCROLL);
      return 0;
    case WM_VSCROLL:
      Scroll(LOWORD(wparam));
      return 0;
    default:
      return Default(message, wparam, lparam);
  }
}
