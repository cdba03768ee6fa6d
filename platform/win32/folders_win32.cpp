// The folders of the real system.
#include "platform/win32/windows_api.h"

#include "platform/folders.h"

namespace platform {

std::uint32_t GetSystemFolder(char* buffer, std::uint32_t size) {
  return GetSystemDirectoryA(buffer, size);
}

}  // namespace platform
