// The folders of Windows that the program reads from or starts programs in.
#pragma once

#include <cstdint>

namespace platform {

// GetSystemDirectoryA(buffer, size): the system folder (C:\WINDOWS\system32), without a
// trailing backslash. Returns its length in bytes without the zero; 0 on failure; and, when it
// does not fit, the size needed with the zero, leaving the buffer untouched.
std::uint32_t GetSystemFolder(char* buffer, std::uint32_t size);

}  // namespace platform
