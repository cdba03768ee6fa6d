// Starts a program in the same Wine prefix and desktop and, until it has ended, looks every
// couple of milliseconds for top-level windows that its process owns, hidden ones included.
// The program's standard streams are this one's, and its exit code becomes this one's.
//
//   cli_window_watcher LOG PROGRAM [ARGUMENT...]
//   cli_window_watcher --flash-window
//
// LOG gets one line per window seen: its handle, whether it was ever visible, its class and its
// title; it stays empty when none appeared. A window that waits for a click stays, so it cannot
// slip between two looks. --flash-window is the control: it shows a window of its own for half
// a second, so a test can show that the watcher sees one.
#include "platform/win32/windows_api.h"

#include "tests/wine/child_process.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

namespace {

struct Seen {
  bool visible = false;
  std::string className;
  std::string title;
};

struct Watch {
  DWORD processId = 0;
  std::map<HWND, Seen> windows;
};

BOOL CALLBACK Look(HWND window, LPARAM parameter) {
  auto* watch = reinterpret_cast<Watch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != watch->processId) return TRUE;
  Seen& seen = watch->windows[window];
  char text[256] = {};
  if (seen.className.empty() && GetClassNameA(window, text, sizeof text) > 0) seen.className = text;
  if (GetWindowTextA(window, text, sizeof text) > 0) seen.title = text;
  seen.visible = seen.visible || IsWindowVisible(window) != FALSE;
  return TRUE;
}

int FlashWindow() {
  const HWND window =
      CreateWindowExA(0, "STATIC", "vantik watcher control", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10,
                      10, 200, 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (window == nullptr) return 3;
  const DWORD end = GetTickCount() + 500;
  while (GetTickCount() < end) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    Sleep(10);
  }
  DestroyWindow(window);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--flash-window") == 0) return FlashWindow();
  if (argc < 3) {
    std::fprintf(stderr, "usage: cli_window_watcher LOG PROGRAM [ARGUMENT...]\n");
    return 125;
  }
  PROCESS_INFORMATION process{};
  if (!child_process::Start(argc - 2, argv + 2, &process)) {
    std::fprintf(stderr, "cli_window_watcher: cannot start %s (%lu)\n", argv[2],
                 static_cast<unsigned long>(GetLastError()));
    return 125;
  }
  Watch watch;
  watch.processId = process.dwProcessId;
  while (WaitForSingleObject(process.hProcess, 2) == WAIT_TIMEOUT) {
    EnumWindows(Look, reinterpret_cast<LPARAM>(&watch));
  }
  EnumWindows(Look, reinterpret_cast<LPARAM>(&watch));
  DWORD exitCode = 125;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);

  FILE* log = std::fopen(argv[1], "wb");
  if (log == nullptr) {
    std::fprintf(stderr, "cli_window_watcher: cannot write %s\n", argv[1]);
    return 125;
  }
  for (const auto& [window, seen] : watch.windows) {
    std::fprintf(log, "%p visible=%d class=%s title=%s\n", static_cast<void*>(window),
                 seen.visible ? 1 : 0, seen.className.c_str(), seen.title.c_str());
  }
  std::fclose(log);
  return static_cast<int>(exitCode);
}
