#ifndef TRAMO_APP_FORM1_WIN32_H_
#define TRAMO_APP_FORM1_WIN32_H_

#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>

#include "app/configuration.h"
#include "app/tracker.h"
#include "monitor/away_win32.h"
#include "ui/layout.h"
#include "ui/window_win32.h"
#include "support/excep_capture.h"
#include "views/file_view_win32.h"
#include "views/search_panel_win32.h"

// Private messages of the main window.
constexpr UINT WM_TRAY_NOTIFY = WM_USER;              // tray icon mouse events
constexpr UINT WM_DEFERRED_INIT = WM_USER + 300;      // start-up steps after all windows exist
constexpr UINT WM_SHOW_RUNNING_COPY = WM_USER + 301;  // a second start asks to be shown

// The main window: owns the running tracker, the live list, the tray icon
// and the hotkey; translates their messages into calls on the tracker.
class TForm1 : public Window,
               private TrackerHost,
               private FileView::Listener,
               private SearchPanel::Host {
 public:
  TForm1(const TrackerPaths& paths, const std::string& version);
  ~TForm1() override;
  bool CreateForm();
  const char* ClassName() const override { return "TForm1"; }

  // Adds or removes the tray icon (the settings dialog's CheckIcon); an icon
  // the taskbar refuses is tried again for a while.
  void ShowTrayIcon(bool show);
  // Hides a visible window; shows, restores and brings forward a hidden one.
  void Toggle();

  Tracker* tracker() { return tracker_.get(); }
  FileView& file_view() { return file_view_; }

 protected:
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  // Creation and start-up.
  bool FormCreate();
  void DeferredInit();
  void ApplyMainOptions(const Configuration& config);
  void ApplyOtherWindowOptions(const Configuration& config);
  // The list with every column whole beside the whole search panel, at the
  // font and DPI in effect, as much as the monitor's work area holds.
  WindowPlacement FirstStartPlacement();
  // WM_DPICHANGED: fonts and layout at the new DPI, in the suggested rectangle.
  void DpiChanged(int old_dpi, const RECT& suggested);
  bool CreateMenus();
  // The close query and the end of the Windows session alike.
  void CloseSequence();
  void FormDestroy();

  void Timer1Timer();
  void FormResize();
  // Raises a requested size below the narrowest layout (and 30 pixels high).
  void FormCanResize(WINDOWPOS* position);
  // Widens the window when a status text set since needs more room.
  void KeepMinimumWidth();
  int MinimumWindowWidth() const;
  StatusBarNeeds StatusNeeds() const;
  void LayOutStatusBar();
  void OnCommand(int id);
  void ShowHelp();
  void ShowEventNotice();
  void AddTrayIcon();
  void SetStatusBold(bool bold);

  // TrackerHost
  void EnableTimers(bool enabled) override;
  void SetFlushInterval(int32_t delay_ms) override;
  void KillTimers() override;
  void CollectConfiguration(Configuration* config) override;
  void RedrawLiveList() override;
  std::string GetWindowExePath(uintptr_t window) override;
  bool ZaznamenatPodrobne(const std::string& path) override;
  void LiveRecordChanged(ActivityRecord* record) override;

  // FileView::Listener
  void FocusedRowChanged(const std::string& row_text) override;
  void ContextMenu(int x, int y) override;

  // SearchPanel::Host, forwarded to the tracker.
  CGlobal& HistoryDb() override { return tracker_->HistoryDb(); }
  CGlobal& ResultDb() override { return tracker_->ResultDb(); }
  CSez& SessionList() override { return tracker_->SessionList(); }
  const std::string& DataDir() const override { return tracker_->DataDir(); }
  void SetLiveUpdates(bool on) override { tracker_->SetLiveUpdates(on); }
  std::vector<std::string> OtherDataFolders() const override;

  TrackerPaths paths_;
  std::string version_;
  std::unique_ptr<Tracker> tracker_;
  std::unique_ptr<TExcepCapture> capture_;
  FileView file_view_;
  HWND status_bar_ = nullptr;
  HWND last_focus_ = nullptr;
  std::unique_ptr<SearchPanel> search_panel_;
  HMENU popup_activity_ = nullptr;
  HMENU popup_overview_ = nullptr;
  NOTIFYICONDATAW tray_icon_data_ = {};
  bool tray_icon_wanted_ = false;
  bool tray_icon_shown_ = false;
  int tray_retries_left_ = 0;
  ATOM hotkey_atom_ = 0;
  AwayWatch away_;
  UINT taskbar_created_ = 0;
  bool deferred_done_ = false;
  bool timers_enabled_ = false;
  bool timers_killed_ = false;
  UINT flush_interval_ms_ = 3600000;
};

#endif  // TRAMO_APP_FORM1_WIN32_H_
