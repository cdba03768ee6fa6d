#include "collect/drives.h"

#include <utility>

#include "platform/drives.h"
#include "platform/win32_codes.h"
#include "text/append_format.h"

namespace collect {

using namespace text;

namespace {

bool IsWanted(std::uint32_t kind, int mask) {
  switch (kind) {
    case DRIVE_FIXED:
      return (mask & DRIVE_MASK_FIXED) != 0;
    case DRIVE_REMOTE:
      return (mask & DRIVE_MASK_REMOTE) != 0;
    case DRIVE_REMOVABLE:
      return (mask & DRIVE_MASK_REMOVABLE) != 0;
    case DRIVE_CDROM:
      return (mask & DRIVE_MASK_CDROM) != 0;
    default:
      return false;
  }
}

// Total and free space: the extended query where the kernel has it (none when it fails), else
// the older one in clusters, whose 32-bit products are what that query's systems can hold.
void ReadSpace(const char* root, Drive& drive) {
  platform::DiskSpace space;
  const long result = platform::GetDiskSpace(root, &space);
  if (result == ERROR_SUCCESS) {
    drive.spaceRead = true;
    drive.totalBytes = space.totalBytes;
    drive.freeBytes = space.totalFreeBytes;
    return;
  }
  if (result != ERROR_PROC_NOT_FOUND) return;
  platform::DiskGeometry geometry;
  std::uint32_t total = 0;
  std::uint32_t free = 0;
  if (platform::GetDiskGeometry(root, &geometry) == ERROR_SUCCESS) {
    total = geometry.totalClusters * geometry.sectorsPerCluster * geometry.bytesPerSector;
    free = geometry.freeClusters * geometry.sectorsPerCluster * geometry.bytesPerSector;
  }
  // The older query shows its sizes even when it fails: as zero bytes.
  drive.spaceRead = true;
  drive.totalBytes = total;
  drive.freeBytes = free;
}

}  // namespace

std::vector<Drive> GatherDrives(int mask) {
  std::vector<Drive> drives;
  if (!platform::KernelModuleLoaded()) return drives;
  const std::uint32_t present = platform::GetLogicalDriveMask();
  for (int index = (mask & DRIVE_MASK_REMOVABLE) != 0 ? 0 : 2; index <= 25; ++index) {
    if ((present & (1u << index)) == 0) continue;
    const char root[] = {static_cast<char>('A' + index), ':', '\\', '\0'};
    const std::uint32_t kind = platform::GetDriveKind(root);
    if (kind == DRIVE_NO_ROOT_DIR || !IsWanted(kind, mask)) continue;
    Drive drive;
    drive.rootPath = root;
    drive.kind = kind;
    ReadSpace(root, drive);
    drives.push_back(std::move(drive));
  }
  return drives;
}

const char* DriveKindName(std::uint32_t kind) {
  switch (kind) {
    case DRIVE_UNKNOWN:
      return "Unknown drive";
    case DRIVE_REMOVABLE:
      return "Removable drive";
    case DRIVE_FIXED:
      return "Fixed drive";
    case DRIVE_REMOTE:
      return "Network drive";
    case DRIVE_CDROM:
      return "CD-ROM drive";
    case DRIVE_RAMDISK:
      return "RAM disk";
    default:
      return "Unknown";
  }
}

std::string DriveSizeText(const Drive& drive, std::uint64_t bytes) {
  if (!drive.spaceRead) return "0";
  std::string text;
  FormatByteSize(static_cast<std::int64_t>(bytes), 2, text);
  return text;
}

void FormatByteSize(const std::int64_t& count, const int& decimals, std::string& text) {
  static const char* const kUnits[] = {" bytes", " KB", " MB", " GB", " TB", " PB", " EB"};
  constexpr int kLastUnit = sizeof(kUnits) / sizeof(kUnits[0]) - 1;
  double x = static_cast<double>(count);
  int unit = 0;
  while (x > 1000 && unit < kLastUnit) {
    x *= 1.0 / 1024;
    ++unit;
  }
  text.clear();
  AppendFormat(text, "%.*f%s", decimals, x, kUnits[unit]);
}

}  // namespace collect
