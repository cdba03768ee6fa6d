// The system section's last line: whose per-user settings the report and the checks read, when
// that is not simply the account the program runs as.
#pragma once

#include <string>

#include "platform/settings_user.h"

namespace collect {

// "" for the process's own account found at the desktop (every Windows program reads that);
// else one line naming the account and its SID, and for a fallback why the desktop's user
// could not be followed, with the Windows code.
std::string SettingsUserLine(const platform::SettingsUser& user);

}  // namespace collect
