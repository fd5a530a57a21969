#include "views/form2_win32.h"

#include <algorithm>

#include "ui/controls_win32.h"
#include "ui/dpi_win32.h"
#include "ui/layout.h"
#include "ui/dialog_keys_win32.h"
#include "ui/sizing_win32.h"

namespace {

constexpr int kMemoId = ui::kFirstControlId;
// Enter and Escape of the dialog manager mean these two buttons.
constexpr int kSaveId = IDOK;
constexpr int kCancelId = IDCANCEL;

}  // namespace

bool TForm2::CreateForm() {
  const int dpi = ui::SystemDpi();
  if (!Create(WS_OVERLAPPEDWINDOW, WS_EX_TOPMOST, "Podrobné statistiky - Tramo2", 100, 100,
              Scaled(487, dpi), Scaled(274, dpi), nullptr, nullptr)) {
    return false;
  }
  memo_ = ctl::Child("EDIT", "", WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                                     ES_WANTRETURN,
                     8, 8, 10, 10, hwnd(), kMemoId, WS_EX_CLIENTEDGE);
  // Neither button takes the focus by Tab.
  save_ = ctl::Child("BUTTON", "&Ulož", BS_DEFPUSHBUTTON, 0, 0, 75, 25, hwnd(), kSaveId);
  cancel_ = ctl::Child("BUTTON", "&Storno", BS_PUSHBUTTON, 0, 0, 75, 25, hwnd(), kCancelId);
  if (memo_ == nullptr || save_ == nullptr || cancel_ == nullptr) return false;
  ui::EscapeCancels(memo_);
  Layout();
  Nacti();
  return true;
}

void TForm2::Nacti() {
  list_.Load(list_path_);
  ctl::SetText(memo_, list_.text());
  const int end = GetWindowTextLengthW(memo_);
  SendMessageA(memo_, EM_SETSEL, end, end);
}

void TForm2::Show() {
  Nacti();
  ShowWindow(hwnd(), SW_SHOW);
  SetForegroundWindow(hwnd());
}

bool TForm2::ZaznamenatPodrobne(const std::string& path) const {
  return list_.ZaznamenatPodrobne(path);
}

void TForm2::TakeEditedText() {
  const std::string text = ctl::GetText(memo_);
  if (text != list_.text()) list_.SetText(text);
}

void TForm2::ButtonUlozClick() {
  TakeEditedText();
  list_.Save(list_path_);  // a failure is an event; the window hides anyway
  ShowWindow(hwnd(), SW_HIDE);
}

void TForm2::AddPathAndSave(const std::string& path) {
  TakeEditedText();
  if (!list_.AddPath(path)) return;
  ctl::SetText(memo_, list_.text());
  ButtonUlozClick();
}

WindowPlacement TForm2::Placement() const { return ctl::PlacementOf(hwnd()); }

void TForm2::SetPlacement(const WindowPlacement& placement) {
  MoveWindow(hwnd(), placement.left, placement.top, placement.width, placement.height, TRUE);
}

void TForm2::Layout() {
  RECT rect;
  GetWindowRect(hwnd(), &rect);
  int width = 0;
  int height = 0;
  DetailEditorFieldSize(rect.right - rect.left, rect.bottom - rect.top, &width, &height);
  RECT client;
  GetClientRect(hwnd(), &client);
  const int dpi = ui::DpiOf(hwnd());
  // Anchored bottom right, 75 x 25 or what their captions need.
  const SIZE save = ui::FittedSize(save_, Scaled(75, dpi), Scaled(25, dpi));
  const SIZE cancel = ui::FittedSize(cancel_, Scaled(75, dpi), Scaled(25, dpi));
  const int save_left = client.right - Scaled(8, dpi) - save.cx;
  const int buttons_top = client.bottom - Scaled(6, dpi) - std::max(save.cy, cancel.cy);
  // The frame is wider at a higher DPI: the text never reaches under the buttons.
  MoveWindow(memo_, 0, 0, std::min<int>(width, client.right),
             std::min<int>(height, buttons_top - Scaled(4, dpi)), TRUE);
  MoveWindow(save_, save_left, client.bottom - Scaled(6, dpi) - save.cy, save.cx, save.cy, TRUE);
  MoveWindow(cancel_, save_left - Scaled(8, dpi) - cancel.cx,
             client.bottom - Scaled(6, dpi) - cancel.cy, cancel.cx, cancel.cy, TRUE);
}

LRESULT TForm2::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_SIZE:
      Layout();
      return 0;
    case WM_DPICHANGED:
      ui::TakeSuggestedRect(hwnd(), lparam);
      Layout();
      return 0;
    case WM_CLOSE:
      ShowWindow(hwnd(), SW_HIDE);
      return 0;
    case WM_ACTIVATE:
      // The text is what the window is for: typing goes there, at the caret
      // Nacti put at the end (the buttons are reached by their mnemonics).
      if (LOWORD(wparam) != WA_INACTIVE && !HIWORD(wparam)) SetFocus(memo_);
      return 0;
    case WM_COMMAND:
      if (HIWORD(wparam) == EN_CHANGE && LOWORD(wparam) == kMemoId) {
        TakeEditedText();  // edits act on the sampling at once
      } else if (LOWORD(wparam) == kSaveId) {
        ButtonUlozClick();
      } else if (LOWORD(wparam) == kCancelId) {
        ShowWindow(hwnd(), SW_HIDE);  // Button2Click
      }
      return 0;
    default:
      return Default(message, wparam, lparam);
  }
}
