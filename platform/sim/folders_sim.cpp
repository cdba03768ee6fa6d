// The folders of the simulated workstation.
#include "platform/folders.h"

#include <cstring>

#include "platform/sim/workstation.h"

namespace platform {

std::uint32_t GetSystemFolder(char* buffer, std::uint32_t size) {
  const std::optional<std::string> folder = sim::Workstation::Current().SystemFolder();
  if (!folder) return 0;
  const auto length = static_cast<std::uint32_t>(folder->size());
  if (length + 1 > size) return length + 1;
  std::memcpy(buffer, folder->c_str(), length + 1);
  return length;
}

}  // namespace platform
