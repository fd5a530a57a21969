#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "app/application_win32.h"
#include "app/configuration.h"
#include "app/form1_win32.h"
#include "platform/system.h"
#include "platform/wide_text_win32.h"
#include "store/history.h"
#include "support/build_counter.h"
#include "support/crc32.h"
#include "support/form_about_win32.h"
#include "support/form_debuglog_win32.h"
#include "support/form_nastaveni_win32.h"
#include "support/program_version.h"
#include "support/text_routines.h"
#include "support/version.h"
#include "ui/controls_win32.h"
#include "ui/dialog_keys_win32.h"
#include "views/form2_win32.h"

namespace {

constexpr int kCsidlAppData = 26;

// Read as UTF-16: a folder named outside the system code page stays whole.
std::vector<std::string> CommandLineArguments() {
  std::vector<std::string> args;
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return args;
  for (int i = 0; i < count; ++i) args.push_back(platform::Narrow(wide[i], lstrlenW(wide[i])));
  LocalFree(wide);
  return args;
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// One tracker per data folder: the name every copy for that folder shares.
std::string InstanceName(const std::string& data_dir) {
  char hex[9];
  wsprintfA(hex, "%08lX", static_cast<unsigned long>(StringCrc32(AsciiUpper(data_dir))));
  return std::string("Tramo2-") + hex;
}

struct RunningCopy {
  std::string property;
  HWND found = nullptr;
};

BOOL CALLBACK FindRunningCopy(HWND window, LPARAM lparam) {
  RunningCopy* copy = reinterpret_cast<RunningCopy*>(lparam);
  if (GetPropA(window, copy->property.c_str()) != nullptr) {
    copy->found = window;
    return FALSE;
  }
  return TRUE;
}

// Brings the running copy's window forward; that copy does the showing.
void ShowRunningCopy(const std::string& instance) {
  RunningCopy copy;
  copy.property = instance;
  for (int attempt = 0; attempt < 50 && copy.found == nullptr; ++attempt) {
    EnumWindows(FindRunningCopy, reinterpret_cast<LPARAM>(&copy));
    if (copy.found == nullptr) Sleep(100);  // it may still be starting
  }
  if (copy.found == nullptr) return;
  DWORD process_id = 0;
  GetWindowThreadProcessId(copy.found, &process_id);
  AllowSetForegroundWindow(process_id);
  PostMessageA(copy.found, WM_SHOW_RUNNING_COPY, 0, 0);
}

int RunMessageLoop() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    // Tab, Enter and Escape in every window, as in dialogs.
    if (ui::HandleDialogKeys(&message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

void SwitchTrayIcon(bool show) { App().form1->ShowTrayIcon(show); }

}  // namespace

Application& App() {
  static Application application;
  return application;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  BuildCounter();
  Application& app = App();
  app.args = CommandLineArguments();
  const bool hidden = StartsHidden(app.args);
  if (IsConversion(app.args)) {
    const std::string report = ConvertLogs(Argument(app.args, 2), Argument(app.args, 3));
    // No window of ours is in front to own it: started from a console or a
    // shortcut, it must not open behind them.
    ctl::ShowMessage(nullptr, report, MB_OK | MB_SETFOREGROUND | MB_TOPMOST);
    return 0;
  }

  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES |
                                                         ICC_DATE_CLASSES | ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&controls);

  TrackerPaths paths;
  const std::string exe_path = platform::ExecutablePath();
  paths.exe_dir = FolderOf(exe_path);
  paths.data_dir = DataDirFor(platform::SpecialFolderPath(kCsidlAppData), paths.exe_dir,
                              Argument(app.args, 1));
  paths.ini_file = IniFileName(paths.data_dir, exe_path);

  // Two copies would count the same foreground time twice into one log.
  const std::string instance = InstanceName(paths.data_dir);
  HANDLE instance_mutex = CreateMutexA(nullptr, TRUE, instance.c_str());
  if (instance_mutex != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
    // A hidden start (autostart at logon) leaves the running copy as it is.
    if (!hidden) ShowRunningCopy(instance);
    return 0;
  }

  auto form1 = std::make_unique<TForm1>(paths, VersionText(exe_path, true));
  auto form2 = std::make_unique<TForm2>(paths.data_dir);
  auto nastaveni = std::make_unique<TFormNastaveni>(SwitchTrayIcon, paths.data_dir);
  auto about = std::make_unique<TFormAbout>();
  auto debug_log = std::make_unique<TFormDebugLog>();
  app.form1 = form1.get();
  app.form2 = form2.get();
  app.nastaveni = nastaveni.get();
  app.about = about.get();
  app.debug_log = debug_log.get();
  if (!form1->CreateForm() || !form2->CreateForm() || !nastaveni->CreateForm() ||
      !about->CreateForm() || !debug_log->CreateForm()) {
    ctl::ShowMessage(nullptr, "Okna programu nelze vytvořit.", MB_OK | MB_ICONERROR);
    return 1;
  }
  SetPropA(form1->hwnd(), instance.c_str(), reinterpret_cast<HANDLE>(1));
  if (!hidden) {
    ShowWindow(form1->hwnd(), SW_SHOW);
    UpdateWindow(form1->hwnd());
  }
  // The windows and lists live until the process ends here.
  ExitProcess(static_cast<UINT>(RunMessageLoop()));
}
