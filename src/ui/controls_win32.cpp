#include "ui/controls_win32.h"

#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>

#include "ui/dpi_win32.h"
#include "ui/spin_value.h"

namespace ctl {

HWND Child(const char* class_name, const char* text, DWORD style, int x, int y, int width,
           int height, HWND parent, int id, DWORD ex_style) {
  HWND control = CreateWindowExA(ex_style, class_name, text, WS_CHILD | WS_VISIBLE | style, x, y,
                                 width, height, parent, reinterpret_cast<HMENU>(
                                     static_cast<INT_PTR>(id)),
                                 GetModuleHandleA(nullptr), nullptr);
  if (control != nullptr) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(ui::GuiFontAt(ui::DpiOf(parent))), 0);
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
  // No range here is negative, so digits are all a field takes.
  edit = Child("EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL | ES_NUMBER, x, y, width, height, parent,
               id, WS_EX_CLIENTEDGE);
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
  last_value_ = SpinValueOf(GetText(edit), minimum, maximum, last_value_);
  return last_value_;
}

int Spin::ShowValue() const {
  const int value = Value();
  if (GetText(edit) != std::to_string(value)) SetValue(value);
  return value;
}

void Spin::SetValue(int value) const {
  last_value_ = value;
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

namespace {

int CALLBACK OpenAtFolder(HWND chooser, UINT message, LPARAM, LPARAM folder) {
  if (message == BFFM_INITIALIZED && folder != 0) {
    SendMessageA(chooser, BFFM_SETSELECTIONA, TRUE, folder);
  }
  return 0;
}

}  // namespace

bool AskFolder(HWND owner, const char* title, std::string* folder) {
  // The resizable chooser with its path field needs COM in this thread.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  BROWSEINFOA browse = {};
  browse.hwndOwner = owner;
  browse.lpszTitle = title;
  browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_EDITBOX;
  browse.lpfn = OpenAtFolder;
  browse.lParam = folder->empty() ? 0 : reinterpret_cast<LPARAM>(folder->c_str());
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderA(&browse);
  char path[MAX_PATH] = {};
  const bool found = chosen != nullptr && SHGetPathFromIDListA(chosen, path);
  if (chosen != nullptr) CoTaskMemFree(chosen);
  if (SUCCEEDED(com)) CoUninitialize();
  if (found) *folder = path;
  return found;
}

bool AskSavePath(HWND owner, const char* title, const std::string& folder,
                 const char* extension, std::string* path) {
  std::string file = *path;
  file.resize(std::max<size_t>(file.size() + 1, MAX_PATH), '\0');
  OPENFILENAMEA dialog = {};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  dialog.lpstrTitle = title;
  dialog.lpstrFile = &file[0];
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrInitialDir = folder.c_str();
  dialog.lpstrDefExt = extension;
  dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
  if (!GetSaveFileNameA(&dialog)) return false;
  *path = file.c_str();
  return true;
}

void CenterOnScreen(HWND window) {
  const WindowPlacement now = PlacementOf(window);
  const WindowPlacement centred = CentreIn(WorkAreaNear(window), now.width, now.height);
  SetWindowPos(window, nullptr, centred.left, centred.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

}  // namespace ctl
