// Registry reads that the collectors share: subkey names and short texts, each in a buffer of
// 256 bytes, the size the collectors give registry names and values.
#pragma once

#include <cstdint>
#include <string>

#include "platform/registry.h"
#include "platform/win32_codes.h"

namespace collect {

inline constexpr std::uint32_t kRegistryTextSize = 256;

// A value that reads as REG_SZ and fits the buffer (its zero included).
inline bool ReadSzValue(const platform::RegKey& key, const char* name,
                        char (&text)[kRegistryTextSize]) {
  std::uint32_t type = REG_NONE;
  return platform::ReadRegString(key, name, text, kRegistryTextSize, nullptr, &type) ==
             ERROR_SUCCESS &&
         type == REG_SZ;
}

// Calls `visit` with the name of each subkey of an open key, in the registry's order, until the
// enumeration ends or fails, or `visit` returns false.
template <typename Visit>
void ForEachSubkey(const platform::RegKey& key, Visit visit) {
  for (std::uint32_t index = 0;; ++index) {
    char name[kRegistryTextSize];
    std::uint32_t length = kRegistryTextSize;
    if (key.EnumKeyEx(index, name, &length) != ERROR_SUCCESS) return;
    if (!visit(std::string(name, length))) return;
  }
}

}  // namespace collect
