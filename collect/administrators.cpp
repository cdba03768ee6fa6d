#include "collect/administrators.h"

#include <cstdint>

#include "platform/win32_codes.h"

namespace collect {

namespace {

constexpr char kAdministratorsSid[] = "S-1-5-32-544";

// The token's groups, read whole: asked for the size first, and again should the list grow
// in between (a few times at most, so an answer that keeps growing cannot hold the report).
long ReadTokenGroups(const platform::ProcessToken& token,
                     std::vector<platform::TokenGroup>* groups) {
  std::uint32_t size = 0;
  for (int attempt = 0; attempt < 4; ++attempt) {
    std::uint32_t needed = 0;
    const long result = token.QueryGroups(size, groups, &needed);
    if (result != ERROR_INSUFFICIENT_BUFFER || needed <= size) return result;
    size = needed;
  }
  return ERROR_INSUFFICIENT_BUFFER;
}

}  // namespace

long ReadProcessTokenGroups(std::vector<platform::TokenGroup>* groups) {
  platform::ProcessToken token;
  if (const long opened = token.Open(TOKEN_READ); opened != ERROR_SUCCESS) return opened;
  return ReadTokenGroups(token, groups);
}

const platform::TokenGroup* FindAdministratorsGroup(
    const std::vector<platform::TokenGroup>& groups) {
  for (const platform::TokenGroup& group : groups) {
    if (group.sid == kAdministratorsSid) return &group;
  }
  return nullptr;
}

int CheckAdministratorsMember(int* member) {
  *member = 0;
  std::vector<platform::TokenGroup> groups;
  if (const long read = ReadProcessTokenGroups(&groups); read != ERROR_SUCCESS) {
    return static_cast<int>(read);
  }
  if (FindAdministratorsGroup(groups) != nullptr) *member = 1;
  return 0;
}

}  // namespace collect
