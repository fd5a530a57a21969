#include "app/form1_win32.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "app/application_win32.h"
#include "ui/controls_win32.h"
#include "ui/dpi_win32.h"
#include "ui/layout.h"
#include "ui/sizing_win32.h"
#include "monitor/process_path.h"
#include "monitor/window_title.h"
#include "platform/file.h"
#include "platform/error_text_win32.h"
#include "platform/system.h"
#include "support/datetime.h"
#include "support/events.h"
#include "support/form_about_win32.h"
#include "support/form_debuglog_win32.h"
#include "support/form_nastaveni_win32.h"
#include "views/form2_win32.h"
#include "views/overview.h"
#include "views/search.h"

namespace {

constexpr int kFileViewId = 100;
constexpr int kStatusBarId = 101;
constexpr int kSearchPanelId = 102;

constexpr UINT_PTR kTimer1 = 1;
constexpr UINT_PTR kTimerFlush = 2;

enum MenuId {
  kMenuDetailStats = 200,  // "Podrobné statistiky"
  kMenuLoadHistory,        // "Načíst historii"
  kMenuSettings,           // "Nastavení"
  kMenuHelp,               // "Nápověda Tramu2"
  kMenuAbout,              // "O aplikaci"
  kMenuAddToDetail,        // "Přidat do podrobných statistik"
  kMenuCopy,               // "Kopírovat do schránky"
  kMenuShowDetail,         // "Zobrazit podrobněji"
  kMenuReport,             // "Sestava…"
};

constexpr int kMinimumHeight = 30;
// The tray record in its first form: 88 bytes in the 32-bit build, 104 in
// the 64-bit one, where the handles are wider.
constexpr DWORD kTrayIconDataSize = NOTIFYICONDATAW_V1_SIZE;

// Not in MinGW's headers for Windows XP; Windows Vista and earlier ignore it.
#ifndef MOD_NOREPEAT
#define MOD_NOREPEAT 0x4000
#endif

// A taskbar that is not there yet (at logon) or too busy to answer refuses
// the icon: it is tried again every 5 s for 5 minutes, by which time a slow
// logon is over; a taskbar that comes later announces itself (TaskbarCreated).
constexpr UINT_PTR kTimerTray = 3;
constexpr UINT kTrayRetryMs = 5000;
constexpr int kTrayRetries = 60;

// The counters of a search and an overview over ten years and more: rows in
// six digits, records in seven, tens of seconds. Digits are equally wide.
std::vector<std::string> WidestCounterTexts() {
  return {SearchStatusText(999999, 9999999, 99900, ','),
          OverviewStatusText(999999, 9999999, 99900, ',')};
}

}  // namespace

TForm1::TForm1(const TrackerPaths& paths, const std::string& version)
    : paths_(paths), version_(version) {}

TForm1::~TForm1() {
  if (popup_activity_ != nullptr) DestroyMenu(popup_activity_);
  if (popup_overview_ != nullptr) DestroyMenu(popup_overview_);
}

bool TForm1::CreateForm() {
  return Create(WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, "Tramo2", 100, 100, 640, 450, nullptr,
                nullptr);
}

namespace {

void AddMenuItem(HMENU menu, UINT flags, UINT_PTR id, const char* text) {
  AppendMenuW(menu, flags, id, platform::Wide(text).c_str());
}

}  // namespace

bool TForm1::CreateMenus() {
  HMENU menu = CreateMenu();
  HMENU options = CreatePopupMenu();
  HMENU help = CreatePopupMenu();
  AddMenuItem(options, MF_STRING, kMenuDetailStats, "Podrobné statistiky");
  AddMenuItem(options, MF_STRING, kMenuLoadHistory, "Načíst historii");
  AddMenuItem(options, MF_STRING, kMenuReport, "Sestava…");
  AddMenuItem(options, MF_STRING, kMenuSettings, "Nastavení");
  AddMenuItem(help, MF_STRING, kMenuHelp, "Nápověda Tramu2");
  AddMenuItem(help, MF_STRING, kMenuAbout, "O aplikaci");
  AddMenuItem(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(options), "Volby");
  AddMenuItem(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(help), "Nápověda");
  popup_activity_ = CreatePopupMenu();
  AddMenuItem(popup_activity_, MF_STRING, kMenuAddToDetail, "Přidat do podrobných statistik");
  AddMenuItem(popup_activity_, MF_STRING, kMenuCopy, "Kopírovat do schránky");
  popup_overview_ = CreatePopupMenu();
  AddMenuItem(popup_overview_, MF_STRING, kMenuShowDetail, "Zobrazit podrobněji");
  AddMenuItem(popup_overview_, MF_STRING, kMenuCopy, "Kopírovat do schránky");
  return SetMenu(hwnd(), menu) != FALSE;
}

bool TForm1::FormCreate() {
  (void)FixedFormat();  // filled before anything formats a date
  if (!CreateMenus()) return false;
  // A long path cut by its panel is whole in the panel's tip.
  status_bar_ = ctl::Child("msctls_statusbar32", "", SBARS_SIZEGRIP | SBARS_TOOLTIPS, 0, 0, 0, 0,
                           hwnd(), kStatusBarId);
  if (status_bar_ == nullptr || !file_view_.Create(hwnd(), kFileViewId, this)) return false;

  TrackerHost* host = this;
  tracker_ = std::make_unique<Tracker>(paths_, host);
  SearchPanel::Host* sources = this;
  search_panel_ = std::make_unique<SearchPanel>(sources, &file_view_, status_bar_);
  if (!search_panel_->CreatePanel(hwnd(), kSearchPanelId)) return false;
  Configuration config;
  config.main_window = FirstStartPlacement();
  for (int column = 0; column < kListColumnCount; ++column) {
    config.column_widths[column] = file_view_.DefaultColumnWidth(column);
  }
  tracker_->ReadMainOptions(ctl::WorkAreas(), &config);
  ApplyMainOptions(config);
  file_view_.Zobraz(1);
  file_view_.model().Clear();
  file_view_.Reload();
  taskbar_created_ = RegisterWindowMessageA("TaskbarCreated");
  // An elevated copy would not hear the broadcast of an unelevated taskbar
  // (Windows Vista and later; the function is missing before).
  using MessageFilter = BOOL(WINAPI*)(UINT, DWORD);
  const auto allow = reinterpret_cast<MessageFilter>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("user32.dll"), "ChangeWindowMessageFilter")));
  if (allow != nullptr && taskbar_created_ != 0) allow(taskbar_created_, 1 /* MSGFLT_ADD */);
  PostMessageA(hwnd(), WM_DEFERRED_INIT, 0, 0);
  return true;
}

void TForm1::ApplyMainOptions(const Configuration& config) {
  const WindowPlacement& p = config.main_window;
  MoveWindow(hwnd(), p.left, p.top, p.width, p.height, FALSE);
  for (int column = 0; column < kListColumnCount; ++column) {
    file_view_.SetColumnWidth(column, config.column_widths[column]);
  }
  file_view_.model().SetSortSettings(config.sort_column, config.sort_direction);
  search_panel_->SetSearchOptions(config.search_titles, config.search_minimum_seconds);
}

WindowPlacement TForm1::FirstStartPlacement() {
  const int dpi = ui::DpiOf(hwnd());
  SendMessageA(status_bar_, WM_SIZE, 0, 0);
  RECT bar;
  GetWindowRect(status_bar_, &bar);
  MainWindowNeeds needs;
  // The columns, the list's sunken frame and its scroll bar.
  needs.list_width = 2 * ui::MetricAt(SM_CXEDGE, dpi) + ui::MetricAt(SM_CXVSCROLL, dpi);
  for (int column = 0; column < kListColumnCount; ++column) {
    needs.list_width += file_view_.DefaultColumnWidth(column);
  }
  needs.search_panel_width = search_panel_->Width();
  needs.search_panel_height = search_panel_->ContentHeight();
  needs.status_bar_height = bar.bottom - bar.top;
  const LayoutRect client = FirstStartClient(needs, StatusNeeds());
  RECT frame = {0, 0, client.width, client.height};
  ui::AdjustForDpi(&frame, static_cast<DWORD>(GetWindowLongA(hwnd(), GWL_STYLE)), true,
                   static_cast<DWORD>(GetWindowLongA(hwnd(), GWL_EXSTYLE)), dpi);
  const WindowPlacement wanted = ctl::PlacementOf(hwnd());
  return FitInArea(ctl::WorkAreaNear(hwnd()), WindowPlacement{wanted.left, wanted.top,
                                                              frame.right - frame.left,
                                                              frame.bottom - frame.top});
}

void TForm1::DpiChanged(int old_dpi, const RECT& suggested) {
  // The columns keep the share of the window the user gave them.
  for (int column = 0; column < kListColumnCount; ++column) {
    file_view_.SetColumnWidth(column,
                              MulDiv(file_view_.ColumnWidth(column), ui::DpiOf(hwnd()), old_dpi));
  }
  ui::SetChildFonts(hwnd());
  search_panel_->DpiChanged();
  SetStatusBold(!ctl::GetStatusText(status_bar_, 1).empty());
  SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  KeepMinimumWidth();
  FormResize();
}

void TForm1::ApplyOtherWindowOptions(const Configuration& config) {
  App().form2->SetPlacement(config.statistics_editor);
  App().nastaveni->SetPosition(config.settings_dialog.left, config.settings_dialog.top);
  App().nastaveni->SetMinimalniCas(config.minimum_logged_seconds);
  App().nastaveni->SetOtherDataFolders(config.other_data_folders);
  App().nastaveni->SetAway(config.away_enabled, config.away_minutes);
}

void TForm1::DeferredInit() {
  if (deferred_done_) return;
  deferred_done_ = true;
  capture_ = std::make_unique<TExcepCapture>(0, CurrentRunInfo(version_), App().debug_log);
  SetEventSink(capture_.get());
  tracker_->AttachCapture(capture_.get());

  search_panel_->ScrollToTop();
  tray_icon_data_.cbSize = kTrayIconDataSize;
  tray_icon_data_.hWnd = hwnd();
  tray_icon_data_.uID = 0;
  tray_icon_data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  tray_icon_data_.uCallbackMessage = WM_TRAY_NOTIFY;
  tray_icon_data_.hIcon = reinterpret_cast<HICON>(GetClassLongPtrA(hwnd(), GCLP_HICON));
  lstrcpynW(tray_icon_data_.szTip, L"Tramo2", 64);
  if (!NoTrayIcon(App().args)) App().nastaveni->SetCheckIcon(true);

  away_.Start(hwnd());
  hotkey_atom_ = GlobalAddAtomA("Tramo2Shortcut");
  // Held keys would toggle the window at every repeat; a system that refused
  // the flag gets the hotkey without it. Another program may hold the
  // combination: then the program runs without the hotkey, and the user
  // should know why.
  const UINT keys = MOD_ALT | MOD_CONTROL | MOD_SHIFT;
  if (!RegisterHotKey(hwnd(), hotkey_atom_, keys | MOD_NOREPEAT, 0x46) &&
      (GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED ||
       !RegisterHotKey(hwnd(), hotkey_atom_, keys, 0x46))) {
    AddEvent(2, "Klávesovou zkratku Ctrl+Alt+Shift+F nelze zaregistrovat (používá ji jiný "
                "program?) \r\nErrorMessage: " + platform::ErrorText(GetLastError()));
  }

  Configuration config;
  config.settings_dialog = App().nastaveni->Placement();
  // The editor's first size at the DPI it opens at.
  const int dpi = ui::DpiOf(App().form2->hwnd());
  config.statistics_editor.width = Scaled(config.statistics_editor.width, dpi);
  config.statistics_editor.height = Scaled(config.statistics_editor.height, dpi);
  tracker_->ReadOtherWindowOptions(ctl::WorkAreas(), &config);
  ApplyOtherWindowOptions(config);

  tracker_->DataFlush();
  Timer1Timer();
  tracker_->ArmFlushTimer();
  ctl::SetStatusText(status_bar_, 0, FixedDateTimeText(platform::Now()));
  KeepMinimumWidth();
  LayOutStatusBar();
  search_panel_->StartUp();
}

void TForm1::Timer1Timer() {
  const uintptr_t foreground = reinterpret_cast<uintptr_t>(GetForegroundWindow());
  const bool away = away_.IsAwayNow(App().nastaveni->Away());
  if (!tracker_->Tick(foreground, away ? std::string() : ReadWindowTitle(foreground), away)) {
    return;
  }
  if (capture_ != nullptr && capture_->HasNewEvent()) ShowEventNotice();
}

void TForm1::ShowEventNotice() {
  ctl::SetStatusText(status_bar_, 1, "ERR");
  ctl::SetStatusText(status_bar_, 2,
                     "Nová událost v protokolu " + tracker_->ProtocolFile() + " Klepni sem.");
  SetStatusBold(true);
}

void TForm1::SetStatusBold(bool bold) {
  SendMessageA(status_bar_, WM_SETFONT,
               reinterpret_cast<WPARAM>(ui::GuiFontAt(ui::DpiOf(hwnd()), bold)), TRUE);
}

void TForm1::FocusedRowChanged(const std::string& row_text) {
  ctl::SetStatusText(status_bar_, 2, row_text);
  SetStatusBold(false);
}

void TForm1::ContextMenu(int x, int y) {
  HMENU popup = file_view_.model().view_mode() == 3 ? popup_overview_ : popup_activity_;
  TrackPopupMenu(popup, TPM_RIGHTBUTTON, x, y, 0, hwnd(), nullptr);
}

void TForm1::ShowTrayIcon(bool show) {
  tray_icon_wanted_ = show;
  tray_retries_left_ = kTrayRetries;
  if (show) {
    AddTrayIcon();
    return;
  }
  KillTimer(hwnd(), kTimerTray);
  if (tray_icon_shown_) Shell_NotifyIconW(NIM_DELETE, &tray_icon_data_);
  tray_icon_shown_ = false;
}

void TForm1::AddTrayIcon() {
  if (!tray_icon_wanted_ || tray_icon_shown_) return;
  SetLastError(0);
  // An add that timed out may still have been done by a busy taskbar.
  tray_icon_shown_ = Shell_NotifyIconW(NIM_ADD, &tray_icon_data_) != FALSE ||
                     Shell_NotifyIconW(NIM_MODIFY, &tray_icon_data_) != FALSE;
  const DWORD error = GetLastError();
  if (!tray_icon_shown_ && tray_retries_left_-- > 0) {
    SetTimer(hwnd(), kTimerTray, kTrayRetryMs, nullptr);
    return;
  }
  KillTimer(hwnd(), kTimerTray);
  if (tray_icon_shown_) return;
  // The taskbar often sets no error of its own.
  const std::string text = "Ikonu v tray nelze přidat (hlavní panel neodpovídá?), přidá se po "
                           "jeho spuštění.";
  AddEvent(1, error != 0 ? text + " \r\nErrorMessage: " + platform::ErrorText(error) : text);
}

void TForm1::Toggle() {
  if (IsWindowVisible(hwnd())) {
    ShowWindow(hwnd(), SW_HIDE);
    return;
  }
  ShowWindow(hwnd(), SW_SHOW);
  if (IsIconic(hwnd())) ShowWindow(hwnd(), SW_RESTORE);
  SetForegroundWindow(hwnd());
}

void TForm1::FormResize() {
  if (search_panel_ == nullptr) return;  // sized again once the controls exist
  RECT client;
  GetClientRect(hwnd(), &client);
  SendMessageA(status_bar_, WM_SIZE, 0, 0);
  RECT bar;
  GetWindowRect(status_bar_, &bar);
  const int bar_height = bar.bottom - bar.top;
  LayOutStatusBar();
  const int dpi = ui::DpiOf(hwnd());
  const int panel_width = search_panel_->Width();
  const int list_top = 0;
  const int list_width = client.right - (panel_width + Scaled(kSearchPanelMargins, dpi));
  const int height = client.bottom - list_top - bar_height - Scaled(4, dpi);
  MoveWindow(file_view_.hwnd(), 0, list_top, list_width > 0 ? list_width : 0,
             height > 0 ? height : 0, TRUE);
  MoveWindow(search_panel_->hwnd(), list_width + Scaled(10, dpi), list_top, panel_width,
             height > 0 ? height : 0, TRUE);
  // Moved children of a clipping parent are not all repainted by the move.
  RedrawWindow(search_panel_->hwnd(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
  // The size grip would stay painted where the bar's corner was.
  InvalidateRect(status_bar_, nullptr, TRUE);
}

StatusBarNeeds TForm1::StatusNeeds() const {
  const int dpi = ui::DpiOf(hwnd());
  const int margins = 4 * ui::MetricAt(SM_CXEDGE, dpi) + Scaled(4, dpi);
  HFONT bold_font = ui::GuiFontAt(dpi, true);
  // In the bold font, the wider: the event notice makes the whole bar bold,
  // and the panels should neither cut their texts nor move then.
  const auto need = [&](const std::string& text) {
    return static_cast<int>(ui::TextExtent(status_bar_, text, bold_font).cx) + margins;
  };
  StatusBarNeeds needs;
  needs.dpi = dpi;
  needs.start_time = need(ctl::GetStatusText(status_bar_, 0));
  needs.events = need("ERR");  // room kept, so the first event moves nothing
  for (const std::string& text : WidestCounterTexts()) {
    needs.status = std::max(needs.status, need(text));
  }
  needs.grip = ui::MetricAt(SM_CXVSCROLL, dpi);
  return needs;
}

void TForm1::LayOutStatusBar() {
  RECT bar;
  GetClientRect(status_bar_, &bar);
  const StatusParts widths = LayOutStatusParts(StatusNeeds(), bar.right);
  const int parts[3] = {widths.start_time, widths.start_time + widths.events, -1};
  SendMessageA(status_bar_, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts));
}

int TForm1::MinimumWindowWidth() const {
  if (status_bar_ == nullptr || search_panel_ == nullptr) return 0;
  RECT frame = {0, 0, MinimumClientWidth(StatusNeeds(), search_panel_->Width()), 0};
  ui::AdjustForDpi(&frame, static_cast<DWORD>(GetWindowLongA(hwnd(), GWL_STYLE)), false,
                   static_cast<DWORD>(GetWindowLongA(hwnd(), GWL_EXSTYLE)), ui::DpiOf(hwnd()));
  // On a monitor narrower than that the window still fits, cutting texts.
  const ScreenRect area = ctl::WorkAreaNear(hwnd());
  return std::min<int>(frame.right - frame.left, area.right - area.left);
}

void TForm1::FormCanResize(WINDOWPOS* position) {
  if ((position->flags & SWP_NOSIZE) || IsIconic(hwnd())) return;
  const int minimum_height = Scaled(kMinimumHeight, ui::DpiOf(hwnd()));
  if (position->cy < minimum_height) position->cy = minimum_height;
  // Narrower, the status texts or the list would be cut.
  const int minimum = MinimumWindowWidth();
  if (position->cx < minimum) position->cx = minimum;
}

void TForm1::KeepMinimumWidth() {
  RECT window;
  GetWindowRect(hwnd(), &window);
  const int minimum = MinimumWindowWidth();
  if (IsZoomed(hwnd()) || IsIconic(hwnd()) || window.right - window.left >= minimum) return;
  SetWindowPos(hwnd(), nullptr, 0, 0, minimum, window.bottom - window.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm1::ShowHelp() {
  const std::string manual = paths_.exe_dir + "Readme.pdf";
  if (platform::FileExists(manual)) {
    ShellExecuteW(hwnd(), L"open", platform::Wide(manual).c_str(), L"", L"", SW_SHOWNORMAL);
    return;
  }
  const std::string notice = "Soubor nápovědy Readme.pdf nebyl nalezen.";
  AddEvent(1, notice);
  ctl::ShowMessage(hwnd(), notice, MB_OK | MB_ICONINFORMATION);
}

void TForm1::OnCommand(int id) {
  std::string text;
  switch (id) {
    case kMenuDetailStats:
      App().form2->Show();
      break;
    case kMenuLoadHistory:
      search_panel_->LoadHistory();
      break;
    case kMenuShowDetail:
      search_panel_->ShowDetail();
      break;
    case kMenuReport:
      search_panel_->SaveReport();
      break;
    case kMenuSettings:
      App().nastaveni->Show();
      break;
    case kMenuHelp:
      ShowHelp();
      break;
    case kMenuAbout:
      App().about->Show();
      break;
    case kMenuAddToDetail:
      if (file_view_.FocusedRowText(&text)) App().form2->AddPathAndSave(text);
      break;
    case kMenuCopy:
      if (file_view_.FocusedRowText(&text)) ctl::CopyTextToClipboard(hwnd(), text);
      break;
    default:
      break;
  }
}

void TForm1::CloseSequence() {
  if (tracker_ == nullptr || tracker_->closed()) return;
  // A logoff can arrive before the posted start-up step: without it the close
  // would write the dialogs' defaults over the stored settings and leave no session.
  DeferredInit();
  file_view_.Zobraz(0);
  tracker_->Close();
}

void TForm1::FormDestroy() {
  ShowTrayIcon(false);
  UnregisterHotKey(hwnd(), hotkey_atom_);
  away_.Stop(hwnd());
  PostQuitMessage(0);
}

// TrackerHost

void TForm1::EnableTimers(bool enabled) {
  if (timers_killed_) return;
  timers_enabled_ = enabled;
  if (enabled) {
    SetTimer(hwnd(), kTimer1, kSampleIntervalMs, nullptr);
    SetTimer(hwnd(), kTimerFlush, flush_interval_ms_, nullptr);
  } else {
    KillTimer(hwnd(), kTimer1);
    KillTimer(hwnd(), kTimerFlush);
  }
}

void TForm1::SetFlushInterval(int32_t delay_ms) {
  flush_interval_ms_ = static_cast<UINT>(delay_ms);
  if (timers_enabled_ && !timers_killed_) SetTimer(hwnd(), kTimerFlush, flush_interval_ms_, nullptr);
}

void TForm1::KillTimers() {
  timers_killed_ = true;
  timers_enabled_ = false;
  KillTimer(hwnd(), kTimer1);
  KillTimer(hwnd(), kTimerFlush);
}

void TForm1::CollectConfiguration(Configuration* config) {
  config->main_window = ctl::PlacementOf(hwnd());
  config->main_window_maximized = IsZoomed(hwnd()) != FALSE;
  for (int column = 0; column < kListColumnCount; ++column) {
    config->column_widths[column] = file_view_.ColumnWidth(column);
  }
  config->sort_column = file_view_.model().sort_column();
  config->sort_direction = file_view_.model().sort_direction();
  config->search_titles = search_panel_->WithTitles();
  config->search_minimum_seconds = search_panel_->MinSeconds();
  config->statistics_editor = App().form2->Placement();
  config->settings_dialog = App().nastaveni->Placement();
  config->minimum_logged_seconds = App().nastaveni->MinimalniCas();
  config->other_data_folders = App().nastaveni->OtherDataFolders();
  config->away_enabled = App().nastaveni->AwayTicked();
  config->away_minutes = App().nastaveni->AwayMinutes();
}

std::vector<std::string> TForm1::OtherDataFolders() const {
  return App().nastaveni->OtherDataFolders();
}

void TForm1::RedrawLiveList() {
  if (file_view_.model().view_mode() != 1) return;
  const FileView::Focus focus = file_view_.NoteFocus();
  file_view_.model().PrekresliFileView(&tracker_->SessionList());
  file_view_.FollowFocus(focus);
}

std::string TForm1::GetWindowExePath(uintptr_t window) { return ::GetWindowExePath(window); }

bool TForm1::ZaznamenatPodrobne(const std::string& path) {
  return App().form2->ZaznamenatPodrobne(path);
}

void TForm1::LiveRecordChanged(ActivityRecord* record) {
  const FileView::Focus focus = file_view_.NoteFocus();
  const ZmenResult result = file_view_.model().Zmen(record);
  if (result.outcome == ZmenOutcome::kUpdated) file_view_.RedrawRow(result.row);
  if (result.outcome == ZmenOutcome::kAdded) file_view_.FollowFocus(focus);
}

LRESULT TForm1::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == taskbar_created_ && taskbar_created_ != 0) {
    // A taskbar started, late at logon or again after a crash: it knows no
    // icon, also none that failed before.
    tray_icon_shown_ = false;
    if (tray_icon_wanted_) ShowTrayIcon(true);
    return 0;
  }
  switch (message) {
    case WM_CREATE:
      return FormCreate() ? 0 : -1;
    case WM_DEFERRED_INIT:
      DeferredInit();
      return 0;
    case WM_TIMER:
      if (wparam == kTimer1) Timer1Timer();
      if (wparam == kTimerFlush) tracker_->TimerFlushTimer();
      if (wparam == kTimerTray) AddTrayIcon();
      return 0;
    case WM_SIZE:
      FormResize();
      return 0;
    case WM_DPICHANGED:
      DpiChanged(search_panel_->Dpi(), *reinterpret_cast<const RECT*>(lparam));
      return 0;
    case WM_ACTIVATE:
      // Back to the control that had the keyboard, as a dialog does.
      if (LOWORD(wparam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(hwnd(), focus)) last_focus_ = focus;
      } else if (!HIWORD(wparam)) {
        SetFocus(last_focus_ != nullptr && IsWindow(last_focus_) ? last_focus_ : file_view_.hwnd());
      }
      return 0;
    case WM_WINDOWPOSCHANGING:
      FormCanResize(reinterpret_cast<WINDOWPOS*>(lparam));
      return Default(message, wparam, lparam);
    case WM_GETMINMAXINFO: {
      // A border dragged by the user stops at the narrowest layout.
      MINMAXINFO* limits = reinterpret_cast<MINMAXINFO*>(lparam);
      limits->ptMinTrackSize.x = std::max<LONG>(limits->ptMinTrackSize.x, MinimumWindowWidth());
      return 0;
    }
    case WM_SHOWWINDOW:
      if (wparam) file_view_.Sort();
      return Default(message, wparam, lparam);
    case WM_SYSCOMMAND:
      if ((wparam & 0xFFF0) == SC_MINIMIZE) {
        ShowWindow(hwnd(), SW_HIDE);
        return 0;
      }
      return Default(message, wparam, lparam);
    case WM_HOTKEY:
      if (wparam == hotkey_atom_) Toggle();
      return 0;
    case WM_TRAY_NOTIFY:
      if (lparam == WM_LBUTTONDBLCLK) Toggle();
      return 0;
    case WM_SHOW_RUNNING_COPY:
      if (!IsWindowVisible(hwnd())) Toggle();
      SetForegroundWindow(hwnd());
      return 0;
    case WM_WTSSESSION_CHANGE:
      away_.OnSessionChange(wparam);
      return 0;
    case WM_TIMECHANGE:
      Default(message, wparam, lparam);
      tracker_->TimeChanged();
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wparam));
      return 0;
    case WM_NOTIFY: {
      const NMHDR* header = reinterpret_cast<const NMHDR*>(lparam);
      LRESULT result = 0;
      if (file_view_.OnNotify(header, &result)) return result;
      if (header->hwndFrom == status_bar_ && header->code == NM_CLICK &&
          !ctl::GetStatusText(status_bar_, 1).empty()) {
        App().debug_log->Show();  // StatusBar1Click
      }
      return 0;
    }
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      // Windows ends the process after this message: WM_CLOSE never comes.
      // Should it not, the program ends by itself.
      if (wparam) {
        CloseSequence();
        DestroyWindow(hwnd());
      }
      return 0;
    case WM_CLOSE:
      CloseSequence();
      DestroyWindow(hwnd());
      return 0;
    case WM_DESTROY:
      FormDestroy();
      return 0;
    default:
      return Default(message, wparam, lparam);
  }
}
