// The drives of the simulated workstation.
#include "platform/drives.h"
#include "platform/sim/workstation.h"
#include "platform/win32_codes.h"

namespace platform {
namespace sim {
namespace {

constexpr std::uint64_t kClusterBytes = 4096;

std::uint32_t Clusters(std::uint64_t bytes) {
  const std::uint64_t clusters = bytes / kClusterBytes;
  return clusters > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(clusters);
}

}  // namespace

Drives::Drives() { Add('C', DRIVE_FIXED, 80023715840u, 13099565056u); }

Drives& Drives::Add(const SimDrive& drive) {
  std::lock_guard lock(mutex_);
  drives_[drive.letter] = drive;
  return *this;
}

Drives& Drives::Add(char letter, std::uint32_t kind, std::uint64_t total, std::uint64_t free) {
  SimDrive drive;
  drive.letter = letter;
  drive.kind = kind;
  drive.space = DiskSpace{free, total, free};
  drive.geometry = DiskGeometry{8, 512, Clusters(free), Clusters(total)};
  return Add(drive);
}

Drives& Drives::Remove(char letter) {
  std::lock_guard lock(mutex_);
  drives_.erase(letter);
  return *this;
}

Drives& Drives::FailKernelModule() {
  std::lock_guard lock(mutex_);
  kernelFails_ = true;
  return *this;
}

Drives& Drives::WithoutDiskSpaceEx() {
  std::lock_guard lock(mutex_);
  withoutSpaceEx_ = true;
  return *this;
}

Drives& Drives::OnLogicalDrives(std::function<void()> probe) {
  std::lock_guard lock(mutex_);
  probe_ = std::move(probe);
  return *this;
}

std::vector<std::string> Drives::KindQueries() const {
  std::lock_guard lock(mutex_);
  return kindQueries_;
}

std::uint32_t Drives::LogicalDriveMask() {
  std::function<void()> probe;
  {
    std::lock_guard lock(mutex_);
    probe = probe_;
  }
  if (probe) probe();
  std::lock_guard lock(mutex_);
  std::uint32_t mask = 0;
  for (const auto& [letter, drive] : drives_) {
    if (letter >= 'A' && letter <= 'Z') mask |= 1u << (letter - 'A');
  }
  return mask;
}

const SimDrive* Drives::Find(const char* root) const {
  // Only a root path names a drive: a letter, a colon and a backslash.
  if (root == nullptr || root[0] == '\0' || root[1] != ':' || root[2] != '\\' || root[3] != '\0') {
    return nullptr;
  }
  const auto it = drives_.find(root[0]);
  return it != drives_.end() ? &it->second : nullptr;
}

std::uint32_t Drives::Kind(const char* root) {
  std::lock_guard lock(mutex_);
  kindQueries_.emplace_back(root != nullptr ? root : "");
  const SimDrive* drive = Find(root);
  return drive != nullptr ? drive->kind : DRIVE_NO_ROOT_DIR;
}

bool Drives::KernelModuleLoaded() const {
  std::lock_guard lock(mutex_);
  return !kernelFails_;
}

long Drives::Space(const char* root, DiskSpace* space) const {
  std::lock_guard lock(mutex_);
  if (kernelFails_ || withoutSpaceEx_) return ERROR_PROC_NOT_FOUND;
  const SimDrive* drive = Find(root);
  if (drive == nullptr) return ERROR_PATH_NOT_FOUND;
  if (drive->spaceError != 0) return drive->spaceError;
  *space = drive->space;
  return ERROR_SUCCESS;
}

long Drives::Geometry(const char* root, DiskGeometry* geometry) const {
  std::lock_guard lock(mutex_);
  const SimDrive* drive = Find(root);
  if (drive == nullptr) return ERROR_PATH_NOT_FOUND;
  if (drive->geometryError != 0) return drive->geometryError;
  *geometry = drive->geometry;
  return ERROR_SUCCESS;
}

}  // namespace sim

namespace {

std::string Root(const char* root) { return root != nullptr ? root : ""; }

}  // namespace

std::uint32_t GetLogicalDriveMask() {
  if (sim::EnterCall("GetLogicalDrives", "", ERROR_ACCESS_DENIED) != 0) return 0;
  return sim::Workstation::Current().drives().LogicalDriveMask();
}

std::uint32_t GetDriveKind(const char* root) {
  // The drive cannot be asked: its kind is unknown.
  if (sim::EnterCall("GetDriveTypeA", Root(root), ERROR_ACCESS_DENIED) != 0) return DRIVE_UNKNOWN;
  return sim::Workstation::Current().drives().Kind(root);
}

bool KernelModuleLoaded() {
  constexpr long kModuleNotFound = 126;  // ERROR_MOD_NOT_FOUND
  if (sim::EnterCall("GetProcAddress", "kernel32.dll", kModuleNotFound) != 0) return false;
  return sim::Workstation::Current().drives().KernelModuleLoaded();
}

long GetDiskSpace(const char* root, DiskSpace* space) {
  if (const long fault = sim::EnterCall("GetDiskFreeSpaceExA", Root(root), ERROR_ACCESS_DENIED)) {
    return fault;
  }
  return sim::Workstation::Current().drives().Space(root, space);
}

long GetDiskGeometry(const char* root, DiskGeometry* geometry) {
  if (const long fault = sim::EnterCall("GetDiskFreeSpaceA", Root(root), ERROR_ACCESS_DENIED)) {
    return fault;
  }
  return sim::Workstation::Current().drives().Geometry(root, geometry);
}

}  // namespace platform
