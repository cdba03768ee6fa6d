// Runs a program in a session with a desktop shell, as a user's logged-on session has one:
// Wine's explorer.exe names no shell window, so this makes the desktop window (explorer.exe's,
// which runs as the prefix's one user) the shell's, then runs the program with the same standard
// handles and ends with its exit code. A program that looks for the user at the desktop then
// finds its own account, as it does when a user starts it themselves.
//
//   desktop_shell.exe PROGRAM [ARGUMENT...]
#include "platform/win32/windows_api.h"

#include <string>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  using SetShellWindowFunction = BOOL(WINAPI*)(HWND);
  const auto setShellWindow = reinterpret_cast<SetShellWindowFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "SetShellWindow")));
  if (setShellWindow == nullptr ||
      (GetShellWindow() == nullptr && !setShellWindow(GetDesktopWindow()))) {
    return 3;
  }
  std::string commandLine;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (i > 1) commandLine += ' ';
    commandLine += argument.find(' ') == std::string::npos ? argument : '"' + argument + '"';
  }
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return 4;
  }
  CloseHandle(process.hThread);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 1;
  if (!GetExitCodeProcess(process.hProcess, &code)) code = 1;
  CloseHandle(process.hProcess);
  return static_cast<int>(code);
}
