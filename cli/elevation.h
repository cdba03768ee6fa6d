// Whether the process runs with administrator rights.
#pragma once

namespace cli {

// The local Administrators group is in the process's token and enabled: a member of the group
// running elevated, or on a system without user account control. Under user account control
// a member's unelevated token holds the group for denying only, which grants nothing. False
// also when the token cannot be read.
bool ProcessIsElevated();

}  // namespace cli
