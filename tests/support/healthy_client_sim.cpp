#include "tests/support/healthy_client.h"

#include <algorithm>
#include <string>

#include "platform/win32_codes.h"
#include "tests/collect/network_builders.h"

namespace healthy_client {

namespace {

using platform::RegRoot;

constexpr char kCatalog[] =
    "SYSTEM\\CurrentControlSet\\Services\\WinSock2\\Parameters\\Protocol_Catalog9\\Catalog_"
    "Entries\\000000000001";
constexpr unsigned char kProviderId[16] = {0x42, 0x1c, 0x9a, 0x3f, 0x7d, 0x8b, 0x05, 0x4e,
                                           0xa6, 0xc1, 0x5d, 0x2e, 0x7f, 0x90, 0xb3, 0x18};

void AddVersionedFile(platform::sim::Workstation& ws, const std::string& path) {
  ws.files().AddFile(path, "MZ", kWritten);
  ws.fileVersions().Set(path, platform::FixedFileVersion{3u << 16 | 2, 1u << 16});
}

}  // namespace

void Seed(platform::sim::Workstation& ws, unsigned parts) {
  auto& r = ws.registry();
  const std::string folder = kClientFolder;
  if (parts & kService) ws.services().Add("QuorvService", SERVICE_RUNNING, SERVICE_AUTO_START);
  if (parts & kClientFiles) {
    for (const char* name : {"QuorvService.exe", "Pexamo.exe", "tovraDrive_X86\\TovraDrv.sys"}) {
      AddVersionedFile(ws, folder + name);
    }
  }
  if (parts & kProviderDlls) {
    AddVersionedFile(ws, "C:\\WINDOWS\\system32\\dolvane.dll");
    AddVersionedFile(ws, "C:\\WINDOWS\\system32\\tesnob.dll");
  }
  if (parts & kCatalogEntry) {
    std::string item = "%SystemRoot%\\system32\\mswsock.dll";
    item.resize(0x3c0, '\0');
    r.SetValue(RegRoot::kLocalMachine, kCatalog, "PackedCatalogItem", REG_BINARY, item);
  }
  if (parts & kNameSpace) {
    platform::NameSpaceProvider provider;
    std::copy(std::begin(kProviderId), std::end(kProviderId), provider.id);
    provider.active = 1;
    ws.winsock().AddNameSpaceProvider(provider);
  }
  if (parts & kAdapterDevice) {
    platform::sim::Device device;
    device.hardwareIds = platform::sim::HardwareIdList({"TovraDrv"});
    ws.devices().Add(device);
  }
  if (parts & kAdapterBinding) {
    const std::string entry = kAdapterEntry;
    r.SetString(RegRoot::kLocalMachine, entry + "\\Ndi\\Interfaces", "LowerRange", "ethernet")
        .SetString(RegRoot::kLocalMachine, entry, "ComponentId", "TovraDrv")
        .SetString(RegRoot::kLocalMachine, entry, "DriverDesc", "Mirrel Adapter V1.0")
        .SetString(RegRoot::kLocalMachine, entry, "NetCfgInstanceId", "{7A0C0E7D-0011}")
        .SetValue(RegRoot::kLocalMachine, entry + "\\Linkage", "UpperBind", REG_MULTI_SZ,
                  std::string("Tcpip\0\0", 7));
  }
  if (parts & kNetwork) {
    ws.network()
        .AddAdapter(
            Adapter("Intel(R) PRO/1000", 2, {{"192.168.1.20", "255.255.255.0"}}, "192.168.1.1"))
        .SetDnsServers(2, {"192.168.1.1"})
        .SetRoutes({{Ip(0, 0, 0, 0), Ip(0, 0, 0, 0), Ip(192, 168, 1, 1), 2, 20},
                    {Ip(192, 168, 1, 0), Ip(255, 255, 255, 0), Ip(192, 168, 1, 20), 2, 20}});
  }
  if (parts & kBrowser) r.SetDword(RegRoot::kCurrentUser, kInternetSettings, "ProxyEnable", 0);
  if (parts & kHosts) {
    ws.files().AddFile(kHostsFile, "127.0.0.1       localhost\n::1             localhost\n",
                       kWritten);
  }
}

}  // namespace healthy_client
