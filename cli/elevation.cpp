#include "cli/elevation.h"

#include <vector>

#include "collect/administrators.h"
#include "platform/identity.h"
#include "platform/win32_codes.h"

namespace cli {

bool ProcessIsElevated() {
  std::vector<platform::TokenGroup> groups;
  if (collect::ReadProcessTokenGroups(&groups) != ERROR_SUCCESS) return false;
  const platform::TokenGroup* administrators = collect::FindAdministratorsGroup(groups);
  return administrators != nullptr && (administrators->attributes & SE_GROUP_ENABLED) != 0 &&
         (administrators->attributes & SE_GROUP_USE_FOR_DENY_ONLY) == 0;
}

}  // namespace cli
