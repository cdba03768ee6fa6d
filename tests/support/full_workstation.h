// A simulated workstation with something in every section of the report and both items of the
// diagnosis abnormal, so that every renderer, check and repair has work to do: the workstation
// of the tests that run the whole program.
#pragma once

#include <string>

#include "platform/sim/workstation.h"

namespace full_workstation {

inline constexpr char kSchannel[] =
    "System\\CurrentControlSet\\Control\\SecurityProviders\\SCHANNEL";
inline constexpr char kInternetSettings[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
inline constexpr char kUserAgent[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\5.0\\User Agent";
// The virtual adapter's binding, which lacks TCP/IP until the export's report puts it right.
inline constexpr char kLinkage[] =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\0007\\"
    "Linkage";
inline constexpr char kHostsFile[] = "C:\\WINDOWS\\system32\\drivers\\etc\\hosts";

void Seed(platform::sim::Workstation& ws);

// The accounts of a workstation where an administrator started the program for the user at the
// desktop.
inline constexpr char kAdministratorSid[] = "S-1-5-21-1004336348-1177238915-682003330-500";
inline constexpr char kDesktopUserSid[] = "S-1-5-21-1004336348-1177238915-682003330-1104";
// The same workstation, run by an administrator for the user at the desktop: the per-user
// settings and the client's folder are the desktop user's; the administrator's own hive holds
// nothing of them.
void SeedElevatedByAnother(platform::sim::Workstation& ws);
// Everything but the registry: processes, drives, network, sockets, services, devices, file
// versions and the hosts file.
void SeedOutsideTheRegistry(platform::sim::Workstation& ws);

}  // namespace full_workstation
