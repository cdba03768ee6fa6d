// The drive inventory: one record per drive of the wanted kinds, and its sizes as text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace collect {

// Bits of the drive type mask: which kinds of drive are kept.
enum DriveTypeMask : int {
  DRIVE_MASK_FIXED = 1,
  DRIVE_MASK_REMOTE = 2,
  DRIVE_MASK_REMOVABLE = 4,  // also starts the walk at A: instead of C:
  DRIVE_MASK_CDROM = 8,
};

// One drive: its root path, its kind and its space.
struct Drive {
  std::string rootPath;    // "C:\\"
  std::uint32_t kind = 0;  // DRIVE_FIXED, DRIVE_REMOTE, ...
  bool spaceRead = false;  // the space query answered; the sizes are 0 otherwise
  std::uint64_t totalBytes = 0;
  std::uint64_t freeBytes = 0;
};

// The drives of the kinds that `mask` wants, in letter order; none when the kernel module
// cannot be had.
std::vector<Drive> GatherDrives(int mask);

// "Fixed drive", "Network drive", ...; "Unknown" for a kind without a name.
const char* DriveKindName(std::uint32_t kind);

// A size as the report shows it: two decimals and its unit, or "0" when it was not read.
std::string DriveSizeText(const Drive& drive, std::uint64_t bytes);

// A byte count as text with `decimals` digits after the point: divided by 1024 while above
// 1000, with the unit that many divisions name (" bytes", " KB", " MB", " GB", " TB", then
// " PB" and " EB", which cover every 64-bit count).
void FormatByteSize(const std::int64_t& count, const int& decimals, std::string& text);

}  // namespace collect
