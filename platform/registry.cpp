// The backend-independent half of registry access.
#include "platform/registry.h"

#include <cstring>
#include <vector>

#include "platform/settings_user.h"
#include "platform/win32_codes.h"

namespace platform {

long RegKey::Open(RegRoot root, const char* path, std::uint32_t access, RegView view) {
  // As Windows maps HKEY_CURRENT_USER to the process's user, the program maps it to the user it
  // follows.
  const std::string* sid = root == RegRoot::kCurrentUser ? FollowedUserSid() : nullptr;
  if (sid == nullptr) return OpenKey(root, path, access, view);
  std::string inHive = *sid;
  if (path != nullptr && *path != '\0') inHive.append("\\").append(path);
  return OpenKey(RegRoot::kUsers, inHive.c_str(), access, view);
}

long ReadRegString(const RegKey& key, const char* name, char* buffer, std::uint32_t size,
                   std::uint32_t* stored, std::uint32_t* type) {
  if (buffer == nullptr || size == 0) return ERROR_INVALID_PARAMETER;
  // Read into a scratch copy so that the caller's buffer stays as it was on every failure,
  // including the one decided here.
  std::vector<char> scratch(size, '\0');
  std::uint32_t read = size;
  std::uint32_t readType = 0;
  const long result = key.QueryValue(name, &readType, scratch.data(), &read);
  if (result != ERROR_SUCCESS) return result;
  if (read > size) return ERROR_MORE_DATA;  // a backend that overstates what it wrote
  if (std::memchr(scratch.data(), '\0', read) == nullptr) {
    // Stored without its terminating zero: it needs one more byte than it has.
    if (read == size) return ERROR_MORE_DATA;
    scratch[read] = '\0';
  }
  std::memcpy(buffer, scratch.data(), read < size ? read + 1 : size);
  if (stored != nullptr) *stored = read;
  if (type != nullptr) *type = readType;
  return ERROR_SUCCESS;
}

}  // namespace platform
