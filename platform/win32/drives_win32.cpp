// The drives of the real system.
#include "platform/win32/windows_api.h"

#include "platform/drives.h"
#include "platform/win32/system_library.h"

namespace platform {
namespace {

constexpr char kKernel[] = "kernel32.dll";

}  // namespace

std::uint32_t GetLogicalDriveMask() { return GetLogicalDrives(); }

std::uint32_t GetDriveKind(const char* root) { return GetDriveTypeA(root); }

bool KernelModuleLoaded() { return win32::LoadSystemLibrary(kKernel) != nullptr; }

long GetDiskSpace(const char* root, DiskSpace* space) {
  using FreeSpaceEx = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
  const auto query = win32::GetSystemFunction<FreeSpaceEx>(kKernel, "GetDiskFreeSpaceExA");
  if (query == nullptr) return ERROR_PROC_NOT_FOUND;
  ULARGE_INTEGER available{};
  ULARGE_INTEGER total{};
  ULARGE_INTEGER free{};
  if (!query(root, &available, &total, &free)) return static_cast<long>(GetLastError());
  space->availableToCaller = available.QuadPart;
  space->totalBytes = total.QuadPart;
  space->totalFreeBytes = free.QuadPart;
  return ERROR_SUCCESS;
}

long GetDiskGeometry(const char* root, DiskGeometry* geometry) {
  DWORD sectorsPerCluster = 0;
  DWORD bytesPerSector = 0;
  DWORD freeClusters = 0;
  DWORD totalClusters = 0;
  if (!GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters,
                         &totalClusters)) {
    return static_cast<long>(GetLastError());
  }
  *geometry = DiskGeometry{sectorsPerCluster, bytesPerSector, freeClusters, totalClusters};
  return ERROR_SUCCESS;
}

}  // namespace platform
