#include "ui/window_win32.h"

#include <exception>

#include "platform/error_text_win32.h"
#include "platform/wide_text_win32.h"
#include "support/events.h"
#include "ui/dpi_win32.h"
#include "ui/layout.h"

void ReportUncaught(const char* sender, const char* message) {
  AddEvent(3, std::string("Neznama vyjimka. Sender: ") + sender + ", \r\nErrorMessage: " +
                  message);
}

Window::~Window() {
  if (hwnd_ != nullptr) {
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

bool Window::Create(DWORD style, DWORD ex_style, const char* caption, int x, int y, int width,
                    int height, HWND owner, HMENU menu) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  // Unicode windows: their texts show right whatever the system code page.
  const std::wstring class_name = platform::Wide(ClassName());
  WNDCLASSEXW existing = {};
  existing.cbSize = sizeof(existing);
  if (!GetClassInfoExW(instance, class_name.c_str(), &existing)) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = StaticWndProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
    if (wc.hIcon == nullptr) wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = class_name.c_str();
    if (!RegisterClassExW(&wc)) {
      AddEvent(3, std::string("RegisterClassEx ") + ClassName() + " \r\nErrorMessage: " +
                      platform::ErrorText(GetLastError()));
      return false;
    }
  }
  if (!CreateWindowExW(ex_style, class_name.c_str(), platform::Wide(caption).c_str(), style, x,
                       y, width, height, owner, menu, instance, this)) {
    AddEvent(3, std::string("CreateWindowEx ") + ClassName() + " \r\nErrorMessage: " +
                    platform::ErrorText(GetLastError()));
    return false;
  }
  return true;
}

bool Window::CreateToolWindow(const char* caption, int client_width, int client_height) {
  // Not shown yet: the primary monitor's DPI is the best guess; the window
  // lays itself out at its own once it exists.
  const int dpi = ui::SystemDpi();
  RECT frame = {0, 0, Scaled(client_width, dpi), Scaled(client_height, dpi)};
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  const DWORD ex_style = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  ui::AdjustForDpi(&frame, style, false, ex_style, dpi);
  return Create(style, ex_style, caption, 100, 100, frame.right - frame.left,
                frame.bottom - frame.top, nullptr, nullptr);
}

LRESULT Window::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  return Default(message, wparam, lparam);
}

LRESULT CALLBACK Window::StaticWndProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  Window* self = nullptr;
  if (message == WM_NCCREATE) {
    self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  }
  if (self == nullptr) return DefWindowProcW(hwnd, message, wparam, lparam);
  LRESULT result = 0;
  try {
    result = self->OnMessage(message, wparam, lparam);
  } catch (const std::exception& failure) {
    ReportUncaught(self->ClassName(), failure.what());
  } catch (...) {
    ReportUncaught(self->ClassName(), "unknown exception");
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
  }
  return result;
}
