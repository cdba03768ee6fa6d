// The backend-independent half of file access.
#include "platform/files.h"

#include <cstdio>
#include <functional>

#include "platform/unique_names.h"
#include "platform/win32_codes.h"

namespace platform {
namespace {

// Tries `stem` followed by kUniqueDigits hexadecimal digits, counting up, until `make` does
// not find the name taken: the name is unique because it was made, not because it was looked
// for. Another program may take names between two tries; hundreds taken in a row means
// something else is wrong.
long MakeUniqueName(const std::string& stem, const std::function<long(const std::string&)>& make,
                    std::string* path) {
  constexpr std::uint32_t kTries = 256;
  const std::uint32_t first = UniqueNameStart();
  for (std::uint32_t i = 0; i < kTries; ++i) {
    char digits[kUniqueDigits + 1];
    std::snprintf(digits, sizeof digits, "%08X", static_cast<unsigned>(first + i));
    const std::string name = stem + digits;
    const long result = make(name);
    if (result == ERROR_FILE_EXISTS || result == ERROR_ALREADY_EXISTS) continue;
    if (result == ERROR_SUCCESS) *path = name;
    return result;
  }
  return ERROR_FILE_EXISTS;
}

}  // namespace

long File::CreateUnique(const std::string& stem, std::string* path) {
  return MakeUniqueName(
      stem, [this](const std::string& name) { return CreateNew(name.c_str()); }, path);
}

bool IsNotThere(long lookedUp) {
  return lookedUp == ERROR_FILE_NOT_FOUND || lookedUp == ERROR_PATH_NOT_FOUND;
}

bool FileExists(const char* path) { return LookUpPath(path) == ERROR_SUCCESS; }

long CreateUniqueFolder(const std::string& stem, std::string* path) {
  std::string folder;
  const long result = MakeUniqueName(
      stem, [](const std::string& name) { return CreateFolder(name.c_str()); }, &folder);
  if (result == ERROR_SUCCESS) *path = folder + '\\';
  return result;
}

}  // namespace platform
