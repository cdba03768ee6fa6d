// A DLL planted where a program is downloaded: copied under the names of system DLLs into the
// program's folder and its working folder. Whoever loads it leaves a marker beside it,
// "<dll path>.<program file name>.marker", holding the loading program's path, so a test sees
// which program took it. It exports the one function that the control program imports.
#include "platform/win32/windows_api.h"

#include <cstdio>
#include <cstring>

namespace {

void LeaveMarker(HINSTANCE self) {
  char dll[MAX_PATH];
  char program[MAX_PATH];
  const DWORD dllLength = GetModuleFileNameA(self, dll, MAX_PATH);
  const DWORD programLength = GetModuleFileNameA(nullptr, program, MAX_PATH);
  if (dllLength == 0 || dllLength >= MAX_PATH || programLength == 0 || programLength >= MAX_PATH) {
    // Still seen: a marker whose name says no more than that the DLL ran.
    std::strcpy(dll, "C:\\planted");
    std::strcpy(program, "unknown");
  }
  const char* name = std::strrchr(program, '\\');
  name = name != nullptr ? name + 1 : program;
  char marker[2 * MAX_PATH + 16];
  std::snprintf(marker, sizeof(marker), "%s.%s.marker", dll, name);
  const HANDLE file =
      CreateFileA(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, program, static_cast<DWORD>(std::strlen(program)), &written, nullptr);
  CloseHandle(file);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) LeaveMarker(self);
  return TRUE;
}

// IP helper's answer would be NO_ERROR; this one tells the control program that it ran.
extern "C" __declspec(dllexport) DWORD WINAPI GetNumberOfInterfaces(DWORD* count) {
  if (count != nullptr) *count = 0;
  return 77;
}
