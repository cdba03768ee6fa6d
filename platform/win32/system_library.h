// The one way the program loads a DLL at run time.
//
// The program runs elevated, often from the Downloads folder, where anything may lie beside it.
// So a DLL beyond the few that the executable imports is never looked for by its bare name: it
// is loaded from the system folder by its full path, with LOAD_WITH_ALTERED_SEARCH_PATH so that
// its own imports are looked for beside it, in the system folder, too. A DLL once loaded stays
// loaded for the life of the process (the sockets library, started by one section and used by a
// later one, must not be unloaded in between), so what this hands out never dangles.
//
// A DLL or function that is missing gives null: the one feature that needs it fails with its
// usual result. Nothing here ever retries by bare name.
#pragma once

#include "platform/win32/windows_api.h"

namespace platform::win32 {

// The module of `name` (a file name such as "iphlpapi.dll") from the system folder, loaded on
// first use; null when the name is not a plain file name (it holds '\\', '/' or ':', and so
// could lead out of the system folder), the system folder cannot be read, the path does not fit
// MAX_PATH or the DLL cannot be loaded. Safe to call from any thread.
HMODULE LoadSystemLibrary(const char* name);

// The exported function `function` of the system DLL `dll`, or null when either is missing.
FARPROC GetSystemProc(const char* dll, const char* function);

// The same, as a pointer of the function's own type: GetSystemFunction<decltype(&WSAStartup)>.
template <typename Function>
Function GetSystemFunction(const char* dll, const char* function) {
  // Through the generic function pointer type, which converts to any other without a warning.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetSystemProc(dll, function)));
}

}  // namespace platform::win32
