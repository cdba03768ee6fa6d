// The local Administrators group in the process's token: whether the program runs with the
// group at all (the system section), and with it enabled (the console program's rights).
#pragma once

#include <vector>

#include "platform/identity.h"

namespace collect {

// The groups of the process's token, read whole. ERROR_SUCCESS, or the Windows code of
// opening the token or reading its groups (*groups is then unchanged).
long ReadProcessTokenGroups(std::vector<platform::TokenGroup>* groups);

// The local Administrators group among `groups`, or null.
const platform::TokenGroup* FindAdministratorsGroup(
    const std::vector<platform::TokenGroup>& groups);

// Sets *member to 1 when the Administrators group is among the process token's groups,
// enabled or deny-only alike, else to 0. Returns 0 when that could be told, else the Windows
// error code (and *member stays 0).
int CheckAdministratorsMember(int* member);

}  // namespace collect
