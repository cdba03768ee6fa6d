// Runs a program in a session with a desktop shell, as a user's logged-on session has one:
// Wine's explorer.exe names no shell window, so this makes the desktop window (explorer.exe's,
// which runs as the prefix's one user) the shell's, then runs the program with the same standard
// streams and ends with its exit code. A program that looks for the user at the desktop then
// finds its own account, as it does when a user starts it themselves.
//
//   desktop_shell PROGRAM [ARGUMENT...]
#include "platform/win32/windows_api.h"

#include <cstdio>

#include "tests/wine/child_process.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: desktop_shell PROGRAM [ARGUMENT...]\n");
    return 125;
  }
  using SetShellWindowFunction = BOOL(WINAPI*)(HWND);
  const auto setShellWindow = reinterpret_cast<SetShellWindowFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "SetShellWindow")));
  if (setShellWindow == nullptr ||
      (GetShellWindow() == nullptr && !setShellWindow(GetDesktopWindow()))) {
    std::fprintf(stderr, "desktop_shell: cannot name a shell window\n");
    return 125;
  }
  PROCESS_INFORMATION process{};
  if (!child_process::Start(argc - 1, argv + 1, &process)) {
    std::fprintf(stderr, "desktop_shell: cannot start %s (%lu)\n", argv[1],
                 static_cast<unsigned long>(GetLastError()));
    return 125;
  }
  CloseHandle(process.hThread);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD exitCode = 125;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hProcess);
  return static_cast<int>(exitCode);
}
