// The Windows version and the computer's name from the real system.
#include "platform/win32/windows_api.h"

#include "platform/system_info.h"

namespace platform {

// The sizes that Windows checks in dwOSVersionInfoSize.
static_assert(sizeof(OSVERSIONINFOEXA) == 156);
static_assert(sizeof(OSVERSIONINFOA) == 148);

bool GetWindowsVersion(VersionInfo* version) {
  // Cleared once: when only the basic form answers, the extended fields stay 0.
  OSVERSIONINFOEXA info;
  ZeroMemory(&info, sizeof(info));
  info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);
  if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) {
    info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) return false;
  }
  version->platformId = info.dwPlatformId;
  version->major = info.dwMajorVersion;
  version->minor = info.dwMinorVersion;
  version->build = info.dwBuildNumber;
  version->servicePackMajor = info.wServicePackMajor;
  version->productType = info.wProductType;
  version->csdLetter = info.szCSDVersion[1];
  return true;
}

}  // namespace platform

namespace platform {

MemoryStatus GetMemoryStatus() {
  // The 64-bit counts: GlobalMemoryStatus gives a 32-bit program at most 2 GiB of physical memory
  // (one not marked large-address aware, as the shipped build is not), so a workstation with
  // 8 GiB would be reported as one with 2.
  MEMORYSTATUSEX wide;
  ZeroMemory(&wide, sizeof(wide));
  wide.dwLength = sizeof(wide);
  if (GlobalMemoryStatusEx(&wide)) {
    return MemoryStatus{wide.dwMemoryLoad,     wide.ullTotalPhys,     wide.ullAvailPhys,
                        wide.ullTotalPageFile, wide.ullAvailPageFile, wide.ullTotalVirtual,
                        wide.ullAvailVirtual};
  }
  MEMORYSTATUS status;
  ZeroMemory(&status, sizeof(status));
  status.dwLength = sizeof(status);
  GlobalMemoryStatus(&status);
  return MemoryStatus{status.dwMemoryLoad,    status.dwTotalPhys,     status.dwAvailPhys,
                      status.dwTotalPageFile, status.dwAvailPageFile, status.dwTotalVirtual,
                      status.dwAvailVirtual};
}

bool GetComputerNameText(std::string* name) {
  char buffer[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = sizeof(buffer);
  if (!GetComputerNameA(buffer, &size) || size >= sizeof(buffer)) return false;
  name->assign(buffer, size);
  return true;
}

}  // namespace platform
