// What a program of ours does at start-up, before any window, so that no DLL planted beside it
// or in its current folder runs with its rights. (It runs elevated, often from the Downloads
// folder, where any web page can leave a file.) In this order:
//
//   1. RemoveCurrentFolderFromDllSearch;
//   2. FindLocalRedirection: when it names a file, refuse to start and say why;
//   3. PreloadSystemLibraries.
//
// Windows resolves the executable's own imports before any of this runs: those are limited to
// DLLs that Windows always takes from the system folder (scripts/check-exe enforces it).
// No <windows.h> here, so that any program's entry can include it.
#pragma once

#include <span>
#include <string>

namespace platform::win32 {

// Takes the current folder out of the DLL search with SetDllDirectoryA(""), looked up at run
// time: Windows 2000 and XP before SP1 lack it, and then nothing changes. Returns whether it
// was done.
bool RemoveCurrentFolderFromDllSearch();

// The name ("vantik.exe.local", "vantik.exe.manifest") of the redirection file or folder that
// lies beside the running program, or empty when there is none. Beside a ".local", Windows takes
// a DLL from the program's folder even when it is loaded by its full path, so nothing of the
// system folder can be loaded safely; Windows XP takes a ".manifest" in place of the program's
// own, and it can lead to DLLs in the program's folder. When the program's own path cannot be
// read, a redirection cannot be ruled out: the name is then `fallbackName`, the program's own
// name followed by ".local".
std::string FindLocalRedirection(const char* fallbackName = "vantik.exe.local");

// What a program says (code page 936) when it refuses to start beside the redirection `name`.
std::string LocalRedirectionRefusal(const std::string& name);

// The DLLs that Windows' own code loads later by bare name (the list and why: dll_search.cpp).
std::span<const char* const> PreloadedSystemLibraries();

// Loads each of those that the system has through LoadSystemLibrary; the others are skipped.
void PreloadSystemLibraries();

}  // namespace platform::win32
