#include "support/form_about_win32.h"

#include <shellapi.h>

#include "ui/controls_win32.h"
#include "ui/dpi_win32.h"
#include "ui/layout.h"
#include "platform/system.h"
#include "support/about_picture_win32.h"
#include "support/version.h"

const char kProductWebPage[] = "https://tramo2.example/";

namespace {

constexpr int kPictureLeft = 4;
constexpr int kPictureTop = 0;
constexpr int kPictureWidth = 510;
constexpr int kPictureHeight = 511;
const COLORREF kLabelColor = RGB(220, 222, 234);

}  // namespace

std::string WebPageAddress(const std::string& version_three_fields) {
  return std::string(kProductWebPage) + "hello.php?app=Tramo&verze=" + version_three_fields;
}

TFormAbout::~TFormAbout() {
  if (picture_ != nullptr) DeleteObject(picture_);
  if (background_ != nullptr) DeleteObject(background_);
}

bool TFormAbout::CreateForm() {
  if (!CreateToolWindow("O aplikaci Tramo2", 518, 515)) return false;
  background_ = CreateSolidBrush(RGB(0, 0, 0));
  picture_ = LoadAboutPicture(GetModuleHandleA(nullptr));
  ctl::CenterOnScreen(hwnd());
  return true;
}

void TFormAbout::Show() {
  label_ = "Tramo2  v." + VersionText(platform::ExecutablePath(), true);
  InvalidateRect(hwnd(), nullptr, TRUE);
  ShowWindow(hwnd(), SW_SHOW);
  SetForegroundWindow(hwnd());
}

bool TFormAbout::OverPicture() const {
  POINT point;
  GetCursorPos(&point);
  ScreenToClient(hwnd(), &point);
  const LayoutRect picture =
      Scaled(LayoutRect{kPictureLeft, kPictureTop, kPictureWidth, kPictureHeight},
             ui::DpiOf(hwnd()));
  return point.x >= picture.left && point.x < picture.left + picture.width &&
         point.y >= picture.top && point.y < picture.top + picture.height;
}

void TFormAbout::Paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd(), &paint);
  RECT client;
  GetClientRect(hwnd(), &client);
  FillRect(dc, &client, background_);
  const int dpi = ui::DpiOf(hwnd());
  if (picture_ != nullptr) {
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, picture_);
    const LayoutRect picture =
        Scaled(LayoutRect{kPictureLeft, kPictureTop, kPictureWidth, kPictureHeight}, dpi);
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, picture.left, picture.top, picture.width, picture.height, memory, 0, 0,
               kPictureWidth, kPictureHeight, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, kLabelColor);
  HGDIOBJ old_font = SelectObject(dc, ui::GuiFontAt(dpi));
  const std::wstring label = platform::Wide(label_);
  TextOutW(dc, Scaled(16, dpi), Scaled(304, dpi), label.c_str(), static_cast<int>(label.size()));
  SelectObject(dc, old_font);
  EndPaint(hwnd(), &paint);
}

LRESULT TFormAbout::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_DPICHANGED:
      ui::TakeSuggestedRect(hwnd(), lparam);
      InvalidateRect(hwnd(), nullptr, TRUE);
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lparam) == HTCLIENT && OverPicture()) {
        SetCursor(LoadCursorA(nullptr, IDC_HAND));
        return TRUE;
      }
      return Default(message, wparam, lparam);
    case WM_LBUTTONUP:
      if (OverPicture()) {
        const std::string address = WebPageAddress(VersionText(platform::ExecutablePath(), false));
        ShellExecuteW(hwnd(), L"open", platform::Wide(address).c_str(), nullptr, nullptr,
                      SW_SHOWNORMAL);
      }
      return 0;
    case WM_COMMAND:
      // Enter and Escape alike: the window has no button.
      if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) ShowWindow(hwnd(), SW_HIDE);
      return 0;
    case WM_CLOSE:
      ShowWindow(hwnd(), SW_HIDE);
      return 0;
    default:
      return Default(message, wparam, lparam);
  }
}
