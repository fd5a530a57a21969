#ifndef TRAMO_UI_WINDOW_WIN32_H_
#define TRAMO_UI_WINDOW_WIN32_H_

#include <windows.h>

#include <string>

// A top-level window: the static window procedure stores `this` at
// WM_NCCREATE and forwards every message to OnMessage. Exceptions cannot
// unwind through user32, so they are caught here and become events.
class Window {
 public:
  Window() = default;
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND hwnd() const { return hwnd_; }
  // The window class name, also the name events give for the sender.
  virtual const char* ClassName() const = 0;

 protected:
  // Registers the class (once per name) and creates the window; false with
  // an event when either fails.
  bool Create(DWORD style, DWORD ex_style, const char* caption, int x, int y, int width,
              int height, HWND owner, HMENU menu);
  // A fixed-size tool window that stays on top, with the given client size
  // at 96 DPI (scaled to the DPI it opens at).
  bool CreateToolWindow(const char* caption, int client_width, int client_height);
  virtual LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Default(UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcW(hwnd_, message, wparam, lparam);
  }

 private:
  static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  HWND hwnd_ = nullptr;
};

// Records an exception that reached a window procedure.
void ReportUncaught(const char* sender, const char* message);

#endif  // TRAMO_UI_WINDOW_WIN32_H_
