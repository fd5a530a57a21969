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
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/crc32.h"

namespace {

HWND WaitFor(const char* class_name, const char* caption, DWORD timeout_ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    HWND window = FindWindowA(class_name, caption);
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

int Screenshot(HWND window, const char* file) {
  // Without a window manager nothing repaints for us: raise and redraw first.
  SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Sleep(500);
  RECT rect;
  GetWindowRect(window, &rect);
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
  const int stride = (width * 3 + 3) & ~3;
  std::vector<uint8_t> bgr(static_cast<size_t>(stride) * height);
  GetDIBits(memory, bitmap, 0, height, bgr.data(), &info, DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
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

BOOL CALLBACK CollectText(HWND child, LPARAM lparam) {
  char class_name[64];
  GetClassNameA(child, class_name, sizeof(class_name));
  if (lstrcmpiA(class_name, "Static") == 0) {
    char text[1024];
    GetWindowTextA(child, text, sizeof(text));
    if (text[0] != '\0') reinterpret_cast<std::string*>(lparam)->append(text);
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

// Reads list view texts across the process boundary through shared memory
// of the target process.
int ListRows(HWND window) {
  HWND list = nullptr;
  EnumChildWindows(window, FindListView, reinterpret_cast<LPARAM>(&list));
  if (list == nullptr) return 1;
  DWORD process_id = 0;
  GetWindowThreadProcessId(list, &process_id);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
                               FALSE, process_id);
  if (process == nullptr) return 1;
  const SIZE_T text_size = 1024;
  char* remote = static_cast<char*>(VirtualAllocEx(process, nullptr, sizeof(LVITEMA) + text_size,
                                                   MEM_COMMIT, PAGE_READWRITE));
  const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < rows; ++row) {
    std::string line;
    for (int column = 0; column < 6; ++column) {
      LVITEMA item = {};
      item.iSubItem = column;
      item.cchTextMax = static_cast<int>(text_size);
      item.pszText = remote + sizeof(LVITEMA);
      WriteProcessMemory(process, remote, &item, sizeof(item), nullptr);
      SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(remote));
      char text[1024] = {};
      ReadProcessMemory(process, remote + sizeof(LVITEMA), text, text_size - 1, nullptr);
      line += (column > 0 ? "|" : "") + std::string(text);
    }
    std::printf("%s\n", line.c_str());
  }
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const std::string command = argv[1];
  const bool waits = command == "wait-window" || command == "wait-gone" || command == "message-box";
  const DWORD timeout = waits && argc > 3 ? static_cast<DWORD>(std::atoi(argv[3])) : 20000;
  if (command == "wait-window") return WaitFor(argv[2], nullptr, timeout) ? 0 : 1;
  if (command == "wait-gone") {
    const DWORD start = GetTickCount();
    while (FindWindowA(argv[2], nullptr) != nullptr) {
      if (GetTickCount() - start > timeout) return 1;
      Sleep(100);
    }
    return 0;
  }
  if (command == "message-box") {
    HWND box = WaitFor("#32770", argv[2], timeout);
    if (box == nullptr) return 1;
    std::string text;
    EnumChildWindows(box, CollectText, reinterpret_cast<LPARAM>(&text));
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::printf("\n");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    return 0;
  }
  HWND window = WaitFor(argv[2], nullptr, timeout);
  if (window == nullptr) return 1;
  if (command == "activate") {
    ShowWindow(window, SW_SHOW);
    return SetForegroundWindow(window) ? 0 : 1;
  }
  if (command == "close") return PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 1;
  if (command == "screenshot" && argc > 3) return Screenshot(window, argv[3]);
  if (command == "list-rows") return ListRows(window);
  if (command == "show") return ShowWindow(window, SW_SHOW), 0;
  if (command == "menu" && argc > 3) {
    return PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(std::atoi(argv[3])), 0) ? 0 : 1;
  }
  if ((command == "click" || command == "set-text") && argc > 3) {
    FoundControl found = {std::atoi(argv[3]), nullptr};
    EnumChildWindows(window, FindControl, reinterpret_cast<LPARAM>(&found));
    if (found.control == nullptr) return 1;
    if (command == "click") return SendMessageA(found.control, BM_CLICK, 0, 0), 0;
    if (argc > 4) return SetWindowTextA(found.control, argv[4]) ? 0 : 1;
  }
  return 2;
}
