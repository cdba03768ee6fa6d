// The folders of the real system.
#include "platform/win32/windows_api.h"

#include <shlobj.h>

#include <cstring>

#include "platform/folders.h"
#include "platform/settings_user.h"

namespace platform {

std::uint32_t GetSystemFolder(char* buffer, std::uint32_t size) {
  return GetSystemDirectoryA(buffer, size);
}

long GetShellFolder(ShellFolder folder, char* path) {
  // Into a scratch buffer, so that the caller's stays untouched on failure.
  char found[MAX_PATH] = {};
  // The user's own folders through their token, as the registry follows their hive.
  const ProcessToken* user = folder == ShellFolder::kAppData ? FollowedUserToken() : nullptr;
  const HANDLE token = user != nullptr ? user->Native() : nullptr;
  const HRESULT result =
      SHGetFolderPathA(nullptr, static_cast<int>(folder), token, SHGFP_TYPE_CURRENT, found);
  if (FAILED(result)) return result;
  std::memcpy(path, found, std::strlen(found) + 1);
  return S_OK;
}

}  // namespace platform
