// The folders of the simulated workstation.
#include "platform/folders.h"

#include <cstring>

#include "platform/sim/workstation.h"
#include "platform/win32_codes.h"

namespace platform {

std::uint32_t GetSystemFolder(char* buffer, std::uint32_t size) {
  if (sim::EnterCall("GetSystemDirectoryA", "", ERROR_ACCESS_DENIED) != 0) return 0;
  const std::optional<std::string> folder = sim::Workstation::Current().SystemFolder();
  if (!folder) return 0;
  const auto length = static_cast<std::uint32_t>(folder->size());
  if (length + 1 > size) return length + 1;
  std::memcpy(buffer, folder->c_str(), length + 1);
  return length;
}

long GetShellFolder(ShellFolder folder, char* path) {
  constexpr long kFailure = static_cast<std::int32_t>(0x80004005u);  // E_FAIL
  if (sim::EnterCall("SHGetFolderPathA", std::to_string(static_cast<int>(folder)), kFailure) != 0) {
    return kFailure;
  }
  const std::optional<std::string> found = sim::Workstation::Current().ShellFolderPath(folder);
  if (!found || found->size() + 1 > kShellFolderSize) return kFailure;
  std::memcpy(path, found->c_str(), found->size() + 1);
  return 0;
}

}  // namespace platform
