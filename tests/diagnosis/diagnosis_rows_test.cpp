// The diagnosis's rows on the simulated workstation: a workstation state, then each row's
// result and the ids of its findings.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "checks/result_codes.h"
#include "diagnosis/rows.h"
#include "platform/sim/workstation.h"
#include "platform/win32_codes.h"
#include "tests/collect/network_builders.h"
#include "tests/support/healthy_client.h"

namespace {

using namespace diagnosis;
using namespace healthy_client;
using platform::RegRoot;
using platform::sim::Workstation;

constexpr int N = checks::RESULT_NORMAL;
constexpr int A = checks::RESULT_ABNORMAL;
constexpr int F = checks::RESULT_FAILED;
constexpr int H = checks::RESULT_NOT_SHOWN;

// A FILETIME of a date and time (the simulated workstation's local time is UTC).
platform::FileTime At(int year, int month, int day, int hour, int minute, int second) {
  const int y = year - (month <= 2 ? 1 : 0);
  const int era = y / 400;
  const int yoe = y - era * 400;
  const int doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t days = era * 146097LL + yoe * 365 + yoe / 4 - yoe / 100 + doy - 719468;
  const std::uint64_t seconds =
      (days + 134774) * 86400ULL + hour * 3600ULL + minute * 60ULL + second;  // since 1601
  const std::uint64_t ticks = seconds * 10000000ULL;
  return {static_cast<std::uint32_t>(ticks), static_cast<std::uint32_t>(ticks >> 32)};
}

void AddDevice(Workstation& ws, const char* id, std::uint32_t problem) {
  platform::sim::Device device;
  device.hardwareIds = platform::sim::HardwareIdList({id});
  device.status = problem != 0 ? DN_HAS_PROBLEM : 0;
  device.problem = problem;
  ws.devices().Add(device);
}

void SetNetwork(Workstation& ws, std::vector<platform::AdapterInfo> adapters,
                std::vector<platform::RouteRow> routes, bool dns = true) {
  for (auto& adapter : adapters) {
    if (dns) ws.network().SetDnsServers(adapter.index, {"192.168.1.1"});
    ws.network().AddAdapter(std::move(adapter));
  }
  ws.network().SetRoutes(std::move(routes));
}

platform::RouteRow DefaultRoute(std::uint32_t interfaceIndex, std::uint32_t metric) {
  return {Ip(0, 0, 0, 0), Ip(0, 0, 0, 0), Ip(192, 168, 1, 1), interfaceIndex, metric};
}

void SetProxy(Workstation& ws, const char* override) {
  ws.registry()
      .SetDword(RegRoot::kCurrentUser, kInternetSettings, "ProxyEnable", 1)
      .SetString(RegRoot::kCurrentUser, kInternetSettings, "ProxyServer", "proxy:8080");
  if (override) {
    ws.registry().SetString(RegRoot::kCurrentUser, kInternetSettings, "ProxyOverride", override);
  }
}

struct RowsCase {
  const char* name;
  unsigned parts;  // what of the healthy workstation is seeded
  std::function<void(Workstation&)> change;
  std::vector<int> results;           // in row order
  std::vector<std::string> findings;  // "row_key/finding_key", in row order
};

void PrintTo(const RowsCase& c, std::ostream* os) { *os << c.name; }

const std::vector<int> kAllNormal = {N, N, N, N, N, N, N, N};

std::vector<int> With(std::vector<int> results, RowId row, int result) {
  results[static_cast<std::size_t>(row)] = result;
  return results;
}

const RowsCase kCases[] = {
    {"Healthy", kAll, [](Workstation&) {}, kAllNormal, {}},
    // One cause, one finding: the adapter and component rows are not shown.
    {"ClientNotInstalled",
     kAll & ~(kService | kClientFiles | kProviderDlls),
     [](Workstation&) {},
     {A, H, H, N, N, N, N, N},
     {"vpn_client_service/client_not_installed"}},
    {"ProviderDllAloneIsNotNotInstalled",
     kAll & ~(kService | kClientFiles),
     [](Workstation&) {},
     {A, N, A, N, N, N, N, N},
     {"vpn_client_service/client_service_missing", "vpn_client_components/client_file_missing"}},
    {"ServiceMissing",
     kAll & ~kService,
     [](Workstation&) {},
     With(kAllNormal, RowId::kClientService, A),
     {"vpn_client_service/client_service_missing"}},
    {"ServiceStopped",
     kAll,
     [](Workstation& ws) {
       ws.services().Add("QuorvService", SERVICE_STOPPED, SERVICE_AUTO_START);
     },
     With(kAllNormal, RowId::kClientService, A),
     {"vpn_client_service/client_service_stopped"}},
    {"ServiceDisabledNamesTheStartTypeOnly",
     kAll,
     [](Workstation& ws) { ws.services().Add("QuorvService", SERVICE_STOPPED, SERVICE_DISABLED); },
     With(kAllNormal, RowId::kClientService, A),
     {"vpn_client_service/client_service_disabled"}},
    {"ServiceManagerCannotBeOpened",
     kAll,
     [](Workstation& ws) {
       ws.services().Fail(platform::sim::ServiceCall::kOpenManager, ERROR_ACCESS_DENIED);
     },
     With(kAllNormal, RowId::kClientService, F),
     {}},
    {"AdapterMissing",
     kAll & ~kAdapterDevice,
     [](Workstation&) {},
     With(kAllNormal, RowId::kVirtualAdapter, A),
     {"vpn_virtual_adapter/virtual_adapter_missing"}},
    {"AdapterDisabled",
     kAll & ~kAdapterDevice,
     [](Workstation& ws) { AddDevice(ws, "TovraDrv", CM_PROB_DISABLED); },
     With(kAllNormal, RowId::kVirtualAdapter, A),
     {"vpn_virtual_adapter/virtual_adapter_disabled"}},
    {"AdapterNotConfiguredCountsAsDisabled",
     kAll & ~kAdapterDevice,
     [](Workstation& ws) { AddDevice(ws, "TovraDrv", CM_PROB_NOT_CONFIGURED); },
     With(kAllNormal, RowId::kVirtualAdapter, A),
     {"vpn_virtual_adapter/virtual_adapter_disabled"}},
    {"AdapterOtherProblem",
     kAll & ~kAdapterDevice,
     [](Workstation& ws) { AddDevice(ws, "TovraDrv", 10); },
     With(kAllNormal, RowId::kVirtualAdapter, A),
     {"vpn_virtual_adapter/virtual_adapter_error"}},
    {"WorkingMirrelAdapterWhenTovraIsAbsent",
     kAll & ~(kAdapterDevice | kAdapterBinding),
     [](Workstation& ws) { AddDevice(ws, "MirrelDrv", 0); },
     kAllNormal,
     {}},
    {"AdapterUnbound",
     kAll,
     [](Workstation& ws) {
       ws.registry().SetValue(RegRoot::kLocalMachine, std::string(kAdapterEntry) + "\\Linkage",
                              "UpperBind", REG_MULTI_SZ, std::string("NetBT\0\0", 7));
     },
     With(kAllNormal, RowId::kVirtualAdapter, A),
     {"vpn_virtual_adapter/virtual_adapter_unbound"}},
    {"DevicesCannotBeListed",
     kAll,
     [](Workstation& ws) {
       ws.devices().Fail(platform::sim::DeviceCall::kGetClassDevs, ERROR_NOT_ENOUGH_MEMORY);
     },
     With(kAllNormal, RowId::kVirtualAdapter, F),
     {}},
    {"CatalogEntryIsTheClients",
     kAll & ~kCatalogEntry,
     [](Workstation& ws) {
       std::string item = "%SystemRoot%\\system32\\dolvane.dll";
       item.resize(0x3c0, '\0');
       ws.registry().SetValue(RegRoot::kLocalMachine,
                              "SYSTEM\\CurrentControlSet\\Services\\WinSock2\\Parameters\\"
                              "Protocol_Catalog9\\Catalog_Entries\\000000000001",
                              "PackedCatalogItem", REG_BINARY, item);
     },
     With(kAllNormal, RowId::kClientComponents, A),
     {"vpn_client_components/client_spi_abnormal"}},
    {"NameSpaceProviderMissing",
     kAll & ~kNameSpace,
     [](Workstation&) {},
     With(kAllNormal, RowId::kClientComponents, A),
     {"vpn_client_components/client_nsp_abnormal"}},
    {"ClientFileWithoutVersion",
     kAll & ~kClientFiles,
     [](Workstation& ws) {
       ws.files().AddFile(std::string(kClientFolder) + "QuorvService.exe", "MZ", kWritten);
     },
     With(kAllNormal, RowId::kClientComponents, A),
     {"vpn_client_components/client_file_missing"}},
    {"NoDefaultRoute",
     kAll & ~kNetwork,
     [](Workstation& ws) {
       SetNetwork(ws, {Adapter("LAN", 2, {{"192.168.1.20", "255.255.255.0"}})},
                  {{Ip(192, 168, 1, 0), Ip(255, 255, 255, 0), Ip(192, 168, 1, 20), 2, 20}});
     },
     With(kAllNormal, RowId::kNetworkConnection, A),
     {"network_connection/no_default_route"}},
    {"RouteTableCannotBeHad",
     kAll,
     [](Workstation& ws) {
       ws.network().Fail(platform::sim::NetworkQuery::kRoutes, platform::QueryStep::kSize,
                         ERROR_NO_DATA);
     },
     With(kAllNormal, RowId::kNetworkConnection, F),
     {}},
    {"OnlyAnAutoconfigAddress",
     kAll & ~kNetwork,
     [](Workstation& ws) {
       SetNetwork(ws, {Adapter("LAN", 2, {{"169.254.7.9", "255.255.0.0"}})}, {DefaultRoute(2, 20)});
     },
     With(kAllNormal, RowId::kNetworkConnection, A),
     {"network_connection/adapter_autoconfig_address"}},
    {"AutoconfigBesideARealAddressIsFine",
     kAll & ~kNetwork,
     [](Workstation& ws) {
       SetNetwork(
           ws,
           {Adapter("LAN", 2, {{"169.254.7.9", "255.255.0.0"}, {"192.168.1.20", "255.255.255.0"}})},
           {DefaultRoute(2, 20)});
     },
     kAllNormal,
     {}},
    {"NoDnsServer",
     kAll & ~kNetwork,
     [](Workstation& ws) {
       SetNetwork(ws, {Adapter("LAN", 2, {{"192.168.1.20", "255.255.255.0"}})},
                  {DefaultRoute(2, 20)}, false);
     },
     With(kAllNormal, RowId::kNetworkConnection, A),
     {"network_connection/no_dns_server"}},
    {"DefaultRoutesTieOnTwoInterfaces",
     kAll & ~kNetwork,
     [](Workstation& ws) {
       SetNetwork(ws,
                  {Adapter("LAN", 2, {{"192.168.1.20", "255.255.255.0"}}),
                   Adapter("WLAN", 3, {{"10.0.0.5", "255.0.0.0"}})},
                  {DefaultRoute(3, 20), DefaultRoute(2, 20), DefaultRoute(2, 50)});
     },
     With(kAllNormal, RowId::kNetworkConnection, A),
     {"network_connection/competing_default_routes"}},
    {"TieBelowTheLowestMetricIsFine",
     kAll & ~kNetwork,
     [](Workstation& ws) {
       SetNetwork(ws,
                  {Adapter("LAN", 2, {{"192.168.1.20", "255.255.255.0"}}),
                   Adapter("WLAN", 3, {{"10.0.0.5", "255.0.0.0"}})},
                  {DefaultRoute(2, 10), DefaultRoute(3, 20), DefaultRoute(2, 20)});
     },
     kAllNormal,
     {}},
    {"TwoDefaultRoutesOnOneInterfaceAreFine",
     kAll & ~kNetwork,
     [](Workstation& ws) {
       SetNetwork(ws, {Adapter("LAN", 2, {{"192.168.1.20", "255.255.255.0"}})},
                  {DefaultRoute(2, 20), DefaultRoute(2, 20)});
     },
     kAllNormal,
     {}},
    {"ProxyWithoutLocalBypass",
     kAll,
     [](Workstation& ws) { SetProxy(ws, "*.corp;10.*"); },
     With(kAllNormal, RowId::kBrowserProxy, A),
     {"browser_proxy/proxy_without_local_bypass"}},
    {"ProxyWithoutAnyOverride",
     kAll,
     [](Workstation& ws) { SetProxy(ws, nullptr); },
     With(kAllNormal, RowId::kBrowserProxy, A),
     {"browser_proxy/proxy_without_local_bypass"}},
    {"ProxyWithLocalBypassInAnyCase",
     kAll,
     [](Workstation& ws) { SetProxy(ws, "*.corp;<LOCAL>"); },
     kAllNormal,
     {}},
    {"AutoConfigScriptIsOnlyInformation",
     kAll,
     [](Workstation& ws) {
       ws.registry().SetString(RegRoot::kCurrentUser, kInternetSettings, "AutoConfigURL",
                               "http://wpad/proxy.pac");
     },
     kAllNormal,
     {"browser_proxy/proxy_auto_config"}},
    {"InternetSettingsMissing",
     kAll & ~kBrowser,
     [](Workstation&) {},
     With(kAllNormal, RowId::kBrowserProxy, F),
     {}},
    {"HostsRedirectsNames",
     kAll & ~kHosts,
     [](Workstation& ws) {
       ws.files().AddFile(kHostsFile,
                          "# comment 1.2.3.4 commented.example\n127.0.0.1 localhost\n"
                          "10.1.2.3\tvpn.example.com  portal.example.com # trailing\n",
                          kWritten);
     },
     With(kAllNormal, RowId::kHostsFile, A),
     {"hosts_file/hosts_redirects_names"}},
    {"HostsWithoutAFileIsFine", kAll & ~kHosts, [](Workstation&) {}, kAllNormal, {}},
    {"HostsUnreadable",
     kAll,
     [](Workstation& ws) {
       ws.files().Fail(platform::sim::FileCall::kOpen, ERROR_SHARING_VIOLATION, kHostsFile);
     },
     With(kAllNormal, RowId::kHostsFile, A),
     {"hosts_file/hosts_unreadable"}},
    {"NoSystemFolderMeansNoHostsFile",
     kAll,
     [](Workstation& ws) { ws.SetSystemFolder(std::nullopt); },
     With(kAllNormal, RowId::kHostsFile, F),
     {}},
    // The workstation's clock reads 2026-03-14 09:26:53.
    {"ClockExactlyOneDayBehindIsFine",
     kAll & ~kHosts,
     [](Workstation& ws) { ws.files().AddFile(kHostsFile, "", At(2026, 3, 15, 9, 26, 53)); },
     kAllNormal,
     {}},
    {"ClockMoreThanADayBehind",
     kAll & ~kHosts,
     [](Workstation& ws) { ws.files().AddFile(kHostsFile, "", At(2026, 3, 15, 9, 26, 54)); },
     With(kAllNormal, RowId::kSystemClock, A),
     {"system_clock/clock_behind_files"}},
    {"ClockBehindAClientFile",
     kAll,
     [](Workstation& ws) {
       ws.files().AddFile(std::string(kClientFolder) + "Pexamo.exe", "MZ", At(2027, 1, 1, 0, 0, 0));
     },
     With(kAllNormal, RowId::kSystemClock, A),
     {"system_clock/clock_behind_files"}},
    {"SystemDriveNearlyFull",
     kAll,
     [](Workstation& ws) {
       ws.drives().Add('C', DRIVE_FIXED, 80000000000u, 100u * 1024 * 1024 - 1);
     },
     With(kAllNormal, RowId::kSystemDriveSpace, A),
     {"system_drive_space/system_drive_nearly_full"}},
    {"SystemDriveWithExactly100MegabytesIsFine",
     kAll,
     [](Workstation& ws) { ws.drives().Add('C', DRIVE_FIXED, 80000000000u, 100u * 1024 * 1024); },
     kAllNormal,
     {}},
    {"SystemDriveSpaceCannotBeRead",
     kAll,
     [](Workstation& ws) { ws.drives().Remove('C'); },
     With(kAllNormal, RowId::kSystemDriveSpace, F),
     {}},
};

class Rows : public ::testing::TestWithParam<RowsCase> {};

TEST_P(Rows, ResultsAndFindings) {
  const RowsCase& c = GetParam();
  Workstation ws;
  Seed(ws, c.parts);
  c.change(ws);
  std::vector<int> results;
  std::vector<std::string> findings;
  for (const RowId row : kRows) {
    const RowOutcome outcome = CheckRow(row);
    results.push_back(outcome.result);
    for (const Finding& finding : outcome.findings) {
      findings.push_back(std::string(RowKey(row)) + "/" + KindOf(finding.id).key);
    }
    if (outcome.result != checks::RESULT_NORMAL && outcome.result != checks::RESULT_ABNORMAL) {
      EXPECT_TRUE(outcome.findings.empty()) << RowKey(row) << ": no findings without facts";
    }
  }
  EXPECT_EQ(results, c.results);
  EXPECT_EQ(findings, c.findings);
}

INSTANTIATE_TEST_SUITE_P(Diagnosis, Rows, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The evidence names what the finding rests on, so that the user need not read the report.
TEST(Evidence, HostsNamesTheFirstTenWithTheirAddressesAndCountsTheRest) {
  Workstation ws;
  Seed(ws, kAll & ~kHosts);
  std::string hosts = "127.0.0.1 localhost\n";
  for (int i = 1; i <= 12; ++i)
    hosts += "10.0.0." + std::to_string(i) + " h" + std::to_string(i) + "\n";
  ws.files().AddFile(kHostsFile, hosts, kWritten);
  const RowOutcome outcome = CheckRow(RowId::kHostsFile);
  ASSERT_EQ(outcome.findings.size(), 1u);
  EXPECT_EQ(outcome.findings[0].evidence,
            "h1 -> 10.0.0.1, h2 -> 10.0.0.2, h3 -> 10.0.0.3, h4 -> 10.0.0.4, h5 -> 10.0.0.5, "
            "h6 -> 10.0.0.6, h7 -> 10.0.0.7, h8 -> 10.0.0.8, h9 -> 10.0.0.9, h10 -> 10.0.0.10 "
            "(12 names in all)");
}

TEST(Evidence, CompetingRoutesNameTheInterfacesAndTheirAddresses) {
  Workstation ws;
  Seed(ws, kAll & ~kNetwork);
  SetNetwork(ws,
             {Adapter("LAN", 2, {{"192.168.1.20", "255.255.255.0"}}),
              Adapter("WLAN", 3, {{"10.0.0.5", "255.0.0.0"}})},
             {DefaultRoute(3, 20), DefaultRoute(2, 20)});
  const RowOutcome outcome = CheckRow(RowId::kNetworkConnection);
  ASSERT_EQ(outcome.findings.size(), 1u);
  EXPECT_EQ(outcome.findings[0].evidence,
            "0.0.0.0/0 metric 20 on interfaces 2 (192.168.1.20) 3 (10.0.0.5)");
}

TEST(Evidence, ClockNamesTheNewestFileAndBothTimes) {
  Workstation ws;
  Seed(ws, kAll);
  ws.files().AddFile(std::string(kClientFolder) + "Pexamo.exe", "MZ", At(2027, 1, 2, 3, 4, 5));
  const RowOutcome outcome = CheckRow(RowId::kSystemClock);
  ASSERT_EQ(outcome.findings.size(), 1u);
  EXPECT_EQ(outcome.findings[0].evidence, "local time 2026-03-14 09:26:53; " +
                                              std::string(kClientFolder) +
                                              "Pexamo.exe written 2027-01-02 03:04:05");
}

}  // namespace
