// Version resources on the simulated workstation. A resource here is a block of the size the
// test gave: a header with a mark and the block's size, then filler, then, at its very end, the
// fixed information with its signature. The query trusts the size in the header, as the real
// one trusts the resource's own length, so a block that was read only in part shows.
#include "platform/file_version.h"

#include <cstring>

#include "platform/cp936.h"
#include "platform/sim/workstation.h"
#include "platform/win32_codes.h"

namespace platform {
namespace sim {
namespace {

constexpr std::uint32_t kMark = 0x4D495356;       // "VSIM"
constexpr std::uint32_t kSignature = 0xFEEF04BD;  // VS_FIXEDFILEINFO's dwSignature
constexpr std::uint32_t kHeaderSize = 8;          // mark, size
constexpr std::uint32_t kFixedSize = 12;          // signature, most, least significant
constexpr std::uint32_t kSmallest = 32;

void Put(std::string& bytes, std::size_t at, std::uint32_t value) {
  std::memcpy(bytes.data() + at, &value, sizeof(value));
}

std::uint32_t Get(const unsigned char* bytes, std::size_t at) {
  std::uint32_t value = 0;
  std::memcpy(&value, bytes + at, sizeof(value));
  return value;
}

std::string MakeResource(std::uint32_t size, const FixedFileVersion* version) {
  if (size < kSmallest) size = kSmallest;
  std::string bytes(size, '\x5A');
  Put(bytes, 0, kMark);
  Put(bytes, 4, size);
  if (version != nullptr) {
    const std::size_t at = size - kFixedSize;
    Put(bytes, at, kSignature);
    Put(bytes, at + 4, version->mostSignificant);
    Put(bytes, at + 8, version->leastSignificant);
  }
  return bytes;
}

}  // namespace

FileVersions& FileVersions::Set(std::string_view path, FixedFileVersion version,
                                std::uint32_t resourceSize) {
  std::lock_guard lock(mutex_);
  resources_[cp936::ToUpper(path)] = Resource{MakeResource(resourceSize, &version)};
  return *this;
}

FileVersions& FileVersions::SetWithoutFixedInfo(std::string_view path, std::uint32_t resourceSize) {
  std::lock_guard lock(mutex_);
  resources_[cp936::ToUpper(path)] = Resource{MakeResource(resourceSize, nullptr)};
  return *this;
}

FileVersions& FileVersions::FailRead(std::string_view path) {
  std::lock_guard lock(mutex_);
  resources_[cp936::ToUpper(path)].readFails = true;
  return *this;
}

std::uint32_t FileVersions::Size(const char* path) const {
  std::lock_guard lock(mutex_);
  if (path == nullptr) return 0;
  const auto it = resources_.find(cp936::ToUpper(path));
  return it != resources_.end() ? static_cast<std::uint32_t>(it->second.bytes.size()) : 0;
}

bool FileVersions::Read(const char* path, std::uint32_t size, void* buffer) const {
  std::lock_guard lock(mutex_);
  if (path == nullptr || buffer == nullptr) return false;
  const auto it = resources_.find(cp936::ToUpper(path));
  if (it == resources_.end() || it->second.readFails || it->second.bytes.empty()) return false;
  const std::string& bytes = it->second.bytes;
  std::memcpy(buffer, bytes.data(), size < bytes.size() ? size : bytes.size());
  return true;
}

bool FileVersions::QueryFixed(const void* resource, FixedFileVersion* version) {
  const auto* bytes = static_cast<const unsigned char*>(resource);
  if (bytes == nullptr || Get(bytes, 0) != kMark) return false;
  const std::uint32_t size = Get(bytes, 4);
  if (size < kSmallest) return false;
  const std::size_t at = size - kFixedSize;
  if (Get(bytes, at) != kSignature) return false;
  version->mostSignificant = Get(bytes, at + 4);
  version->leastSignificant = Get(bytes, at + 8);
  return true;
}

}  // namespace sim

namespace {

std::string Path(const char* path) { return path != nullptr ? path : ""; }

}  // namespace

std::uint32_t GetVersionResourceSize(const char* path) {
  constexpr long kNoResource = 1813;  // ERROR_RESOURCE_TYPE_NOT_FOUND
  if (sim::EnterCall("GetFileVersionInfoSizeA", Path(path), kNoResource) != 0) return 0;
  return sim::Workstation::Current().fileVersions().Size(path);
}

bool ReadVersionResource(const char* path, std::uint32_t size, void* buffer) {
  if (sim::EnterCall("GetFileVersionInfoA", Path(path), ERROR_ACCESS_DENIED) != 0) return false;
  return sim::Workstation::Current().fileVersions().Read(path, size, buffer);
}

bool QueryFixedFileVersion(const void* resource, FixedFileVersion* version) {
  constexpr long kNoValue = 1813;
  if (sim::EnterCall("VerQueryValueA", "\\", kNoValue) != 0) return false;
  return sim::FileVersions::QueryFixed(resource, version);
}

}  // namespace platform
