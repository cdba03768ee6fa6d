// The folders of Windows that the program reads from or starts programs in.
#pragma once

#include <cstdint>

namespace platform {

// GetSystemDirectoryA(buffer, size): the system folder (C:\WINDOWS\system32), without a
// trailing backslash. Returns its length in bytes without the zero; 0 on failure; and, when it
// does not fit, the size needed with the zero, leaving the buffer untouched.
std::uint32_t GetSystemFolder(char* buffer, std::uint32_t size);

// The shell folders that the program looks in, by their CSIDL numbers.
enum class ShellFolder : int {
  kWindows = 0x24,  // CSIDL_WINDOWS: C:\WINDOWS
  kAppData = 0x1a,  // CSIDL_APPDATA: the user's roaming application data
};

// The size of the buffer that GetShellFolder fills: MAX_PATH.
inline constexpr std::uint32_t kShellFolderSize = 260;

// SHGetFolderPathA(nullptr, folder, token, SHGFP_TYPE_CURRENT, path): the folder's path,
// without a trailing backslash, into `path` of kShellFolderSize bytes. Returns S_OK (0) or the
// failing HRESULT (a folder that does not exist, or does not fit), leaving `path` untouched.
// kAppData is asked with the token of the user whose settings the program follows
// (platform/settings_user.h) while that is another user; the Windows folder with none.
long GetShellFolder(ShellFolder folder, char* path);

}  // namespace platform
