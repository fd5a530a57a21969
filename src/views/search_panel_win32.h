#ifndef TRAMO_VIEWS_SEARCH_PANEL_WIN32_H_
#define TRAMO_VIEWS_SEARCH_PANEL_WIN32_H_

#include <windows.h>

#include <string>
#include <vector>

#include "ui/controls_win32.h"
#include "ui/control_layout_win32.h"
#include "ui/window_win32.h"
#include "views/date_range.h"
#include "views/search.h"

class CGlobal;
class CSez;
class FileView;

// The search panel ScrollVyhledavani right of the list: the date range,
// search and overview controls. It reads its controls, calls the portable
// engines on the tracker's databases and fills the list.
class SearchPanel : public Window {
 public:
  // The running tracker's lists and its live-update switch (CheckFileview).
  class Host {
   public:
    virtual ~Host() = default;
    virtual CGlobal& HistoryDb() = 0;
    virtual CGlobal& ResultDb() = 0;
    virtual CSez& SessionList() = 0;
    virtual const std::string& DataDir() const = 0;
    virtual std::vector<std::string> OtherDataFolders() const = 0;
    virtual void SetLiveUpdates(bool on) = 0;
  };

  // The design width; the panel grows when its controls need more room.
  static constexpr int kWidth = 185;

  SearchPanel(Host* tracker, FileView* file_view, HWND status_bar)
      : tracker_(tracker), file_view_(file_view), status_bar_(status_bar) {}
  bool CreatePanel(HWND parent, int id);
  const char* ClassName() const override { return "TScrollBox"; }
  // The panel's width: the design's, or more when the controls need it.
  int Width() const;
  // The height that shows every control without scrolling.
  int ContentHeight() const { return content_height_; }
  // Lays the controls out again at the DPI the panel now has.
  void DpiChanged();
  // The DPI the controls were last laid out at.
  int Dpi() const { return dpi_; }

  // Nasthistorii1Click.
  void LoadHistory();
  // ButtonHledejClick.
  void Search();
  // ButtonPrehledClick.
  void Overview();
  // ButtonZrusClick.
  void Cancel();
  // "Zobrazit podrobněji" on the focused overview row.
  void ShowDetail();
  // "Sestava…": the report of the calendars' range, saved where the user
  // chooses and opened.
  void SaveReport();

  // Stored search options ("ChTitulek", "SpMinCas").
  void SetSearchOptions(bool with_titles, int32_t min_seconds);
  bool WithTitles() const { return ctl::IsChecked(check_titles_); }
  int32_t MinSeconds() const { return spin_min_.ShowValue(); }
  // Deferred start-up: "Seance" selected, spinners from the calendars.
  void StartUp();
  void ScrollToTop();

 protected:
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  bool CreateControls();
  void LayOutControls();
  void AddHint(HWND control, const char* text);
  void SetStatus(const std::string& text);
  void EnsureLoaded();
  DatePicker ReadPicker(int which) const;
  void WritePicker(int which, const DatePicker& picker);
  void OnSpinnerChanged(int id);
  void OnCalendarDoubleClick(int which);
  void OnCommand(int id, int code);
  void Scroll(int code);
  static LRESULT CALLBACK ControlProc(HWND control, UINT message, WPARAM wparam, LPARAM lparam,
                                      UINT_PTR id, DWORD_PTR self);

  Host* tracker_;
  FileView* file_view_;
  HWND status_bar_;
  HWND calendar_[2] = {};
  ctl::Spin spin_month_[2];
  ctl::Spin spin_year_[2];
  HWND first_day_ = nullptr;
  HWND today_ = nullptr;
  HWND edit_name_ = nullptr;
  HWND check_titles_ = nullptr;
  HWND edit_title_ = nullptr;
  ctl::Spin spin_min_;
  HWND search_ = nullptr;
  HWND cancel_ = nullptr;
  HWND overview_ = nullptr;
  HWND combo_ = nullptr;
  HWND tooltip_ = nullptr;
  DetailRange detail_;
  bool syncing_ = false;
  ui::ControlLayout layout_;
  int dpi_ = 96;
  int content_width_ = 0;
  int content_height_ = 0;
  int scroll_ = 0;
  DWORD last_click_[2] = {};
};

#endif  // TRAMO_VIEWS_SEARCH_PANEL_WIN32_H_
