// Under Wine: what a program of ours does at start-up to keep planted DLLs out. The planted
// DLLs themselves are in the console program's tests (tests/wine/run-planting-test).
#include "platform/win32/windows_api.h"

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/dll_search.h"
#include "platform/win32/system_library.h"

namespace {

using platform::win32::FindLocalRedirection;
using platform::win32::LoadSystemLibrary;
using platform::win32::PreloadedSystemLibraries;
using platform::win32::PreloadSystemLibraries;

std::string SystemFolder() {
  char folder[MAX_PATH];
  const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::string(folder, length) : std::string();
}

std::string ModulePath(HMODULE module) {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::string(path, length) : std::string();
}

bool IsIn(const std::string& path, const std::string& folder) {
  return path.size() > folder.size() + 1 && path[folder.size()] == '\\' &&
         CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, path.c_str(),
                        static_cast<int>(folder.size()), folder.c_str(),
                        static_cast<int>(folder.size())) == CSTR_EQUAL;
}

// Wine 8.0's WoW64 mode cannot start a 32-bit program's ws2_32.dll (its loader says "failed to
// initialize"), so there it is never loaded; on Windows it is.
bool SocketsCannotLoad(const std::string& name) {
  using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, BOOL*);
  const auto isWow64 = reinterpret_cast<IsWow64ProcessFunction>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "IsWow64Process")));
  BOOL wow64 = FALSE;
  return name == "ws2_32.dll" &&
         GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr &&
         isWow64 != nullptr && isWow64(GetCurrentProcess(), &wow64) && wow64;
}

// The function is looked up by name at run time: a misspelt name would silently do nothing.
TEST(DllSearch, CurrentFolderIsTakenOutWhereTheSystemCan) {
  EXPECT_TRUE(platform::win32::RemoveCurrentFolderFromDllSearch());
}

// A misspelt name in the list would be skipped without a word, like a DLL the system lacks; the
// program's own run-time DLLs, which every system has, show it.
TEST(DllSearch, PreloadTakesEachListedDllFromTheSystemFolder) {
  const std::string system = SystemFolder();
  ASSERT_FALSE(system.empty());
  PreloadSystemLibraries();
  std::vector<std::string> loaded;
  for (const char* name : PreloadedSystemLibraries()) {
    if (GetFileAttributesA((system + "\\" + name).c_str()) == INVALID_FILE_ATTRIBUTES) continue;
    if (SocketsCannotLoad(name)) continue;
    SCOPED_TRACE(name);
    const HMODULE module = GetModuleHandleA(name);
    ASSERT_NE(module, nullptr) << "not loaded";
    EXPECT_EQ(LoadSystemLibrary(name), module) << "the loader keeps it";
    EXPECT_TRUE(IsIn(ModulePath(module), system)) << ModulePath(module);
    loaded.push_back(name);
  }
  for (const char* own :
       {"version.dll", "iphlpapi.dll", "psapi.dll", "ws2_32.dll", "setupapi.dll", "cfgmgr32.dll"}) {
    if (SocketsCannotLoad(own)) continue;
    EXPECT_NE(std::find(loaded.begin(), loaded.end(), own), loaded.end()) << own;
  }
}

// After the preload every module of the process but the program itself comes from the system
// folder: nothing from the program's folder or the current one.
TEST(DllSearch, AfterThePreloadEveryModuleIsTheSystems) {
  const std::string system = SystemFolder();
  ASSERT_FALSE(system.empty());
  PreloadSystemLibraries();
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, 0);
  ASSERT_NE(snapshot, INVALID_HANDLE_VALUE);
  const std::string program = ModulePath(nullptr);
  MODULEENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  int modules = 0;
  for (BOOL more = Module32First(snapshot, &entry); more; more = Module32Next(snapshot, &entry)) {
    const std::string path = entry.szExePath;
    if (path == program) continue;
    ++modules;
    EXPECT_TRUE(IsIn(path, system)) << path;
  }
  CloseHandle(snapshot);
  EXPECT_GT(modules, 0);
}

// A file or folder named after the program with ".local" beside it. Removed again however the
// test ends, so that no later run of the test program meets it.
class Redirection {
 public:
  Redirection(const std::string& path, bool folder) : path_(path), folder_(folder) {
    made_ = folder ? CreateDirectoryA(path.c_str(), nullptr) != FALSE
                   : CloseHandle(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                             FILE_ATTRIBUTE_NORMAL, nullptr)) != FALSE;
  }
  ~Redirection() {
    if (folder_) {
      RemoveDirectoryA(path_.c_str());
    } else {
      DeleteFileA(path_.c_str());
    }
  }
  Redirection(const Redirection&) = delete;
  Redirection& operator=(const Redirection&) = delete;
  bool made() const { return made_; }

 private:
  std::string path_;
  bool folder_;
  bool made_;
};

TEST(DllSearch, RedirectionBesideTheProgramIsFoundAsFileOrFolder) {
  const std::string program = ModulePath(nullptr);
  ASSERT_FALSE(program.empty());
  EXPECT_EQ(FindLocalRedirection(), "") << "none to begin with";
  for (const char* suffix : {".local", ".manifest"}) {
    const std::string name = program.substr(program.rfind('\\') + 1) + suffix;
    for (const bool folder : {false, true}) {
      SCOPED_TRACE(name + (folder ? " folder" : " file"));
      {
        const Redirection redirection(program + suffix, folder);
        ASSERT_TRUE(redirection.made());
        EXPECT_EQ(FindLocalRedirection(), name);
      }
      EXPECT_EQ(FindLocalRedirection(), "") << "gone again";
    }
  }
}

}  // namespace
