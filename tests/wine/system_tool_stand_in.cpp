// Stands in for a system tool (ipconfig, netsh, wmic) in the folder that only 32-bit programs
// see, syswow64: a 32-bit program that names the system32 copy runs this one only through the
// file system's redirection. It prints one line that says so, with the path it was started
// from and its arguments, and ends with 0.
//
//   <tool>.exe [ARGUMENT...]  ->  "stand-in C:\windows\syswow64\ipconfig.exe|/all"
#include "platform/win32/windows_api.h"

#include <cstdio>

int main() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 1;
  // The command line after the program's own name, quoted or not.
  const char* arguments = GetCommandLineA();
  const char end = *arguments == '"' ? '"' : ' ';
  if (*arguments == '"') ++arguments;
  while (*arguments != '\0' && *arguments != end) ++arguments;
  if (*arguments == end) ++arguments;
  while (*arguments == ' ') ++arguments;
  // The C runtime writes the line end as CR LF, as the real tools do.
  std::printf("stand-in %s|%s\n", path, arguments);
  return 0;
}
