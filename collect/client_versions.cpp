// The versions of the client's files, in the system folder and in the client's own folder.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "collect/client_section.h"
#include "platform/file_version.h"
#include "platform/folders.h"
#include "platform/trace.h"

namespace collect {

namespace {

// MAX_PATH: paths that do not fit are not looked at, rather than cut to another file's name.
constexpr std::size_t kPathSize = 260;

int VersionOf(const std::string& path, std::string& version) {
  if (path.size() >= kPathSize) return -1;
  return GetFileVersionText(path.c_str(), version);
}

}  // namespace

int GetFileVersionText(const char* path, std::string& version) {
  if (path == nullptr) return -1;
  const std::uint32_t size = platform::GetVersionResourceSize(path);
  if (size == 0) {
    platform::DebugTrace("GetQuorvFileVersionInfoSize error");
    return -1;
  }
  // As large as the file says its resource is, in whole 32-bit units for the query's alignment.
  std::vector<std::uint32_t> resource;
  try {
    resource.resize(size / sizeof(std::uint32_t) + 1);
  } catch (const std::bad_alloc&) {
    platform::DebugTrace("GetQuorvFileVersionInfo error");
    return -1;
  }
  if (!platform::ReadVersionResource(path, size, resource.data())) {
    platform::DebugTrace("GetQuorvFileVersionInfo error");
    return -1;
  }
  platform::FixedFileVersion fixed;
  if (!platform::QueryFixedFileVersion(resource.data(), &fixed)) {
    platform::DebugTrace("VerQueryFileVersionValue error");
    return -1;
  }
  char text[64];
  std::snprintf(text, sizeof(text), "%d. %d. %d. %d", static_cast<int>(fixed.mostSignificant >> 16),
                static_cast<int>(fixed.mostSignificant & 0xFFFF),
                static_cast<int>(fixed.leastSignificant >> 16),
                static_cast<int>(fixed.leastSignificant & 0xFFFF));
  version = text;
  return 0;
}

std::string SystemFilePath(const char* name) {
  char windows[platform::kShellFolderSize];
  if (platform::GetShellFolder(platform::ShellFolder::kWindows, windows) != 0) return {};
  return std::string(windows) + "\\system32" + name;
}

int GetSystemFileVersion(const char* name, std::string& version) {
  if (name == nullptr) return -1;
  const std::string path = SystemFilePath(name);
  if (path.empty()) return -1;
  return VersionOf(path, version);
}

int GetClientFolder(char* path) {
  char appData[platform::kShellFolderSize];
  if (platform::GetShellFolder(platform::ShellFolder::kAppData, appData) != 0) return -1;
  const std::string folder = std::string(appData) + "\\tovraclient";
  if (folder.size() >= kPathSize) return -1;
  std::memcpy(path, folder.c_str(), folder.size() + 1);
  return 0;
}

int GetClientFileVersion(const char* name, std::string& version) {
  char folder[kPathSize];
  if (name == nullptr || GetClientFolder(folder) != 0) return -1;
  return VersionOf(std::string(folder) + '\\' + name, version);
}

}  // namespace collect
