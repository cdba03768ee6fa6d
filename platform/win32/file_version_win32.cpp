// Version resources of real files, from version.dll in the system folder.
#include "platform/win32/windows_api.h"

#include "platform/file_version.h"
#include "platform/win32/system_library.h"

namespace platform {
namespace {

constexpr char kVersion[] = "version.dll";

}  // namespace

std::uint32_t GetVersionResourceSize(const char* path) {
  const auto getSize = win32::GetSystemFunction<decltype(&GetFileVersionInfoSizeA)>(
      kVersion, "GetFileVersionInfoSizeA");
  if (getSize == nullptr) return 0;
  DWORD ignored = 0;
  return getSize(path, &ignored);
}

bool ReadVersionResource(const char* path, std::uint32_t size, void* buffer) {
  const auto getInfo =
      win32::GetSystemFunction<decltype(&GetFileVersionInfoA)>(kVersion, "GetFileVersionInfoA");
  return getInfo != nullptr && getInfo(path, 0, size, buffer) != FALSE;
}

bool QueryFixedFileVersion(const void* resource, FixedFileVersion* version) {
  const auto query =
      win32::GetSystemFunction<decltype(&VerQueryValueA)>(kVersion, "VerQueryValueA");
  if (query == nullptr) return false;
  void* value = nullptr;
  UINT length = 0;
  if (!query(resource, "\\", &value, &length) || value == nullptr ||
      length < sizeof(VS_FIXEDFILEINFO)) {
    return false;
  }
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
  version->mostSignificant = fixed->dwFileVersionMS;
  version->leastSignificant = fixed->dwFileVersionLS;
  return true;
}

}  // namespace platform
