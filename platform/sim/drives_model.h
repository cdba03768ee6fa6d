// The simulated drives: letters with their kinds and sizes, and the kernel module that the
// free-space queries come from.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/drives.h"

namespace platform::sim {

struct SimDrive {
  char letter = 'C';
  std::uint32_t kind = 3;  // DRIVE_FIXED
  DiskSpace space;         // what GetDiskFreeSpaceExA gives
  long spaceError = 0;     // or the error it fails with
  DiskGeometry geometry;   // what GetDiskFreeSpaceA gives
  long geometryError = 0;  // or the error it fails with
};

class Drives {
 public:
  // By default C:, a fixed drive of 80,023,715,840 bytes with 13,099,565,056 free.
  Drives();

  // A drive (replacing one of the same letter).
  Drives& Add(const SimDrive& drive);
  // A drive of `total` bytes with `free` free, in clusters of 4096 bytes for the older query.
  Drives& Add(char letter, std::uint32_t kind, std::uint64_t total, std::uint64_t free);
  Drives& Remove(char letter);
  // The kernel module cannot be loaded.
  Drives& FailKernelModule();
  // The kernel module has no GetDiskFreeSpaceExA, as on Windows 95 before OSR2.
  Drives& WithoutDiskSpaceEx();
  // Called when GetLogicalDrives is asked, before it answers.
  Drives& OnLogicalDrives(std::function<void()> probe);
  // The roots GetDriveTypeA was asked about, in order.
  std::vector<std::string> KindQueries() const;

  // The backend's side.
  std::uint32_t LogicalDriveMask();
  std::uint32_t Kind(const char* root);
  bool KernelModuleLoaded() const;
  long Space(const char* root, DiskSpace* space) const;
  long Geometry(const char* root, DiskGeometry* geometry) const;

 private:
  const SimDrive* Find(const char* root) const;

  mutable std::mutex mutex_;
  std::map<char, SimDrive> drives_;
  bool kernelFails_ = false;
  bool withoutSpaceEx_ = false;
  std::function<void()> probe_;
  std::vector<std::string> kindQueries_;
};

}  // namespace platform::sim
