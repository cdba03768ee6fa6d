// The facts each row of the diagnosis rests on, as plain records. Each is gathered through the
// platform seam by GatherXxxFacts (gather_facts.cpp), and judged by a pure function of the
// record (client_rules.cpp, network_rules.cpp, settings_rules.cpp), so that the judging can be
// fed a hand-made workstation and the report can judge the records it gathered itself.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "collect/adapter_device.h"
#include "collect/client_section.h"
#include "collect/drives.h"
#include "collect/hosts_section.h"
#include "collect/route_section.h"
#include "diagnosis/finding.h"
#include "platform/file_status.h"

namespace diagnosis {

// Whether the VPN client is there at all, and its service.
struct ClientServiceFacts {
  collect::ServiceState service = collect::ServiceState::kQueryFailed;
  std::optional<std::uint32_t> startType;  // SERVICE_DISABLED 4, ...; nullopt when not read
  std::vector<std::string> clientFiles;    // the client's files found, by name
  bool providerDll = false;                // the provider DLL is in the system folder
};

// The virtual adapter: its device and its binding.
struct VirtualAdapterFacts {
  ClientServiceFacts client;
  std::string adapterName = "TovraDrv";  // the device looked at: "TovraDrv" or "MirrelDrv"
  collect::AdapterDevice device;
  int binding = -1;  // collect::ReadVirtualAdapterBinding of adapterName
};

// The pieces of the client that live outside its program: as the report's client section
// holds them (its network extension is not read here).
struct ClientComponentFacts {
  ClientServiceFacts client;
  collect::ClientSection section;
};

// The browser's proxy settings.
struct ProxyFacts {
  bool read = false;  // the per-user Internet Settings key could be opened
  int proxyEnable = 0;
  std::string proxyServer;
  std::string proxyOverride;
  std::string autoConfigUrl;
};

// The local clock and the newest last-write time of the files it is held against.
struct ClockFacts {
  platform::LocalTime now;
  std::optional<platform::LocalTime> newest;
  std::string newestPath;  // the file written last
};

// The system drive and its space.
struct SystemDriveFacts {
  std::string root;                     // "C:\"; empty when the Windows folder is not known
  std::optional<collect::Drive> drive;  // nullopt when the drive is not among the fixed ones
};

// Whether the client is missing as a whole: no service, none of its files, no provider DLL.
bool ClientNotInstalled(const ClientServiceFacts& facts);

RowOutcome JudgeClientService(const ClientServiceFacts& facts);
RowOutcome JudgeVirtualAdapter(const VirtualAdapterFacts& facts);
RowOutcome JudgeClientComponents(const ClientComponentFacts& facts);
RowOutcome JudgeNetworkConnection(const collect::RouteAndAdapterSections& facts);
RowOutcome JudgeBrowserProxy(const ProxyFacts& facts);
RowOutcome JudgeHostsFile(const collect::HostsSection& facts);
RowOutcome JudgeSystemClock(const ClockFacts& facts);
RowOutcome JudgeSystemDriveSpace(const SystemDriveFacts& facts);

ClientServiceFacts GatherClientServiceFacts();
VirtualAdapterFacts GatherVirtualAdapterFacts();
ClientComponentFacts GatherClientComponentFacts();
ProxyFacts GatherProxyFacts();
ClockFacts GatherClockFacts();
SystemDriveFacts GatherSystemDriveFacts();
// The network and hosts rows read the report's own records: collect::
// GatherRouteAndAdapterSections and collect::GatherHostsSection.

// The client's files that the diagnosis looks for in the client's folder (the provider DLL is
// collect::kProviderDll, in the system folder).
inline constexpr const char* kClientFiles[] = {"QuorvService.exe", "Pexamo.exe",
                                               "tovraDrive_X86\\TovraDrv.sys",
                                               "tovraDrive_X86\\MirrelDrv.sys"};

}  // namespace diagnosis
