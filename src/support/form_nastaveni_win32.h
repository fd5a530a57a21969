#ifndef TRAMO_SUPPORT_FORM_NASTAVENI_WIN32_H_
#define TRAMO_SUPPORT_FORM_NASTAVENI_WIN32_H_


#include <string>
#include <vector>

#include "monitor/sampler.h"
#include "ui/window_placement.h"
#include "ui/controls_win32.h"
#include "ui/control_layout_win32.h"
#include "ui/layout.h"
#include "ui/window_win32.h"

// The settings dialog: minimum logged time, tray icon, start with the system.
class TFormNastaveni : public Window {
 public:
  // Adds (true) or removes the main window's tray icon.
  using TrayIconSwitch = void (*)(bool show);

  TFormNastaveni(TrayIconSwitch tray_icon, const std::string& own_data_dir)
      : tray_icon_(tray_icon), own_data_dir_(own_data_dir) {}
  bool CreateForm();
  const char* ClassName() const override { return "TFormNastaveni"; }
  void Show();

  // Ticks or unticks CheckIcon as a click would (deferred start-up).
  void SetCheckIcon(bool ticked);
  bool CheckIcon() const { return ctl::IsChecked(check_icon_); }
  // SpinMinimalniCas.
  int32_t MinimalniCas() const { return spin_minimum_.ShowValue(); }
  void SetMinimalniCas(int32_t seconds) const { spin_minimum_.SetValue(seconds); }
  // The selected RadioRun item, -1 for none.
  int RadioRunItem() const;
  // "Nepočítat čas bez práce s klávesnicí a myší po N minutách": minutes 0
  // while unticked. Read at every sample, so it shows what is typed.
  AwayRule Away() const;
  bool AwayTicked() const { return ctl::IsChecked(check_away_); }
  int32_t AwayMinutes() const { return spin_away_.ShowValue(); }
  void SetAway(bool on, int32_t minutes);
  // "Data dalších počítačů": folders "Načíst historii" reads after the own.
  std::vector<std::string> OtherDataFolders() const;
  void SetOtherDataFolders(const std::vector<std::string>& folders);

  WindowPlacement Placement() const;
  void SetPosition(int32_t left, int32_t top);

 protected:
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  void CheckIconClick();
  void RadioRunClick();
  void SelectRadioRun(int item);
  void CheckAwayClick();
  void AddOtherDataFolder();
  void RemoveOtherDataFolder();
  // Grows the dialog to what its controls need (never below the design).
  // Lays the controls out at the window's DPI and sizes the window to them.
  void FitToContent();

  TrayIconSwitch tray_icon_;
  std::string own_data_dir_;
  ctl::Spin spin_minimum_;
  HWND check_icon_ = nullptr;
  HWND radio_[3] = {};
  HWND check_away_ = nullptr;
  ctl::Spin spin_away_;
  HWND other_folders_ = nullptr;
  HWND close_ = nullptr;
  HWND group_ = nullptr;
  ui::ControlLayout layout_;
};

#endif  // TRAMO_SUPPORT_FORM_NASTAVENI_WIN32_H_
