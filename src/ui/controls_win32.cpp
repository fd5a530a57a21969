#include "ui/controls_win32.h"

#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>

#include "ui/dpi_win32.h"
#include "ui/spin_value.h"

namespace ctl {

HWND Child(const char* class_name, const char* text, DWORD style, int x, int y, int width,
           int height, HWND parent, int id, DWORD ex_style) {
  HWND control = CreateWindowExW(ex_style, platform::Wide(class_name).c_str(),
                                 platform::Wide(text).c_str(), WS_CHILD | WS_VISIBLE | style, x, y,
                                 width, height, parent, reinterpret_cast<HMENU>(
                                     static_cast<INT_PTR>(id)),
                                 GetModuleHandleA(nullptr), nullptr);
  if (control != nullptr) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(ui::GuiFontAt(ui::DpiOf(parent))), 0);
  return control;
}

std::string GetText(HWND control) {
  const int length = GetWindowTextLengthW(control);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int read = GetWindowTextW(control, &text[0], length + 1);
  return platform::Narrow(text.data(), read);
}

bool Spin::Create(HWND parent, int id, int x, int y, int width, int height, int minimum,
                  int maximum) {
  // No range here is negative, so digits are all a field takes.
  edit = Child("EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL | ES_NUMBER, x, y, width, height, parent,
               id, WS_EX_CLIENTEDGE);
  updown = CreateWindowExW(0, UPDOWN_CLASSW, nullptr,
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
  const LRESULT info = SendMessageW(bar, SB_GETTEXTLENGTHW, static_cast<WPARAM>(part), 0);
  std::wstring text(static_cast<size_t>(LOWORD(info)) + 1, L'\0');
  SendMessageW(bar, SB_GETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(&text[0]));
  return platform::Narrow(text.data(), LOWORD(info));
}

namespace {

int CALLBACK OpenAtFolder(HWND chooser, UINT message, LPARAM, LPARAM folder) {
  if (message == BFFM_INITIALIZED && folder != 0) {
    SendMessageW(chooser, BFFM_SETSELECTIONW, TRUE, folder);
  }
  return 0;
}

}  // namespace

bool AskFolder(HWND owner, const char* title, std::string* folder) {
  // The resizable chooser with its path field needs COM in this thread.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const std::wstring wide_title = platform::Wide(title);
  const std::wstring start = platform::Wide(*folder);
  BROWSEINFOW browse = {};
  browse.hwndOwner = owner;
  browse.lpszTitle = wide_title.c_str();
  browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_EDITBOX;
  browse.lpfn = OpenAtFolder;
  browse.lParam = start.empty() ? 0 : reinterpret_cast<LPARAM>(start.c_str());
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse);
  wchar_t path[MAX_PATH] = {};
  const bool found = chosen != nullptr && SHGetPathFromIDListW(chosen, path);
  if (chosen != nullptr) CoTaskMemFree(chosen);
  if (SUCCEEDED(com)) CoUninitialize();
  if (found) *folder = platform::Narrow(path, lstrlenW(path));
  return found;
}

bool AskSavePath(HWND owner, const char* title, const std::string& folder,
                 const char* extension, std::string* path) {
  std::wstring file = platform::Wide(*path);
  file.resize(std::max<size_t>(file.size() + 1, MAX_PATH), L'\0');
  const std::wstring wide_title = platform::Wide(title != nullptr ? title : "");
  const std::wstring wide_folder = platform::Wide(folder);
  const std::wstring wide_extension = platform::Wide(extension);
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  dialog.lpstrTitle = title != nullptr ? wide_title.c_str() : nullptr;
  dialog.lpstrFile = &file[0];
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrInitialDir = wide_folder.c_str();
  dialog.lpstrDefExt = wide_extension.c_str();
  dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
  if (!GetSaveFileNameW(&dialog)) return false;
  *path = platform::Narrow(file.c_str(), lstrlenW(file.c_str()));
  return true;
}

void CenterOnScreen(HWND window) {
  const WindowPlacement now = PlacementOf(window);
  const WindowPlacement centred = CentreIn(WorkAreaNear(window), now.width, now.height);
  SetWindowPos(window, nullptr, centred.left, centred.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

}  // namespace ctl
