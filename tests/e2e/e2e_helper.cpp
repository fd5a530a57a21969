// Drives windows from outside for the end-to-end tests under Wine:
//   e2e_helper wait-window CLASS [MS]        exit 0 once a top-level window of CLASS exists
//   e2e_helper wait-gone CLASS [MS]          exit 0 once no such window exists
//   e2e_helper activate CLASS                bring the window to the foreground
//   e2e_helper close CLASS                   post WM_CLOSE to it
//   e2e_helper message-box CAPTION [MS]      print a message box's text, then press OK
//   e2e_helper screenshot CLASS FILE.png     save the window's pixels as PNG
//   e2e_helper list-rows CLASS               print the rows of the window's list view
//   e2e_helper menu CLASS ID                 send the menu command ID to the window
//   e2e_helper click CLASS ID                click the window's button with control ID
//   e2e_helper set-text CLASS ID TEXT        set the text of the window's control ID
//   e2e_helper show CLASS                    show the window
//   e2e_helper serve                         read the commands below from stdin, one a line,
//                                            arguments separated by tabs; each answer ends
//                                            with a line "." (exit status as "rc N" before it)
// Commands that use the program as a person does (input goes through SendInput,
// so through the program's own message loop and dialog manager); a window is a
// class name, or "#32770=Caption" for a dialog box; a control is "=Text" (its
// window text), "Class:N" (the N-th of that class, counted from 0 in child
// order) or "#ID":
//   info WIN [CTRL]         visible enabled focused checked left top width height min-width
//                           min-height|text (the min fields: a calendar's required size)
//   focus WIN               the control that has the keyboard focus, as "Class:N|text"
//   foreground              class and caption of the foreground window
//   busy WIN                status 0 while the window's thread does not answer within 100 ms
//   list WIN                count top focused selected-rows of the window's list view, and
//                           the top row's offset in the list's window and its height
//   row WIN N               the cells of row N of the window's list view
//   status WIN N            left, width and text width of status-bar part N|its text
//   extent WIN CTRL [TEXT]  width of the control's text (or TEXT) in its font, and its
//                           client width
//   columns WIN             the widths of the columns of the window's list view
//   area WIN                the work area of the window's monitor: left top right bottom
//   dpi-changed WIN L T W H send WM_DPICHANGED (the DPI unchanged) suggesting that rectangle
//   clipped WIN             the visible labels, buttons and number fields whose text does
//                           not fit them
//   ink WIN CTRL [X Y W H]  pixels on screen inside the control (or that part) that differ
//                           from its most common colour
//   calendar WIN CTRL       a month calendar's date as d.m.yyyy
//   clipboard               the clipboard's text
//   captions WIN            the column captions of the window's list view, "|"-separated
//   acp                     the system's ANSI code page
//   end-session WIN         send the window what Windows sends at a logoff
//   key WIN KEY...          bring WIN forward and press keys: Tab, shift+Tab, Return, Escape,
//                           Down, ctrl+alt+shift+f, a single character, ...
//   type WIN TEXT           bring WIN forward and type the text
//   mouse WIN CTRL HOW [X Y [DX DY]]  HOW is click, double, right or drag (the left
//                           button held while the mouse moves by DX, DY); X, Y inside the
//                           control (default its centre; negative counts from the right/bottom);
//                           CTRL may also be menubar, caption, minimize, maximize or close
//   shot WIN FILE.png       the window's pixels as they are, without a forced repaint
//   sent                    when the last key or button was sent: nanoseconds since 1970
//   hotkey hold             Ctrl+Alt+Shift+F taken by this process, as by another program
//   taskbar gone|back       the taskbar hidden from Shell_NotifyIcon (as before logon ends)
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "support/crc32.h"

namespace {

// Texts cross the pipe as UTF-8 and are read from the windows as UTF-16, so
// that what a scenario compares is what the screen shows on any code page.
std::wstring FromUtf8(const std::string& text) {
  std::wstring wide(text.size(), L'\0');
  wide.resize(static_cast<size_t>(MultiByteToWideChar(
      CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], static_cast<int>(text.size()))));
  return wide;
}
std::string ToUtf8(const wchar_t* text, int length = -1) {
  if (length < 0) length = lstrlenW(text);
  std::string narrow(static_cast<size_t>(length) * 3, '\0');
  narrow.resize(static_cast<size_t>(WideCharToMultiByte(
      CP_UTF8, 0, text, length, &narrow[0], static_cast<int>(narrow.size()), nullptr, nullptr)));
  return narrow;
}

HWND WaitFor(const char* class_name, const char* caption, DWORD timeout_ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    HWND window = FindWindowW(FromUtf8(class_name).c_str(),
                              caption != nullptr ? FromUtf8(caption).c_str() : nullptr);
    if (window != nullptr || GetTickCount() - start > timeout_ms) return window;
    Sleep(100);
  }
}

void PutBigEndian(std::string* out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out->push_back(static_cast<char>(value >> shift));
}

void PutChunk(std::string* png, const char* type, const std::string& data) {
  PutBigEndian(png, static_cast<uint32_t>(data.size()));
  const std::string body = std::string(type, 4) + data;
  png->append(body);
  PutBigEndian(png, Crc32Update(0, body.data(), body.size()));
}

// A PNG with stored (uncompressed) deflate blocks: simple and lossless.
std::string EncodePng(int width, int height, const std::vector<uint8_t>& rgb_rows) {
  std::string raw;
  for (int y = 0; y < height; ++y) {
    raw.push_back('\0');
    raw.append(reinterpret_cast<const char*>(&rgb_rows[y * width * 3]), width * 3);
  }
  std::string zlib = "\x78\x01";
  for (size_t pos = 0; pos < raw.size() || pos == 0; pos += 65535) {
    const size_t n = std::min<size_t>(65535, raw.size() - pos);
    zlib.push_back(pos + n >= raw.size() ? 1 : 0);
    zlib.push_back(static_cast<char>(n & 0xFF));
    zlib.push_back(static_cast<char>(n >> 8));
    zlib.push_back(static_cast<char>(~n & 0xFF));
    zlib.push_back(static_cast<char>((~n >> 8) & 0xFF));
    zlib.append(raw, pos, n);
    if (raw.empty()) break;
  }
  uint32_t a = 1, b = 0;
  for (unsigned char c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  PutBigEndian(&zlib, (b << 16) | a);
  std::string header;
  PutBigEndian(&header, static_cast<uint32_t>(width));
  PutBigEndian(&header, static_cast<uint32_t>(height));
  header += std::string("\x08\x02\x00\x00\x00", 5);
  std::string png = "\x89PNG\r\n\x1a\n";
  PutChunk(&png, "IHDR", header);
  PutChunk(&png, "IDAT", zlib);
  PutChunk(&png, "IEND", "");
  return png;
}

// The screen's pixels inside rect as 24-bit BGR rows of the returned stride.
std::vector<uint8_t> GrabScreen(RECT& rect, int* stride) {
  // A maximised window reaches past the screen's edges.
  const RECT screen_rect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  IntersectRect(&rect, &rect, &screen_rect);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  *stride = (width * 3 + 3) & ~3;
  std::vector<uint8_t> bgr(static_cast<size_t>(*stride) * height);
  GetDIBits(memory, bitmap, 0, height, bgr.data(), &info, DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return bgr;
}

int SavePixels(HWND window, const char* file) {
  RECT rect;
  GetWindowRect(window, &rect);
  int stride = 0;
  const std::vector<uint8_t> bgr = GrabScreen(rect, &stride);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint8_t* p = &bgr[static_cast<size_t>(y) * stride + x * 3];
      uint8_t* q = &rgb[(static_cast<size_t>(y) * width + x) * 3];
      q[0] = p[2];
      q[1] = p[1];
      q[2] = p[0];
    }
  }
  const std::string png = EncodePng(width, height, rgb);
  FILE* out = std::fopen(file, "wb");
  if (out == nullptr) return 1;
  std::fwrite(png.data(), 1, png.size(), out);
  std::fclose(out);
  return 0;
}

int Screenshot(HWND window, const char* file) {
  // Without a window manager nothing repaints for us: raise and redraw first.
  SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Sleep(500);
  return SavePixels(window, file);
}

BOOL CALLBACK CollectText(HWND child, LPARAM lparam) {
  char class_name[64];
  GetClassNameA(child, class_name, sizeof(class_name));
  if (lstrcmpiA(class_name, "Static") == 0) {
    wchar_t text[1024];
    GetWindowTextW(child, text, 1024);
    if (text[0] != L'\0') reinterpret_cast<std::string*>(lparam)->append(ToUtf8(text));
  }
  return TRUE;
}

BOOL CALLBACK FindListView(HWND child, LPARAM lparam) {
  char class_name[64];
  GetClassNameA(child, class_name, sizeof(class_name));
  if (lstrcmpiA(class_name, WC_LISTVIEWA) == 0) {
    *reinterpret_cast<HWND*>(lparam) = child;
    return FALSE;
  }
  return TRUE;
}

struct FoundControl {
  int id;
  HWND control;
};

BOOL CALLBACK FindControl(HWND child, LPARAM lparam) {
  FoundControl* found = reinterpret_cast<FoundControl*>(lparam);
  if (GetDlgCtrlID(child) != found->id) return TRUE;
  found->control = child;
  return FALSE;
}

// Output of the commands, collected so that serve mode can end it with ".".
std::string g_out;
void Out(const std::string& text) { g_out += text + "\n"; }

// A buffer inside the process that owns a window, for messages whose
// parameters point at memory (list view items, status-bar texts, rectangles).
class RemoteMemory {
 public:
  RemoteMemory(HWND window, size_t size) : size_(size) {
    DWORD process_id = 0;
    GetWindowThreadProcessId(window, &process_id);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                           process_id);
    if (process_ != nullptr) {
      address_ = static_cast<char*>(
          VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    }
  }
  ~RemoteMemory() {
    if (address_ != nullptr) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_ != nullptr) CloseHandle(process_);
  }
  bool ok() const { return address_ != nullptr; }
  char* at(size_t offset) const { return address_ + offset; }
  LPARAM param(size_t offset = 0) const { return reinterpret_cast<LPARAM>(address_ + offset); }
  void Write(size_t offset, const void* data, size_t n) const {
    WriteProcessMemory(process_, address_ + offset, data, n, nullptr);
  }
  void Read(size_t offset, void* data, size_t n) const {
    ReadProcessMemory(process_, address_ + offset, data, n, nullptr);
  }
  std::string ReadWideText(size_t offset) const {
    std::vector<wchar_t> text((size_ - offset) / sizeof(wchar_t) + 1, L'\0');
    Read(offset, text.data(), (size_ - offset) / sizeof(wchar_t) * sizeof(wchar_t));
    return ToUtf8(text.data());
  }

 private:
  size_t size_;
  HANDLE process_ = nullptr;
  char* address_ = nullptr;
};

HWND FindListViewOf(HWND window) {
  HWND list = nullptr;
  EnumChildWindows(window, FindListView, reinterpret_cast<LPARAM>(&list));
  return list;
}

std::string RowText(HWND list, const RemoteMemory& remote, int row) {
  const size_t text_size = 1024;
  std::string line;
  for (int column = 0; column < 6; ++column) {
    LVITEMW item = {};
    item.iSubItem = column;
    item.cchTextMax = static_cast<int>(text_size / sizeof(wchar_t));
    item.pszText = reinterpret_cast<wchar_t*>(remote.at(sizeof(LVITEMW)));
    remote.Write(0, &item, sizeof(item));
    SendMessageW(list, LVM_GETITEMTEXTW, row, remote.param());
    line += (column > 0 ? "|" : "") + remote.ReadWideText(sizeof(LVITEMW));
  }
  return line;
}

// Reads list view texts across the process boundary through memory of the
// target process.
int ListRows(HWND window) {
  HWND list = FindListViewOf(window);
  if (list == nullptr) return 1;
  RemoteMemory remote(list, sizeof(LVITEMW) + 1024);
  if (!remote.ok()) return 1;
  const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < rows; ++row) Out(RowText(list, remote, row));
  return 0;
}

// The column captions of the window's list view as the screen shows them.
int Captions(HWND window) {
  HWND list = FindListViewOf(window);
  HWND header = list != nullptr ? ListView_GetHeader(list) : nullptr;
  RemoteMemory remote(header, sizeof(HDITEMW) + 512);
  if (header == nullptr || !remote.ok()) return 1;
  std::string captions;
  for (int column = 0; column < Header_GetItemCount(header); ++column) {
    HDITEMW item = {};
    item.mask = HDI_TEXT;
    item.pszText = reinterpret_cast<wchar_t*>(remote.at(sizeof(item)));
    item.cchTextMax = 256;
    remote.Write(0, &item, sizeof(item));
    SendMessageW(header, HDM_GETITEMW, column, remote.param());
    captions += (column > 0 ? "|" : "") + remote.ReadWideText(sizeof(item));
  }
  return Out(captions), 0;
}

// Finding windows and controls by the names the scenarios use.

HWND FindTop(const std::string& name) {
  const size_t equals = name.find('=');
  if (equals == std::string::npos) return FindWindowW(FromUtf8(name).c_str(), nullptr);
  const std::wstring class_name = FromUtf8(name.substr(0, equals));
  return FindWindowW(class_name.empty() ? nullptr : class_name.c_str(),
                     FromUtf8(name.substr(equals + 1)).c_str());
}

std::string WindowText(HWND window) {
  wchar_t text[4096] = {};
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text),
                      SMTO_ABORTIFHUNG, 2000, &copied);
  return ToUtf8(text);
}

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof(name));
  return name;
}

BOOL CALLBACK CollectWindow(HWND child, LPARAM lparam) {
  reinterpret_cast<std::vector<HWND>*>(lparam)->push_back(child);
  return TRUE;
}

std::vector<HWND> Descendants(HWND top) {
  std::vector<HWND> all;
  EnumChildWindows(top, CollectWindow, reinterpret_cast<LPARAM>(&all));
  return all;
}

// The text the system keeps for a window, read without a message, so also
// while the window's thread is blocked.
std::string StoredText(HWND window) {
  wchar_t wide[1024] = {};
  const int length = InternalGetWindowText(window, wide, 1024);
  return ToUtf8(wide, length);
}

HWND FindControlByName(HWND top, const std::string& name) {
  if (name.empty()) return top;
  const std::vector<HWND> all = Descendants(top);
  if (name[0] == '#') {
    const int id = std::atoi(name.c_str() + 1);
    for (HWND child : all) {
      if (GetDlgCtrlID(child) == id) return child;
    }
    return nullptr;
  }
  if (name[0] == '=') {
    for (HWND child : all) {
      if (StoredText(child) == name.substr(1)) return child;
    }
    return nullptr;
  }
  const size_t colon = name.rfind(':');
  if (colon == std::string::npos) return nullptr;
  const std::string class_name = name.substr(0, colon);
  int index = std::atoi(name.c_str() + colon + 1);
  for (HWND child : all) {
    if (lstrcmpiA(ClassOf(child).c_str(), class_name.c_str()) == 0 && index-- == 0) return child;
  }
  return nullptr;
}

// "Class:N" of a control, the form FindControlByName reads back.
std::string NameOfControl(HWND top, HWND control) {
  int index = 0;
  const std::string class_name = ClassOf(control);
  for (HWND child : Descendants(top)) {
    if (child == control) return class_name + ":" + std::to_string(index);
    if (lstrcmpiA(ClassOf(child).c_str(), class_name.c_str()) == 0) ++index;
  }
  return class_name + ":?";
}

HWND FocusOf(HWND top) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

int Info(HWND top, HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  int min_width = 0;
  int min_height = 0;
  if (lstrcmpiA(ClassOf(control).c_str(), MONTHCAL_CLASSA) == 0) {
    RemoteMemory remote(control, sizeof(RECT));
    RECT required = {};
    if (remote.ok() && SendMessageA(control, MCM_GETMINREQRECT, 0, remote.param())) {
      remote.Read(0, &required, sizeof(required));
      min_width = required.right - required.left;
      min_height = required.bottom - required.top;
    }
  }
  char line[256];
  wsprintfA(line, "%d %d %d %d %ld %ld %ld %ld %d %d|", IsWindowVisible(control) ? 1 : 0,
            IsWindowEnabled(control) ? 1 : 0, FocusOf(top) == control ? 1 : 0,
            static_cast<int>(SendMessageA(control, BM_GETCHECK, 0, 0)), rect.left, rect.top,
            rect.right - rect.left, rect.bottom - rect.top, min_width, min_height);
  Out(line + WindowText(control));
  return 0;
}

int ListState(HWND top) {
  HWND list = FindListViewOf(top);
  if (list == nullptr) return 1;
  const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  const int top_row = static_cast<int>(SendMessageA(list, LVM_GETTOPINDEX, 0, 0));
  const int focused =
      static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
  std::string selected;
  for (int row = -1;;) {
    row = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, row, LVNI_SELECTED));
    if (row < 0) break;
    selected += (selected.empty() ? "" : ",") + std::to_string(row);
  }
  // Where the top row lies in the list's window, for clicks on rows.
  RECT row = {LVIR_BOUNDS, 0, 0, 0};
  RemoteMemory remote(list, sizeof(RECT));
  if (count > 0 && remote.ok()) {
    remote.Write(0, &row, sizeof(row));
    SendMessageA(list, LVM_GETITEMRECT, top_row, remote.param());
    remote.Read(0, &row, sizeof(row));
  }
  POINT origin = {0, row.top};
  ClientToScreen(list, &origin);
  RECT window;
  GetWindowRect(list, &window);
  Out(std::to_string(count) + " " + std::to_string(top_row) + " " + std::to_string(focused) + " " +
      (selected.empty() ? "-" : selected) + " " + std::to_string(origin.y - window.top) + " " +
      std::to_string(row.bottom - row.top));
  return 0;
}

int Row(HWND top, int row) {
  HWND list = FindListViewOf(top);
  if (list == nullptr) return 1;
  RemoteMemory remote(list, sizeof(LVITEMW) + 1024);
  if (!remote.ok()) return 1;
  Out(RowText(list, remote, row));
  return 0;
}

// A copy of the control's own font for measuring here (the stock GUI font
// when the control's font cannot be read from this process); the caller deletes it.
HFONT MeasuringFont(HWND control) {
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
  LOGFONTW logfont = {};
  if (font != nullptr && GetObjectW(font, sizeof(logfont), &logfont) == sizeof(logfont)) {
    return CreateFontIndirectW(&logfont);
  }
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(logfont), &logfont);
  return CreateFontIndirectW(&logfont);
}

// The size the text needs in the control's font: one line, or wrapped at width.
SIZE TextSize(HWND control, const std::string& text, int wrap_width = 0) {
  HFONT font = MeasuringFont(control);
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  RECT rect = {0, 0, wrap_width, 0};
  const std::wstring wide = FromUtf8(text);
  DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &rect,
            DT_CALCRECT | (wrap_width > 0 ? DT_WORDBREAK : DT_SINGLELINE));
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  DeleteObject(font);
  return SIZE{rect.right, rect.bottom};
}

int TextWidth(HWND control, const std::string& text) { return TextSize(control, text).cx; }

// Visible labels, buttons, check boxes and radio buttons whose text does not fit them.
int Clipped(HWND top) {
  for (HWND child : Descendants(top)) {
    const std::string text = WindowText(child);
    if (!IsWindowVisible(child) || text.empty()) continue;
    const bool is_static = lstrcmpiA(ClassOf(child).c_str(), "Static") == 0;
    const bool is_button = lstrcmpiA(ClassOf(child).c_str(), "Button") == 0;
    const LONG style = GetWindowLongA(child, GWL_STYLE);
    const LONG kind = style & (is_static ? SS_TYPEMASK : BS_TYPEMASK);
    // A number field (a spin box's edit) must show its number whole.
    const bool is_number = lstrcmpiA(ClassOf(child).c_str(), "Edit") == 0 && (style & ES_NUMBER);
    if (is_static && kind != SS_LEFT && kind != SS_CENTER && kind != SS_RIGHT) continue;
    if (!is_static && !is_button && !is_number) continue;
    RECT client;
    GetClientRect(child, &client);
    int width = client.right;
    if (is_number) {
      const LRESULT margins = SendMessageA(child, EM_GETMARGINS, 0, 0);
      width -= LOWORD(margins) + HIWORD(margins);
    }
    bool wraps = is_static || (style & BS_MULTILINE) != 0;
    if (is_button) {
      const bool box = kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX || kind == BS_RADIOBUTTON ||
                       kind == BS_AUTORADIOBUTTON || kind == BS_3STATE || kind == BS_AUTO3STATE;
      if (box) width -= GetSystemMetrics(SM_CXMENUCHECK) + 4;
      if (kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON) width -= 6;
      if (kind == BS_GROUPBOX) width -= 16, wraps = false;
    }
    const SIZE needed = wraps ? TextSize(child, text, width) : TextSize(child, text);
    if ((wraps && needed.cy > client.bottom) || (!wraps && needed.cx > width)) {
      Out(NameOfControl(top, child) + " needs " + std::to_string(needed.cx) + "x" +
          std::to_string(needed.cy) + " has " + std::to_string(width) + "x" +
          std::to_string(client.bottom) + "|" + text);
    }
  }
  return 0;
}

int StatusPart(HWND top, int part) {
  HWND bar = FindControlByName(top, std::string(STATUSCLASSNAMEA) + ":0");
  if (bar == nullptr) return 1;
  RemoteMemory remote(bar, 1024);
  if (!remote.ok()) return 1;
  SendMessageW(bar, SB_GETTEXTW, part, remote.param());
  const std::string text = remote.ReadWideText(0);
  RECT rect = {};
  SendMessageA(bar, SB_GETRECT, part, remote.param());
  remote.Read(0, &rect, sizeof(rect));
  Out(std::to_string(rect.left) + " " + std::to_string(rect.right - rect.left) + " " +
      std::to_string(TextWidth(bar, text)) + "|" + text);
  return 0;
}

// The width of the control's text (or of text) and the control's client width.
int Extent(HWND control, const char* text) {
  RECT client;
  GetClientRect(control, &client);
  Out(std::to_string(TextWidth(control, text != nullptr ? text : WindowText(control))) + " " +
      std::to_string(client.right));
  return 0;
}

int Calendar(HWND control) {
  RemoteMemory remote(control, sizeof(SYSTEMTIME));
  SYSTEMTIME date = {};
  if (!remote.ok() || !SendMessageA(control, MCM_GETCURSEL, 0, remote.param())) return 1;
  remote.Read(0, &date, sizeof(date));
  Out(std::to_string(date.wDay) + "." + std::to_string(date.wMonth) + "." +
      std::to_string(date.wYear));
  return 0;
}

int Clipboard() {
  if (!OpenClipboard(nullptr)) return 1;
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  const wchar_t* text = data != nullptr ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
  Out(text != nullptr ? ToUtf8(text) : "");
  if (text != nullptr) GlobalUnlock(data);
  CloseClipboard();
  return 0;
}

// Pixels inside the control (or inside the part of it at x, y of size w x h)
// that differ from its most common colour: 0 for a blank area.
int Ink(HWND control, const std::vector<int>& part) {
  RECT rect;
  GetWindowRect(control, &rect);
  if (part.size() == 4) {
    rect = RECT{rect.left + part[0], rect.top + part[1], rect.left + part[0] + part[2],
                rect.top + part[1] + part[3]};
  }
  int stride = 0;
  const std::vector<uint8_t> bgr = GrabScreen(rect, &stride);
  std::map<uint32_t, int> counts;
  for (int y = 0; y < rect.bottom - rect.top; ++y) {
    for (int x = 0; x < rect.right - rect.left; ++x) {
      const uint8_t* p = &bgr[static_cast<size_t>(y) * stride + x * 3];
      ++counts[p[0] | p[1] << 8 | p[2] << 16];
    }
  }
  int total = 0;
  int most = 0;
  for (const auto& count : counts) {
    total += count.second;
    most = std::max(most, count.second);
  }
  Out(std::to_string(total - most));
  return 0;
}

// Input, as the system delivers a person's keys and clicks.

// Keys for a hidden window (the hotkey) go wherever the focus is.
void BringForward(HWND top) {
  if (GetForegroundWindow() == top || !IsWindowVisible(top)) return;
  // A window whose thread is blocked gets the input queued, as it is.
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutA(top, WM_NULL, 0, 0, SMTO_NORMAL, 50, &answer)) return;
  // What a window manager does when the window is clicked: raise it.
  SetWindowPos(top, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_ASYNCWINDOWPOS);
  SetForegroundWindow(top);
  for (int i = 0; i < 20 && GetForegroundWindow() != top; ++i) Sleep(25);
}

// For timings that start when the input is handed to the system, not when
// the command that sends it began (it pauses between keys).
unsigned long long g_last_input_ns = 0;

void NoteInputSent() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);  // precise under Wine: the clock of date +%s%N
  const unsigned long long ticks =
      (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  g_last_input_ns = (ticks - 116444736000000000ULL) * 100;  // from 1601 to 1970
}

void SendKey(WORD vk, bool up) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  const bool extended = vk == VK_LEFT || vk == VK_RIGHT || vk == VK_UP || vk == VK_DOWN ||
                        vk == VK_HOME || vk == VK_END || vk == VK_PRIOR || vk == VK_NEXT ||
                        vk == VK_DELETE || vk == VK_INSERT;
  if (extended) input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
  SendInput(1, &input, sizeof(input));
  NoteInputSent();
}

// One key with its modifiers, as "ctrl+alt+shift+f" or "Tab"; false for an unknown name.
bool PressKey(const std::string& combination) {
  static const struct {
    const char* name;
    WORD vk;
  } kNames[] = {{"Tab", VK_TAB},       {"Return", VK_RETURN}, {"Escape", VK_ESCAPE},
                {"Down", VK_DOWN},     {"Up", VK_UP},         {"Left", VK_LEFT},
                {"Right", VK_RIGHT},   {"Home", VK_HOME},     {"End", VK_END},
                {"Delete", VK_DELETE}, {"BackSpace", VK_BACK}, {"space", VK_SPACE},
                {"Prior", VK_PRIOR},   {"Next", VK_NEXT},
                {"Apps", VK_APPS}};
  std::vector<WORD> keys;
  size_t begin = 0;
  for (;;) {
    const size_t plus = combination.find('+', begin + 1);
    const std::string part = combination.substr(begin, plus == std::string::npos ? plus : plus - begin);
    WORD vk = 0;
    if (part == "ctrl") vk = VK_CONTROL;
    if (part == "alt") vk = VK_MENU;
    if (part == "shift") vk = VK_SHIFT;
    for (const auto& name : kNames) {
      if (part == name.name) vk = name.vk;
    }
    if (vk == 0 && part.size() > 1 && part[0] == 'F') vk = VK_F1 + std::atoi(part.c_str() + 1) - 1;
    if (vk == 0 && part.size() == 1) vk = LOBYTE(VkKeyScanA(part[0]));
    if (vk == 0) return false;
    keys.push_back(vk);
    if (plus == std::string::npos) break;
    begin = plus + 1;
  }
  for (WORD vk : keys) SendKey(vk, false);
  for (size_t i = keys.size(); i-- > 0;) SendKey(keys[i], true);
  Sleep(30);
  return true;
}

int TypeText(const std::string& text) {
  for (wchar_t c : FromUtf8(text)) {
    const SHORT scan = VkKeyScanW(c);
    if (scan == -1) {  // no key for it on this layout: the character itself
      INPUT input[2] = {};
      for (int i = 0; i < 2; ++i) {
        input[i].type = INPUT_KEYBOARD;
        input[i].ki.wScan = c;
        input[i].ki.dwFlags = KEYEVENTF_UNICODE | (i == 1 ? KEYEVENTF_KEYUP : 0);
      }
      SendInput(2, input, sizeof(INPUT));
      continue;
    }
    if (HIBYTE(scan) & 1) SendKey(VK_SHIFT, false);
    SendKey(LOBYTE(scan), false);
    SendKey(LOBYTE(scan), true);
    if (HIBYTE(scan) & 1) SendKey(VK_SHIFT, true);
  }
  Sleep(30);
  return 0;
}

void MouseAt(int x, int y, DWORD flags) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | flags;
  SendInput(1, &input, sizeof(input));
  if (flags != 0) NoteInputSent();
}

// The screen rectangle of a control, or of a part of the window's frame:
// "menubar", "caption", and its buttons "minimize", "maximize", "close".
bool TargetRect(HWND top, const std::string& name, RECT* rect) {
  GetWindowRect(top, rect);
  const int frame = GetSystemMetrics(SM_CXFRAME);
  const int caption_top = rect->top + GetSystemMetrics(SM_CYFRAME);
  const int button = GetSystemMetrics(SM_CXSIZE);
  if (name == "menubar") {
    POINT origin = {0, 0};
    ClientToScreen(top, &origin);
    *rect = RECT{origin.x, origin.y - GetSystemMetrics(SM_CYMENU), rect->right - frame, origin.y};
    return true;
  }
  const struct {
    const char* name;
    int from_right;
  } kButtons[] = {{"close", 1}, {"maximize", 2}, {"minimize", 3}};
  for (const auto& box : kButtons) {
    if (name != box.name) continue;
    const int right = rect->right - frame - (box.from_right - 1) * button;
    *rect = RECT{right - button, caption_top, right, caption_top + GetSystemMetrics(SM_CYCAPTION)};
    return true;
  }
  if (name == "caption") {
    rect->top = caption_top;
    rect->bottom = caption_top + GetSystemMetrics(SM_CYCAPTION);
    return true;
  }
  HWND control = FindControlByName(top, name);
  return control != nullptr && GetWindowRect(control, rect);
}

// The left button pressed at x, y, moved by dx, dy in steps, released there.
void Drag(int x, int y, int dx, int dy) {
  MouseAt(x, y, MOUSEEVENTF_LEFTDOWN);
  const int steps = 10;
  for (int i = 1; i <= steps; ++i) {
    Sleep(20);
    MouseAt(x + dx * i / steps, y + dy * i / steps, 0);
  }
  Sleep(30);
  MouseAt(x + dx, y + dy, MOUSEEVENTF_LEFTUP);
}

int Mouse(HWND top, const RECT& rect, const std::string& how, const char* x_text,
          const char* y_text, int drag_dx, int drag_dy) {
  int x = (rect.left + rect.right) / 2;
  int y = (rect.top + rect.bottom) / 2;
  if (x_text != nullptr && y_text != nullptr && *x_text != '\0') {
    const int dx = std::atoi(x_text);
    const int dy = std::atoi(y_text);
    x = dx < 0 ? rect.right + dx : rect.left + dx;
    y = dy < 0 ? rect.bottom + dy : rect.top + dy;
  }
  if (IsWindowEnabled(top)) BringForward(top);  // a disabled window is clicked as it is
  MouseAt(x, y, 0);
  Sleep(30);
  if (how == "drag") return Drag(x, y, drag_dx, drag_dy), 0;
  const bool right = how == "right";
  const int clicks = how == "double" ? 2 : 1;
  for (int i = 0; i < clicks; ++i) {
    MouseAt(x, y, right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
    MouseAt(x, y, right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
    Sleep(clicks > 1 ? 10 : 30);
  }
  Sleep(30);
  return 0;
}

}  // namespace

int Run(const std::vector<std::string>& args);

// A single command waits up to 20 s for its window to appear; served commands
// answer at once, their scenarios poll.
DWORD g_find_wait_ms = 20000;

// Reads commands from stdin and answers each, ending the answer with ".".
int Serve() {
  g_find_wait_ms = 0;
  char line[8192];
  while (std::fgets(line, sizeof(line), stdin) != nullptr) {
    std::string text(line);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    std::vector<std::string> args = {"e2e_helper"};
    size_t begin = 0;
    for (;;) {
      const size_t tab = text.find('\t', begin);
      args.push_back(text.substr(begin, tab == std::string::npos ? tab : tab - begin));
      if (tab == std::string::npos) break;
      begin = tab + 1;
    }
    g_out.clear();
    const int rc = Run(args);
    std::printf("%src %d\n.\n", g_out.c_str(), rc);
    std::fflush(stdout);
  }
  return 0;
}

int Run(const std::vector<std::string>& args) {
  const int argc = static_cast<int>(args.size());
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  if (argc < 2) return 2;
  const std::string command = argv[1];
  if (command == "clipboard") return Clipboard();
  if (command == "foreground") {
    HWND window = GetForegroundWindow();
    wchar_t caption[256] = {};
    GetWindowTextW(window, caption, 256);
    Out(ClassOf(window) + "|" + ToUtf8(caption));
    return 0;
  }
  if (command == "sent") return Out(std::to_string(g_last_input_ns)), 0;
  if (command == "acp") return Out(std::to_string(GetACP())), 0;
  if (argc < 3) return 2;
  const bool waits = command == "wait-window" || command == "wait-gone" || command == "message-box";
  const DWORD timeout = waits && argc > 3 ? static_cast<DWORD>(std::atoi(argv[3])) : 20000;
  if (command == "wait-window") return WaitFor(argv[2], nullptr, timeout) ? 0 : 1;
  if (command == "wait-gone") {
    const DWORD start = GetTickCount();
    while (FindTop(argv[2]) != nullptr) {
      if (GetTickCount() - start > timeout) return 1;
      Sleep(50);
    }
    return 0;
  }
  if (command == "message-box") {
    HWND box = WaitFor("#32770", argv[2], timeout);
    if (box == nullptr) return 1;
    std::string text;
    EnumChildWindows(box, CollectText, reinterpret_cast<LPARAM>(&text));
    Out(text);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    return 0;
  }
  const std::string how = argv[2];
  if (command == "hotkey") return RegisterHotKey(nullptr, 1, 7, 'F') ? 0 : 1;
  if (command == "taskbar") {
    // A window of this serving process holds it: Wine's FindWindow sees message-only ones.
    static HWND holder = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, 0, 0, 0, 0);
    const bool gone = how == "gone";
    HWND taskbar = FindWindowExA(gone ? nullptr : holder, nullptr, "Shell_TrayWnd", nullptr);
    if (taskbar == nullptr || !SetParent(taskbar, gone ? holder : GetDesktopWindow())) return 1;
    return (FindWindowA("Shell_TrayWnd", nullptr) == nullptr) == gone ? 0 : 1;
  }
  HWND window = FindTop(argv[2]);
  if (window == nullptr && g_find_wait_ms > 0) window = WaitFor(argv[2], nullptr, g_find_wait_ms);
  if (window == nullptr) return 1;
  if (command == "activate") {
    ShowWindow(window, SW_SHOW);
    return SetForegroundWindow(window) ? 0 : 1;
  }
  if (command == "close") return PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 1;
  if (command == "screenshot" && argc > 3) return Screenshot(window, argv[3]);
  if (command == "shot" && argc > 3) return SavePixels(window, argv[3]);
  if (command == "list-rows") return ListRows(window);
  if (command == "captions") return Captions(window);
  if (command == "show") return ShowWindow(window, SW_SHOW), 0;
  if (command == "focus") {
    HWND focus = FocusOf(window);
    if (focus == nullptr) return Out("-|"), 0;
    Out(NameOfControl(window, focus) + "|" + WindowText(focus));
    return 0;
  }
  if (command == "list") return ListState(window);
  if (command == "busy") {
    DWORD_PTR answer = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 100, &answer) ? 1 : 0;
  }
  if (command == "clipped") return Clipped(window);
  if (command == "columns") {
    HWND header = reinterpret_cast<HWND>(SendMessageA(FindListViewOf(window), LVM_GETHEADER, 0, 0));
    const LRESULT count = SendMessageA(header, HDM_GETITEMCOUNT, 0, 0);
    std::string widths;
    for (LRESULT i = 0; i < count; ++i) {
      widths += std::to_string(SendMessageA(FindListViewOf(window), LVM_GETCOLUMNWIDTH, i, 0)) + " ";
    }
    Out(widths);
    return count > 0 ? 0 : 1;
  }
  if (command == "dpi-changed" && argc > 6) {
    const RECT suggested = {std::atoi(argv[3]), std::atoi(argv[4]),
                            std::atoi(argv[3]) + std::atoi(argv[5]),
                            std::atoi(argv[4]) + std::atoi(argv[6])};
    RemoteMemory remote(window, sizeof(suggested));
    if (!remote.ok()) return 1;
    remote.Write(0, &suggested, sizeof(suggested));
    HDC screen = GetDC(nullptr);
    const WORD dpi = static_cast<WORD>(GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    SendMessageA(window, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(dpi, dpi), remote.param());
    return 0;
  }
  if (command == "area") {
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info);
    char line[64];
    const RECT& a = info.rcWork;
    wsprintfA(line, "%ld %ld %ld %ld", a.left, a.top, a.right, a.bottom);
    return Out(line), 0;
  }
  if (command == "end-session") {
    // What Windows sends at a logoff before it ends the process (which it may not do).
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer);
    SendMessageTimeoutA(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer);
    return 0;
  }
  if (command == "row" && argc > 3) return Row(window, std::atoi(argv[3]));
  if (command == "status" && argc > 3) return StatusPart(window, std::atoi(argv[3]));
  if (command == "key") {
    BringForward(window);
    for (int i = 3; i < argc; ++i) {
      if (!PressKey(argv[i])) return 2;
    }
    return 0;
  }
  if (command == "type" && argc > 3) return BringForward(window), TypeText(argv[3]);
  if (command == "menu" && argc > 3) {
    return PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(std::atoi(argv[3])), 0) ? 0 : 1;
  }
  if (command == "mouse" && argc > 4) {
    RECT rect;
    if (!TargetRect(window, argv[3], &rect)) return 1;
    return Mouse(window, rect, argv[4], argc > 6 ? argv[5] : nullptr, argc > 6 ? argv[6] : nullptr,
                 argc > 8 ? std::atoi(argv[7]) : 0, argc > 8 ? std::atoi(argv[8]) : 0);
  }
  if (command == "info" || command == "extent" || command == "ink" || command == "calendar") {
    HWND control = FindControlByName(window, argc > 3 ? argv[3] : "");
    if (control == nullptr) return 1;
    if (command == "info") return Info(window, control);
    if (command == "extent") return Extent(control, argc > 4 ? argv[4] : nullptr);
    if (command == "ink") {
      std::vector<int> part;
      for (int i = 4; i < argc; ++i) part.push_back(std::atoi(argv[i]));
      return Ink(control, part);
    }
    if (command == "calendar") return Calendar(control);
    return 2;
  }
  if ((command == "click" || command == "set-text") && argc > 3) {
    FoundControl found = {std::atoi(argv[3]), nullptr};
    EnumChildWindows(window, FindControl, reinterpret_cast<LPARAM>(&found));
    if (found.control == nullptr) return 1;
    if (command == "click") return SendMessageA(found.control, BM_CLICK, 0, 0), 0;
    if (argc > 4) return SetWindowTextW(found.control, FromUtf8(argv[4]).c_str()) ? 0 : 1;
  }
  return 2;
}

int main() {
  // Coordinates as the program's own, which is DPI aware.
  using Aware = BOOL(WINAPI*)();
  const auto aware = reinterpret_cast<Aware>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("user32.dll"), "SetProcessDPIAware")));
  if (aware != nullptr) aware();
  int argc = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::string> args;
  for (int i = 0; i < argc; ++i) args.push_back(ToUtf8(wide[i]));
  if (argc == 2 && args[1] == "serve") return Serve();
  const int rc = Run(args);
  std::fwrite(g_out.data(), 1, g_out.size(), stdout);
  return rc;
}
