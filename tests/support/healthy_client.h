// A simulated workstation on which the VPN client and everything it needs are in order: every
// row of the diagnosis finds nothing. Tests that are about something else start from it, and
// the diagnosis's own tests break one thing at a time.
#pragma once

#include "platform/sim/workstation.h"

namespace healthy_client {

inline constexpr char kClientFolder[] = "C:\\Users\\tester\\AppData\\Roaming\\tovraclient\\";
inline constexpr char kHostsFile[] = "C:\\WINDOWS\\system32\\drivers\\etc\\hosts";
inline constexpr char kInternetSettings[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
// The virtual adapter's entry in the network adapter class.
inline constexpr char kAdapterEntry[] =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\0011";

// What Seed puts on the workstation, so that a test can leave one part out and put its own.
enum Part : unsigned {
  kService = 1 << 0,         // QuorvService, running and started automatically
  kClientFiles = 1 << 1,     // the client's files, with their versions
  kProviderDlls = 1 << 2,    // dolvane.dll and tesnob.dll in the system folder
  kCatalogEntry = 1 << 3,    // the first Winsock catalog entry, not the client's
  kNameSpace = 1 << 4,       // the client's name-space provider, active
  kAdapterDevice = 1 << 5,   // the TovraDrv device, working
  kAdapterBinding = 1 << 6,  // its class entry, bound to TCP/IP
  kNetwork = 1 << 7,         // one adapter with an address and a DNS server, a default route
  kBrowser = 1 << 8,         // Internet Settings without a proxy
  kHosts = 1 << 9,           // a hosts file with localhost lines only
  kAll = (1 << 10) - 1,
};

// 2026-03-01 08:00:00, two weeks before the workstation's clock: when the files were written.
inline constexpr platform::FileTime kWritten{0x67038000u, 0x01DCA951u};

void Seed(platform::sim::Workstation& ws, unsigned parts = kAll);

}  // namespace healthy_client
