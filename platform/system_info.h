// The Windows version, the memory status and the computer's name.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

struct VersionInfo {
  std::uint32_t platformId = 0;  // VER_PLATFORM_WIN32_NT is 2
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  std::uint32_t build = 0;
  std::uint16_t servicePackMajor = 0;
  std::uint8_t productType = 0;  // VER_NT_WORKSTATION is 1; 0 when only the basic form answered
  // szCSDVersion[1]: on Windows 95 and 98 the release letter ('C' for OSR2, 'A' for 98 SE).
  char csdLetter = 0;
};

// GetVersionExA with the extended structure, or failing that the basic one. False when both
// fail.
bool GetWindowsVersion(VersionInfo* version);

// GlobalMemoryStatusEx (Windows 2000 and later), in bytes: the machine's whole memory also for
// a 32-bit program, where GlobalMemoryStatus would clamp it to 2 GiB. The virtual figures are
// this process's user-mode address space (2 GiB for the 32-bit program).
struct MemoryStatus {
  std::uint32_t memoryLoad = 0;  // percent in use, 0..100
  std::uint64_t totalPhys = 0;
  std::uint64_t availPhys = 0;
  std::uint64_t totalPageFile = 0;
  std::uint64_t availPageFile = 0;
  std::uint64_t totalVirtual = 0;  // the user-mode address space of this process
  std::uint64_t availVirtual = 0;
};

// Cannot fail: where GlobalMemoryStatusEx does, GlobalMemoryStatus answers.
MemoryStatus GetMemoryStatus();

// GetComputerNameA: the computer's NetBIOS name, in the ANSI code page. False, with *name
// untouched, when it cannot be had.
bool GetComputerNameText(std::string* name);

}  // namespace platform
