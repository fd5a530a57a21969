#include "ui/controls_win32.h"

#include "ui/spin_value.h"

namespace ctl {

HWND Child(const char* class_name, const char* text, DWORD style, int x, int y, int width,
           int height, HWND parent, int id, DWORD ex_style) {
  HWND control = CreateWindowExA(ex_style, class_name, text, WS_CHILD | WS_VISIBLE | style, x, y,
                                 width, height, parent, reinterpret_cast<HMENU>(
                                     static_cast<INT_PTR>(id)),
                                 GetModuleHandleA(nullptr), nullptr);
  if (control != nullptr) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GuiFont()), 0);
  return control;
}

std::string GetText(HWND control) {
  const int length = GetWindowTextLengthA(control);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const int read = GetWindowTextA(control, &text[0], length + 1);
  text.resize(read > 0 ? static_cast<size_t>(read) : 0);
  return text;
}

bool Spin::Create(HWND parent, int id, int x, int y, int width, int height, int minimum,
                  int maximum) {
  edit = Child("EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, x, y, width, height, parent, id,
               WS_EX_CLIENTEDGE);
  updown = CreateWindowExA(0, UPDOWN_CLASSA, nullptr,
                           WS_CHILD | WS_VISIBLE | UDS_ALIGNRIGHT | UDS_ARROWKEYS |
                               UDS_SETBUDDYINT | UDS_NOTHOUSANDS,
                           0, 0, 0, 0, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (edit == nullptr || updown == nullptr) return false;
  SendMessageA(updown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
  SendMessageA(updown, UDM_SETRANGE32, static_cast<WPARAM>(minimum), static_cast<LPARAM>(maximum));
  return true;
}

int Spin::Value() const {
  // The edit may hold typed text beyond the up-down's range.
  int minimum = 0;
  int maximum = 0;
  SendMessageA(updown, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&minimum),
               reinterpret_cast<LPARAM>(&maximum));
  return SpinValueOf(GetText(edit), minimum, maximum);
}

void Spin::ShowValue() const {
  const int value = Value();
  if (GetText(edit) != std::to_string(value)) SetValue(value);
}

void Spin::SetValue(int value) const {
  SendMessageA(updown, UDM_SETPOS32, 0, value);
  SetText(edit, std::to_string(value));
}

std::string GetStatusText(HWND bar, int part) {
  const LRESULT info = SendMessageA(bar, SB_GETTEXTLENGTHA, static_cast<WPARAM>(part), 0);
  std::string text(static_cast<size_t>(LOWORD(info)) + 1, '\0');
  SendMessageA(bar, SB_GETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(&text[0]));
  text.resize(LOWORD(info));
  return text;
}

void CenterOnScreen(HWND window) {
  const WindowPlacement now = PlacementOf(window);
  const WindowPlacement centred = CentreIn(WorkAreaNear(window), now.width, now.height);
  SetWindowPos(window, nullptr, centred.left, centred.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

}  // namespace ctl
