// The system section: who and what the workstation is, its memory and drives, and its patches
// with the state of the renegotiation setting.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "collect/drive_info.h"
#include "platform/identity.h"
#include "platform/system_info.h"

// Gathers the host name, the Windows version, the memory figures and the fixed and network
// drives when it is made; the user name and the Administrators membership when asked.
class CSysInfo {
 public:
  CSysInfo();
  virtual ~CSysInfo() = default;

  std::string GetHostName() const { return m_strHostName; }
  std::string GetOSName() const { return m_strOSName; }
  // The user the program runs as; empty when it cannot be had.
  std::string GetLoginUserName() const;
  // Sets *member to 1 when the Administrators group is among the process token's groups,
  // enabled or deny-only alike, else to 0. Returns 0 when that could be told, else the Windows
  // error code (and *member stays 0).
  int CheckAdministratorsMember(int* member) const;
  virtual const std::vector<DriveStats>& GetDrives() const { return m_driveInfo.GetDrives(); }

  // In GB of 2^30 bytes, each count first cut to whole MiB.
  float m_fTotalPhysGB = 0;
  float m_fTotalVirtualGB = 0;
  float m_fAvailVirtualGB = 0;
  std::uint32_t m_dwMemoryLoad = 0;  // percent
  std::string m_strOSName;
  std::string m_strHostName;
  DriveInfo m_driveInfo;
};

// The groups of the process's token, read whole. ERROR_SUCCESS, or the Windows code of
// opening the token or reading its groups (*groups is then unchanged).
long ReadProcessTokenGroups(std::vector<platform::TokenGroup>* groups);

// The local Administrators group among `groups`, or null.
const platform::TokenGroup* FindAdministratorsGroup(
    const std::vector<platform::TokenGroup>& groups);

// The Windows version as the section names it, such as "Microsoft Windows XP Service Pack 3"
// or, for versions it has no name for, "OS Version: 6.2.9200".
std::string WindowsVersionText(const platform::VersionInfo& version);
