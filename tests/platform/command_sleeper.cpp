// A command that outlives a short wait: appends "started" to the file named on its command line,
// holding it open as a shell's ">>" does (writing at the end, sharing reading and writing),
// sleeps for the milliseconds given, then appends "slept" and exits with 3.
#include "platform/win32/windows_api.h"

#include <cstdlib>
#include <cstring>

namespace {

void Append(HANDLE file, const char* line) {
  DWORD written = 0;
  WriteFile(file, line, static_cast<DWORD>(std::strlen(line)), &written, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  HANDLE file = CreateFileA(argv[2], FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  Append(file, "started\r\n");
  Sleep(static_cast<DWORD>(std::strtoul(argv[1], nullptr, 10)));
  Append(file, "slept\r\n");
  CloseHandle(file);
  return 3;
}
