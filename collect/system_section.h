// The system section: who and what the workstation is, its memory and drives, and its patches
// with the state of the renegotiation setting.
#pragma once

#include <string>
#include <vector>

#include "collect/drives.h"
#include "platform/settings_user.h"
#include "platform/system_info.h"

namespace collect {

struct SystemSection {
  std::string hostName;               // empty when the sockets library or the name cannot be had
  std::string windowsName;            // WindowsVersionText; empty when the version cannot be read
  std::string userName;               // empty when it cannot be had
  bool administratorsMember = false;  // the Administrators group is in the process's token
  platform::MemoryStatus memory;
  std::vector<Drive> drives;            // the fixed and network drives
  int renegoSetting = -1;               // checks::CheckRenegoSetting: 0, 1, or -1 without its key
  std::vector<std::string> hotfixes;    // the installed hotfixes' comments, both views
  platform::SettingsUser settingsUser;  // whose per-user settings the program follows
};

SystemSection GatherSystemSection();
std::string RenderSystemSection(const SystemSection& section);

// The Windows version as the section names it, such as "Microsoft Windows XP Service Pack 3"
// or, for versions it has no name for, "OS Version: 6.2.9200".
std::string WindowsVersionText(const platform::VersionInfo& version);

}  // namespace collect
