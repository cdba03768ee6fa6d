// Starting a program as a child that writes to this one's standard streams, for the test
// programs that run the program under test inside something of their own.
#pragma once

#include "platform/win32/windows_api.h"

#include <string>

namespace child_process {

// Each argument quoted as the C runtime splits them again; none of ours ends in a backslash.
inline std::string CommandLine(int argc, char** argv) {
  std::string line;
  for (int i = 0; i < argc; ++i) {
    if (!line.empty()) line += ' ';
    line += '"';
    line += argv[i];
    line += '"';
  }
  return line;
}

// An inheritable copy of a standard handle, or null when there is none.
inline HANDLE Inheritable(DWORD which) {
  const HANDLE handle = GetStdHandle(which);
  HANDLE copy = nullptr;
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE ||
      !DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy, 0, TRUE,
                       DUPLICATE_SAME_ACCESS)) {
    return nullptr;
  }
  return copy;
}

// Starts the program and arguments `argv[0..argc)` with this process's standard streams; false
// when it cannot start (GetLastError says why).
inline bool Start(int argc, char** argv, PROCESS_INFORMATION* process) {
  std::string command = CommandLine(argc, argv);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = Inheritable(STD_INPUT_HANDLE);
  startup.hStdOutput = Inheritable(STD_OUTPUT_HANDLE);
  startup.hStdError = Inheritable(STD_ERROR_HANDLE);
  return CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, process) != FALSE;
}

}  // namespace child_process
