// The drives of the workstation: which letters are present, what kind each is, and how much
// space it holds.
//
// Calls that can fail return the Win32 error code (GetLastError) on failure and ERROR_SUCCESS
// otherwise; out-parameters are left untouched on failure.
#pragma once

#include <cstdint>

namespace platform {

// GetLogicalDrives: bit 0 is A:, bit 25 is Z:. 0 when the call fails.
std::uint32_t GetLogicalDriveMask();

// GetDriveTypeA(root), root as "C:\\": DRIVE_UNKNOWN (0), DRIVE_NO_ROOT_DIR (1) for a letter
// without a root directory, DRIVE_REMOVABLE (2), DRIVE_FIXED (3), DRIVE_REMOTE (4),
// DRIVE_CDROM (5) or DRIVE_RAMDISK (6).
std::uint32_t GetDriveKind(const char* root);

// Whether the kernel module that the free-space queries come from can be had (it is loaded
// from the system folder, like every module looked into at run time).
bool KernelModuleLoaded();

struct DiskSpace {
  std::uint64_t availableToCaller = 0;  // what the caller's quota lets it use
  std::uint64_t totalBytes = 0;
  std::uint64_t totalFreeBytes = 0;  // free on the volume, whatever the quota
};

// GetDiskFreeSpaceExA(root), looked up in the kernel module at run time (Windows 95 before
// OSR2 lacks it): ERROR_PROC_NOT_FOUND when the module has no such function, else the call's
// own result.
[[nodiscard]] long GetDiskSpace(const char* root, DiskSpace* space);

struct DiskGeometry {
  std::uint32_t sectorsPerCluster = 0;
  std::uint32_t bytesPerSector = 0;
  std::uint32_t freeClusters = 0;
  std::uint32_t totalClusters = 0;
};

// GetDiskFreeSpaceA(root): the older query, in clusters.
[[nodiscard]] long GetDiskGeometry(const char* root, DiskGeometry* geometry);

}  // namespace platform
