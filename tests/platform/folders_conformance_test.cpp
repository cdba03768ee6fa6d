// The contract of the folders seam, on the simulated workstation natively and on Wine's real
// system in the Windows build; under Wine also the one run-time DLL loader.
#ifdef _WIN32
#include "platform/win32/windows_api.h"

#include "platform/win32/system_library.h"
#else
#include "platform/sim/workstation.h"
#endif

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/cp936.h"
#include "platform/folders.h"

namespace {

class FoldersConformance : public ::testing::Test {
#ifndef _WIN32
 protected:
  platform::sim::Workstation workstation_;
#endif
};

TEST_F(FoldersConformance, SystemFolderHasNoTrailingBackslash) {
  char folder[260];
  std::memset(folder, 'x', sizeof(folder));
  const std::uint32_t length = platform::GetSystemFolder(folder, sizeof(folder));
  ASSERT_GT(length, 0u);
  ASSERT_LT(length, sizeof(folder));
  EXPECT_EQ(std::strlen(folder), length);
  const std::string text(folder);
  EXPECT_TRUE(platform::cp936::EqualsIgnoreCase(text.substr(text.size() - 9), "\\system32"))
      << text;
}

TEST_F(FoldersConformance, SystemFolderTooLongForTheBufferGivesTheSizeNeeded) {
  char folder[260];
  const std::uint32_t length = platform::GetSystemFolder(folder, sizeof(folder));
  ASSERT_GT(length, 4u);
  char small[4] = {'a', 'b', 'c', '\0'};
  EXPECT_EQ(platform::GetSystemFolder(small, sizeof(small)), length + 1);
  EXPECT_STREQ(small, "abc");
}

// The Windows folder holds the system folder; neither ends in a backslash.
TEST_F(FoldersConformance, WindowsFolderIsTheSystemFoldersParent) {
  char windows[platform::kShellFolderSize];
  std::memset(windows, 'x', sizeof(windows));
  ASSERT_EQ(platform::GetShellFolder(platform::ShellFolder::kWindows, windows), 0);
  char system[260];
  ASSERT_GT(platform::GetSystemFolder(system, sizeof(system)), 0u);
  EXPECT_TRUE(platform::cp936::EqualsIgnoreCase(std::string(windows) + "\\system32", system))
      << windows << " and " << system;
}

TEST_F(FoldersConformance, AppDataFolderIsAFullPathWithoutTrailingBackslash) {
  char appData[platform::kShellFolderSize];
  std::memset(appData, 'x', sizeof(appData));
  ASSERT_EQ(platform::GetShellFolder(platform::ShellFolder::kAppData, appData), 0);
  const std::string text(appData);
  ASSERT_GT(text.size(), 3u);
  EXPECT_EQ(text.substr(1, 2), ":\\") << text;
  EXPECT_NE(text.back(), '\\') << text;
}

#ifndef _WIN32
// What Wine cannot be made to do: a shell folder that is missing or too long fails and leaves
// the buffer untouched.
TEST_F(FoldersConformance, SimMissingOrOverlongShellFolderFails) {
  char path[platform::kShellFolderSize] = "untouched";
  workstation_.SetShellFolder(platform::ShellFolder::kAppData, std::nullopt);
  EXPECT_LT(platform::GetShellFolder(platform::ShellFolder::kAppData, path), 0);
  EXPECT_STREQ(path, "untouched");
  workstation_.SetShellFolder(platform::ShellFolder::kWindows, "C:\\" + std::string(257, 'w'));
  EXPECT_LT(platform::GetShellFolder(platform::ShellFolder::kWindows, path), 0);
  EXPECT_STREQ(path, "untouched");
  workstation_.SetShellFolder(platform::ShellFolder::kWindows, "C:\\" + std::string(256, 'w'));
  EXPECT_EQ(platform::GetShellFolder(platform::ShellFolder::kWindows, path), 0) << "259 fits";
}
#endif

#ifdef _WIN32
using platform::win32::GetSystemFunction;
using platform::win32::LoadSystemLibrary;

TEST(SystemLibrary, LoadsFromTheSystemFolderOnce) {
  const HMODULE module = LoadSystemLibrary("version.dll");
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(LoadSystemLibrary("VERSION.DLL"), module);
  char path[MAX_PATH];
  ASSERT_GT(GetModuleFileNameA(module, path, MAX_PATH), 0u);
  char system[MAX_PATH];
  const UINT length = GetSystemDirectoryA(system, MAX_PATH);
  ASSERT_GT(length, 0u);
  EXPECT_EQ(CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, path, length, system, length),
            CSTR_EQUAL)
      << path;
}

TEST(SystemLibrary, HandsOutFunctionsByName) {
  using SizeFunction = DWORD(WINAPI*)(LPCSTR, LPDWORD);
  const auto size = GetSystemFunction<SizeFunction>("version.dll", "GetFileVersionInfoSizeA");
  ASSERT_NE(size, nullptr);
  char system[MAX_PATH];
  ASSERT_GT(GetSystemDirectoryA(system, MAX_PATH), 0u);
  const std::string kernel = std::string(system) + "\\kernel32.dll";
  DWORD handle = 0;
  EXPECT_GT(size(kernel.c_str(), &handle), 0u);
}

TEST(SystemLibrary, MissingDllOrFunctionGivesNull) {
  EXPECT_EQ(LoadSystemLibrary("vantik-no-such.dll"), nullptr);
  EXPECT_EQ(GetSystemFunction<FARPROC>("vantik-no-such.dll", "Anything"), nullptr);
  EXPECT_EQ(GetSystemFunction<FARPROC>("version.dll", "VantikNoSuchFunction"), nullptr);
  EXPECT_EQ(LoadSystemLibrary(nullptr), nullptr);
  EXPECT_EQ(LoadSystemLibrary(std::string(300, 'a').c_str()), nullptr);
}

// A name with a folder, a drive or a stream in it could lead out of the system folder. The
// first one leads back to the system folder's version.dll, which loads: only the loader's
// refusal of anything but a plain file name keeps it out.
TEST(SystemLibrary, NameWithAFolderOrDriveGivesNull) {
  for (const char* name : {"..\\system32\\version.dll", "drivers\\..\\version.dll",
                           "drivers/../version.dll", "C:version.dll"}) {
    EXPECT_EQ(LoadSystemLibrary(name), nullptr) << name;
    EXPECT_EQ(GetSystemFunction<FARPROC>(name, "GetFileVersionInfoSizeA"), nullptr) << name;
  }
  EXPECT_EQ(LoadSystemLibrary(""), nullptr);
}
#endif

}  // namespace
