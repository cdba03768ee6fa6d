#include "tests/support/full_workstation.h"

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32_codes.h"
#include "tests/collect/network_builders.h"

namespace full_workstation {
namespace {

using platform::RegRoot;

constexpr char kUninstall[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr char kHotfixes[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Hotfix\\";
constexpr char kAdapter[] =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\0007";
constexpr char kCatalog[] =
    "SYSTEM\\CurrentControlSet\\Services\\WinSock2\\Parameters\\Protocol_Catalog9\\Catalog_"
    "Entries\\000000000001";
constexpr char kClientFolder[] = "C:\\Users\\tester\\AppData\\Roaming\\tovraclient\\";
constexpr unsigned char kProviderId[16] = {0x42, 0x1c, 0x9a, 0x3f, 0x7d, 0x8b, 0x05, 0x4e,
                                           0xa6, 0xc1, 0x5d, 0x2e, 0x7f, 0x90, 0xb3, 0x18};

platform::FixedFileVersion Version(unsigned a, unsigned b, unsigned c, unsigned d) {
  return platform::FixedFileVersion{a << 16 | b, c << 16 | d};
}

// The per-user settings, in the hive at `root` and `hive` (HKEY_CURRENT_USER and "", or
// HKEY_USERS and "<SID>\\").
void SeedUserSettings(platform::sim::Registry& r, RegRoot root, const std::string& hive) {
  const std::string userAgent = hive + kUserAgent;
  const std::string settings = hive + kInternetSettings;
  r.SetString(root, userAgent, "Compatible", "Mozilla/4.0")
      .SetString(root, userAgent, "Version", "MSIE 8.0")
      .SetString(root, userAgent, "Platform", "Windows NT");
  r.SetString(root, settings, "User Agent", "Mozilla/4.0 (compatible; MSIE 8.0; Win32)")
      .SetString(root, settings, "AutoConfigURL", "http://wpad/proxy.pac")
      .SetDword(root, settings, "ProxyEnable", 1)
      .SetString(root, settings, "ProxyServer", "proxy:8080")
      .SetString(root, settings, "ProxyOverride", "<local>;*.corp")
      .SetDword(root, settings, "ProxyHttp1.1", 1);
}

// Everything of the registry but the per-user settings.
void SeedMachineRegistry(platform::sim::Registry& r) {
  r.SetDword(RegRoot::kLocalMachine, kSchannel, "DisableRenegoOnClient", 1)
      .SetString(RegRoot::kLocalMachine, kUserAgent, "Compatible", "compatible")
      .SetString(RegRoot::kLocalMachine, kUserAgent, "Version", "msie 7.0");
  const std::string helper = "{0A000000-0000-0000-0000-00000000B0B0}";
  r.AddKey(
       RegRoot::kLocalMachine,
       "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects\\" + helper)
      .SetString(RegRoot::kClassesRoot, "CLSID\\" + helper, "", "Tovra Helper");
  r.SetString(
      RegRoot::kLocalMachine,
      "Software\\Microsoft\\Internet Explorer\\Extensions\\{0E000000-0000-0000-0000-000000000E0E}",
      "MenuText", "Tovra Tools");
  r.SetString(RegRoot::kLocalMachine, std::string(kUninstall) + "Tovra", "DisplayName",
              "Tovra 客户端")
      .SetString(RegRoot::kLocalMachine, std::string(kUninstall) + "Tovra", "DisplayVersion",
                 "3.2.1")
      .SetString(RegRoot::kLocalMachine, std::string(kUninstall) + "KB123456", "DisplayName",
                 "Update for Windows XP (KB123456)")
      .SetString(
          RegRoot::kLocalMachine, std::string(kUninstall) + "Viewer", "DisplayName",
          "A viewer whose name is long enough to be cut somewhere past the two hundred and "
          "fifty-fifth byte, which the report marks with three dots at the end: "
          "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"
          "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx")
      .SetString(RegRoot::kLocalMachine, std::string(kUninstall) + "Viewer", "DisplayVersion",
                 "10.0.19041.1234.beta.2");
  r.SetDword(RegRoot::kLocalMachine, std::string(kHotfixes) + "KB123456", "Installed", 1)
      .SetString(RegRoot::kLocalMachine, std::string(kHotfixes) + "KB123456", "Comments",
                 "Update for Windows XP (KB123456)");
  r.SetString(RegRoot::kLocalMachine, std::string(kAdapter) + "\\Ndi\\Interfaces", "LowerRange",
              "ethernet")
      .SetString(RegRoot::kLocalMachine, kAdapter, "ComponentId", "MirrelDrv")
      .SetString(RegRoot::kLocalMachine, kAdapter, "DriverDesc", "Mirrel Adapter V1.0")
      .SetString(RegRoot::kLocalMachine, kAdapter, "NetCfgInstanceId", "{5A1C0E7D-0000}")
      .SetValue(RegRoot::kLocalMachine, kLinkage, "UpperBind", REG_MULTI_SZ,
                std::string("NetBT\0\0", 7));
  std::string item = "%SystemRoot%\\system32\\mswsock.dll";
  item.resize(0x3c0, '\0');
  r.SetValue(RegRoot::kLocalMachine, kCatalog, "PackedCatalogItem", REG_BINARY, item);
}

}  // namespace

void Seed(platform::sim::Workstation& ws) {
  SeedUserSettings(ws.registry(), RegRoot::kCurrentUser, "");
  SeedMachineRegistry(ws.registry());
  SeedOutsideTheRegistry(ws);
}

void SeedElevatedByAnother(platform::sim::Workstation& ws) {
  SeedUserSettings(ws.registry(), RegRoot::kUsers, std::string(kDesktopUserSid) + "\\");
  SeedMachineRegistry(ws.registry());
  SeedOutsideTheRegistry(ws);
  ws.identity()
      .SetUserName("helpdesk")
      .SetProcessUser(kAdministratorSid, "VANTIK-PC\\helpdesk")
      .AddUser(kDesktopUserSid, "VANTIK-PC\\tester", "C:\\Users\\tester\\AppData\\Roaming")
      .SetShellOwner(kDesktopUserSid);
  ws.SetShellFolder(platform::ShellFolder::kAppData, "C:\\Users\\helpdesk\\AppData\\Roaming");
}

void SeedOutsideTheRegistry(platform::sim::Workstation& ws) {
  platform::sim::SimProcess system;
  system.id = 4;
  system.grantedAccess = 0;
  ws.processes()
      .Add(0, {})
      .Add(system)
      .Add(612, {"explorer.exe", "ntdll.dll"})
      .Add(908, {"QuorvService.exe"});
  ws.drives().Add('D', DRIVE_REMOTE, 500107862016u, 1073741824u);

  ws.network()
      .AddAdapter(
          Adapter("Intel(R) PRO/1000", 2, {{"192.168.1.20", "255.255.255.0"}}, "192.168.1.1"))
      .AddAdapter(Adapter("Mirrel Adapter V1.0", 7, {{"0.0.0.0", "0.0.0.0"}}))
      .SetDnsServers(2, {"192.168.1.1", "8.8.8.8"})
      .SetRoutes({{Ip(0, 0, 0, 0), Ip(0, 0, 0, 0), Ip(192, 168, 1, 1), 2, 20},
                  {Ip(127, 0, 0, 0), Ip(255, 0, 0, 0), Ip(127, 0, 0, 1), 1, 1},
                  {Ip(192, 168, 1, 0), Ip(255, 255, 255, 0), Ip(192, 168, 1, 20), 2, 20}});

  platform::NameSpaceProvider provider;
  std::copy(std::begin(kProviderId), std::end(kProviderId), provider.id);
  provider.active = 1;
  ws.winsock().AddNameSpaceProvider(provider);
  ws.services().Add("QuorvService", SERVICE_RUNNING);
  platform::sim::Device device;
  device.hardwareIds = platform::sim::HardwareIdList({"ROOT\\TovraDrv", "TovraDrv"});
  ws.devices().Add(device);
  ws.fileVersions()
      .Set("C:\\WINDOWS\\system32\\dolvane.dll", Version(6, 0, 6001, 18000))
      .Set("C:\\WINDOWS\\system32\\tesnob.dll", Version(2, 1, 300, 4))
      .Set(std::string(kClientFolder) + "QuorvService.exe", Version(3, 2, 1, 0))
      .Set(std::string(kClientFolder) + "Pexamo.exe", Version(3, 2, 1, 1))
      .Set(std::string(kClientFolder) + "tovraDrive_X86\\TovraDrv.sys", Version(9, 8, 7, 6));

  ws.files().AddFile(kHostsFile, "127.0.0.1 localhost\n10.1.2.3 vpn.example.com\n",
                     platform::FileTime{0xD53E8000u, 0x01D9A000u});
}

}  // namespace full_workstation
