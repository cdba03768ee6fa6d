// The folders of the simulated workstation.
#include "platform/folders.h"

#include <cstring>

#include "platform/settings_user.h"
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
  const ProcessToken* user = folder == ShellFolder::kAppData ? FollowedUserToken() : nullptr;
  std::string detail = std::to_string(static_cast<int>(folder));
  if (user != nullptr) detail += " as " + *FollowedUserSid();
  if (sim::EnterCall("SHGetFolderPathA", std::move(detail), kFailure) != 0) return kFailure;
  sim::Workstation& ws = sim::Workstation::Current();
  const std::optional<std::string> found =
      user != nullptr ? ws.identity().AppDataOf(user->Native()) : ws.ShellFolderPath(folder);
  if (!found || found->size() + 1 > kShellFolderSize) return kFailure;
  std::memcpy(path, found->c_str(), found->size() + 1);
  return 0;
}

}  // namespace platform
