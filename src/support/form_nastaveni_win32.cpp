#include "support/form_nastaveni_win32.h"

#include <algorithm>
#include <climits>

#include "app/configuration.h"
#include "platform/system.h"
#include "support/autostart.h"
#include "support/autostart_win32.h"
#include "ui/control_layout_win32.h"
#include "ui/dpi_win32.h"
#include "ui/dialog_keys_win32.h"

namespace {

constexpr int kSpinId = ui::kFirstControlId;
constexpr int kCheckIconId = ui::kFirstControlId + 1;
constexpr int kRadioFirstId = ui::kFirstControlId + 2;
constexpr int kCloseId = ui::kFirstControlId + 5;
constexpr int kOtherFoldersId = ui::kFirstControlId + 6;
constexpr int kAddFolderId = ui::kFirstControlId + 7;
constexpr int kRemoveFolderId = ui::kFirstControlId + 8;
constexpr int kCheckAwayId = ui::kFirstControlId + 9;
constexpr int kAwaySpinId = ui::kFirstControlId + 10;
// The design: client area 254 x 482, controls up to 246 across, the last
// one 15 above the bottom. The group box is the fourth control placed.
constexpr int kClientWidth = 254;
constexpr int kClientHeight = 482;
constexpr int kDesignWidth = 246;
constexpr int kDesignMargin = kClientWidth - kDesignWidth;
constexpr int kBottomMargin = 15;
constexpr size_t kGroupIndex = 3;
const char* const kRadioItems[3] = {"Nespouštět", "Spustit v tomto profilu",
                                    "Spustit u všech uživatelů"};

std::string ParentFolder(const std::string& folder) {
  const size_t end = folder.find_last_not_of("\\/");
  const size_t slash = end == std::string::npos ? end : folder.find_last_of("\\/", end);
  return slash == std::string::npos ? std::string() : folder.substr(0, slash);
}

void AddListItem(HWND list, const std::string& text) {
  SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(platform::Wide(text).c_str()));
}

}  // namespace

bool TFormNastaveni::CreateForm() {
  if (!CreateToolWindow("Nastavení - Tramo2", kClientWidth, kClientHeight)) return false;
  HWND parent = hwnd();
  layout_.Child("STATIC", "Minimální logovaný čas (s)", 0, {8, 12, 150, 16}, Anchor::kLeft, parent,
               -1);
  // A negative minimum would drop every record: the box stops at 0.
  if (!spin_minimum_.Create(parent, kSpinId, 160, 8, 80, 22, 0, INT_MAX)) return false;
  layout_.AddSpin(spin_minimum_, {160, 8, 80, 22}, Anchor::kRight);
  spin_minimum_.SetValue(60);
  check_icon_ =
      layout_.Child("BUTTON", "Ikonu v tray (pro zobrazení slouží zkratka Ctrl+Alt+Shift+F)",
                   WS_TABSTOP | BS_AUTOCHECKBOX | BS_MULTILINE, {8, 40, 238, 34}, Anchor::kStretch,
                   parent, kCheckIconId);
  group_ = layout_.Child("BUTTON", "Při startu systému", BS_GROUPBOX, {8, 84, 238, 100},
                            Anchor::kStretch, parent, -1);
  // One group for the arrow keys; SelectRadioRun gives its chosen item the
  // group's one tab stop.
  for (int item = 0; item < 3; ++item) {
    radio_[item] = layout_.Child("BUTTON", kRadioItems[item],
                                BS_AUTORADIOBUTTON | (item == 0 ? WS_GROUP | WS_TABSTOP : 0),
                                {20, 106 + item * 24, 220, 20}, Anchor::kLeft, parent,
                                kRadioFirstId + item);
  }
  check_away_ = layout_.Child("BUTTON", "Nepočítat čas bez práce s klávesnicí a myší po",
                             WS_GROUP | WS_TABSTOP | BS_AUTOCHECKBOX | BS_MULTILINE,
                             {8, 192, 238, 34}, Anchor::kStretch, parent, kCheckAwayId);
  if (!spin_away_.Create(parent, kAwaySpinId, 24, 230, 60, 22, 1, 120)) return false;
  layout_.AddSpin(spin_away_, {24, 230, 60, 22}, Anchor::kLeft);
  spin_away_.SetValue(5);
  EnableWindow(spin_away_.edit, FALSE);
  EnableWindow(spin_away_.updown, FALSE);
  layout_.Child("STATIC", "minutách", 0, {90, 234, 100, 16}, Anchor::kLeft, parent, -1);
  layout_.Child("STATIC", "Data dalších počítačů:", 0, {8, 262, 238, 16}, Anchor::kLeft, parent,
               -1);
  other_folders_ = layout_.Child("LISTBOX", "",
                                WS_TABSTOP | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY,
                                {8, 280, 238, 64}, Anchor::kStretch, parent, kOtherFoldersId,
                                WS_EX_CLIENTEDGE);
  HWND add = layout_.Child("BUTTON", "&Přidat…", WS_TABSTOP | BS_PUSHBUTTON, {8, 350, 80, 25},
                          Anchor::kLeft, parent, kAddFolderId);
  HWND remove = layout_.Child("BUTTON", "&Odebrat", WS_TABSTOP | BS_PUSHBUTTON,
                             {96, 350, 80, 25}, Anchor::kLeft, parent, kRemoveFolderId);
  layout_.Child("STATIC", "Pozn.: zvolené hodnoty se ihned projeví", 0, {8, 386, 238, 16},
               Anchor::kLeft, parent, -1);
  close_ = layout_.Child("BUTTON", "&Zavřít", WS_TABSTOP | BS_DEFPUSHBUTTON, {88, 442, 80, 25},
                        Anchor::kLeft, parent, kCloseId);
  if (check_icon_ == nullptr || group_ == nullptr || radio_[2] == nullptr ||
      check_away_ == nullptr || other_folders_ == nullptr || add == nullptr || remove == nullptr || close_ == nullptr) {
    return false;
  }
  FitToContent();
  return true;
}

void TFormNastaveni::FitToContent() {
  const int dpi = ui::DpiOf(hwnd());
  const PanelLayout layout = layout_.Apply(kDesignWidth, 0, dpi);
  // The group frames its three items however tall they grew.
  const LayoutRect& frame = layout.rects[kGroupIndex];
  const LayoutRect& last = layout.rects[kGroupIndex + 3];
  const int frame_bottom =
      std::max(frame.top + frame.height, last.top + last.height + Scaled(10, dpi));
  MoveWindow(group_, frame.left, frame.top, frame.width, frame_bottom - frame.top, FALSE);
  const int width = std::max(Scaled(kClientWidth, dpi), layout.width + Scaled(kDesignMargin, dpi));
  const int height =
      std::max(Scaled(kClientHeight, dpi), layout.height + Scaled(kBottomMargin, dpi));
  RECT outer = {0, 0, width, height};
  ui::AdjustForDpi(&outer, GetWindowLongA(hwnd(), GWL_STYLE), false,
                   GetWindowLongA(hwnd(), GWL_EXSTYLE), dpi);
  SetWindowPos(hwnd(), nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TFormNastaveni::Show() {
  // Offered only where its entry can be written: otherwise the choice could
  // only fall back to "Nespouštět" (asked at each showing, rights change).
  EnableWindow(radio_[kStartModeAllUsers], WindowsAutostart::CanWriteAllUsers());
  ShowWindow(hwnd(), SW_SHOW);
  SetForegroundWindow(hwnd());
  // As a dialog opens: the first field has the keyboard, its text selected.
  SetFocus(spin_minimum_.edit);
  SendMessageA(spin_minimum_.edit, EM_SETSEL, 0, -1);
}

void TFormNastaveni::SetCheckIcon(bool ticked) {
  ctl::SetChecked(check_icon_, ticked);
  CheckIconClick();
}

int TFormNastaveni::RadioRunItem() const {
  for (int item = 0; item < 3; ++item) {
    if (ctl::IsChecked(radio_[item])) return item;
  }
  return kStartModeNone;
}

void TFormNastaveni::SelectRadioRun(int item) {
  // Tab enters the group at its chosen item (the first when none is).
  const int tab_stop = item >= 0 && item < 3 ? item : 0;
  for (int i = 0; i < 3; ++i) {
    ctl::SetChecked(radio_[i], i == item);
    const LONG style = GetWindowLongA(radio_[i], GWL_STYLE);
    SetWindowLongA(radio_[i], GWL_STYLE, i == tab_stop ? style | WS_TABSTOP : style & ~WS_TABSTOP);
  }
}

void TFormNastaveni::CheckIconClick() {
  SelectRadioRun(kStartModeNone);
  tray_icon_(CheckIcon());
}

void TFormNastaveni::RadioRunClick() {
  const int item = RadioRunItem();
  if (item == kStartModeNone) return;
  WindowsAutostart entries(platform::ExecutablePath());
  SelectRadioRun(ApplyStartMode(&entries, item, CheckIcon()));
}

AwayRule TFormNastaveni::Away() const {
  return AwayRule{ctl::IsChecked(check_away_) ? static_cast<uint32_t>(spin_away_.Value()) : 0u};
}

void TFormNastaveni::SetAway(bool on, int32_t minutes) {
  ctl::SetChecked(check_away_, on);
  spin_away_.SetValue(minutes);
  spin_away_.ShowValue();  // clamped into 1-120
  CheckAwayClick();
}

void TFormNastaveni::CheckAwayClick() {
  const BOOL on = ctl::IsChecked(check_away_) ? TRUE : FALSE;
  EnableWindow(spin_away_.edit, on);
  EnableWindow(spin_away_.updown, on);
}

std::vector<std::string> TFormNastaveni::OtherDataFolders() const {
  std::vector<std::string> folders;
  const LRESULT count = SendMessageA(other_folders_, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::wstring folder(static_cast<size_t>(SendMessageW(other_folders_, LB_GETTEXTLEN, i, 0)) + 1,
                        L'\0');
    SendMessageW(other_folders_, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&folder[0]));
    folders.push_back(platform::Narrow(folder.c_str(), lstrlenW(folder.c_str())));
  }
  return folders;
}

void TFormNastaveni::SetOtherDataFolders(const std::vector<std::string>& folders) {
  SendMessageA(other_folders_, LB_RESETCONTENT, 0, 0);
  for (const std::string& folder : folders) {
    AddListItem(other_folders_, folder);
  }
}

void TFormNastaveni::AddOtherDataFolder() {
  // Other computers' folders are most often beside this one's (a synced folder).
  std::string folder = ParentFolder(own_data_dir_);
  if (!ctl::AskFolder(hwnd(), "Složka s daty dalšího počítače", &folder)) return;
  if (!AcceptsOtherDataFolder(OtherDataFolders(), own_data_dir_, folder)) {
    ctl::ShowMessage(hwnd(), "Tuto složku nelze přidat: jsou v ní data tohoto počítače, nebo už "
                     "je v seznamu.", MB_OK | MB_ICONINFORMATION);
    return;
  }
  AddListItem(other_folders_, folder);
}

void TFormNastaveni::RemoveOtherDataFolder() {
  const LRESULT selected = SendMessageA(other_folders_, LB_GETCURSEL, 0, 0);
  if (selected != LB_ERR) SendMessageA(other_folders_, LB_DELETESTRING, selected, 0);
}

WindowPlacement TFormNastaveni::Placement() const { return ctl::PlacementOf(hwnd()); }

void TFormNastaveni::SetPosition(int32_t left, int32_t top) {
  SetWindowPos(hwnd(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT TFormNastaveni::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CLOSE:
      ShowWindow(hwnd(), SW_HIDE);
      return 0;
    case WM_DPICHANGED: {
      const RECT* suggested = reinterpret_cast<const RECT*>(lparam);
      SetWindowPos(hwnd(), nullptr, suggested->left, suggested->top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      FitToContent();
      InvalidateRect(hwnd(), nullptr, TRUE);
      return 0;
    }
    case WM_COMMAND: {
      const int id = LOWORD(wparam);
      if (id == IDCANCEL) {
        ShowWindow(hwnd(), SW_HIDE);
        return 0;
      }
      if (id == IDOK) {
        ui::PressButton(ui::ButtonForEnter(hwnd(), close_));
        return 0;
      }
      if (id == kSpinId && HIWORD(wparam) == EN_KILLFOCUS) spin_minimum_.ShowValue();
      if (id == kAwaySpinId && HIWORD(wparam) == EN_KILLFOCUS) spin_away_.ShowValue();
      if (HIWORD(wparam) != BN_CLICKED) return 0;
      if (id == kCheckIconId) {
        CheckIconClick();
      } else if (id >= kRadioFirstId && id < kRadioFirstId + 3) {
        SelectRadioRun(id - kRadioFirstId);
        RadioRunClick();
      } else if (id == kCheckAwayId) {
        CheckAwayClick();
      } else if (id == kAddFolderId) {
        AddOtherDataFolder();
      } else if (id == kRemoveFolderId) {
        RemoveOtherDataFolder();
      } else if (id == kCloseId) {
        ShowWindow(hwnd(), SW_HIDE);
      }
      return 0;
    }
    default:
      return Default(message, wparam, lparam);
  }
}
