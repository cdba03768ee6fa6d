// The contract of the IP helper seam, on the simulated workstation natively and on Wine's real
// adapters and routes in the Windows build. The simulated workstation is seeded with what a
// Wine prefix on a machine with one wired interface and one idle one shows; the cases hold for
// whatever the real machine has. Injected faults and the system without adapters or routes are
// at the end, for the simulated backend only.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "platform/network.h"
#include "platform/win32_codes.h"
#ifndef _WIN32
#include "platform/sim/workstation.h"
#endif

namespace {

using platform::AdapterInfo;
using platform::QueryStep;
using platform::RouteRow;

// A dotted IPv4 address: four numbers of 0 to 255 and nothing else.
bool IsDottedAddress(const std::string& text) {
  unsigned a = 0, b = 0, c = 0, d = 0;
  char rest = 0;
  return std::sscanf(text.c_str(), "%u.%u.%u.%u%c", &a, &b, &c, &d, &rest) == 4 && a < 256 &&
         b < 256 && c < 256 && d < 256;
}

#ifndef _WIN32
// An adapter as Wine lists the interfaces of a Linux machine.
AdapterInfo WineAdapter(std::uint32_t index, const char* device, const char* address,
                        const char* mask, const char* gateway) {
  AdapterInfo adapter;
  adapter.name = "{0000000" + std::to_string(index) + "-0000-0000-0000-4E6574446576}";
  adapter.description = device;
  adapter.hardwareAddress = {0x02, 0xfc, 0, 0, 0, static_cast<unsigned char>(index)};
  adapter.index = index;
  adapter.dhcpEnabled = 1;
  adapter.addresses = {{address, mask}};
  adapter.gateway = gateway;
  return adapter;
}
#endif

class NetworkConformance : public ::testing::Test {
#ifndef _WIN32
 protected:
  NetworkConformance() {
    ws_.network()
        .AddAdapter(WineAdapter(2, "ifb0", "0.0.0.0", "0.0.0.0", "0.0.0.0"))
        .AddAdapter(WineAdapter(4, "eth0", "192.0.2.2", "255.255.255.0", "192.0.2.1"))
        .SetDnsServers(4, {"10.255.255.53"})
        .SetRoutes(
            {RouteRow{0, 0, 0x010200C0, 4, 0}, RouteRow{0x000200C0, 0x00FFFFFF, 0x020200C0, 4, 0}});
  }
  platform::sim::Workstation ws_;
#endif
};

TEST_F(NetworkConformance, AdaptersHaveWellFormedRecords) {
  std::vector<AdapterInfo> adapters;
  QueryStep step = QueryStep::kRead;
  const long result = platform::GetAdapters(&adapters, &step);
  if (result == ERROR_NO_DATA) GTEST_SKIP() << "this machine has no network adapter";
  ASSERT_EQ(result, ERROR_SUCCESS);
  ASSERT_FALSE(adapters.empty());
  std::set<std::uint32_t> indexes;
  for (const AdapterInfo& adapter : adapters) {
    SCOPED_TRACE(adapter.description);
    EXPECT_FALSE(adapter.name.empty());
    EXPECT_LE(adapter.hardwareAddress.size(), 8u);
    EXPECT_TRUE(indexes.insert(adapter.index).second) << "indexes are unique";
    ASSERT_FALSE(adapter.addresses.empty()) << "the list has at least its first entry";
    for (const auto& entry : adapter.addresses) {
      EXPECT_TRUE(IsDottedAddress(entry.address)) << entry.address;
      EXPECT_TRUE(IsDottedAddress(entry.mask)) << entry.mask;
    }
    EXPECT_TRUE(adapter.gateway.empty() || IsDottedAddress(adapter.gateway)) << adapter.gateway;
  }
}

TEST_F(NetworkConformance, EveryAdapterHasADnsListWithAFirstEntry) {
  std::vector<AdapterInfo> adapters;
  QueryStep step = QueryStep::kRead;
  if (platform::GetAdapters(&adapters, &step) != ERROR_SUCCESS) GTEST_SKIP() << "no adapter";
  for (const AdapterInfo& adapter : adapters) {
    std::vector<std::string> servers;
    ASSERT_EQ(platform::GetAdapterDnsServerList(adapter.index, &servers), ERROR_SUCCESS)
        << adapter.description;
    ASSERT_FALSE(servers.empty());
    for (const std::string& server : servers) {
      EXPECT_TRUE(server.empty() || IsDottedAddress(server)) << server;
    }
  }
}

TEST_F(NetworkConformance, DnsListOfAnUnknownInterfaceFails) {
  std::vector<std::string> servers{"untouched"};
  EXPECT_NE(platform::GetAdapterDnsServerList(0x7FFFFFF0, &servers), ERROR_SUCCESS);
  EXPECT_EQ(servers, std::vector<std::string>{"untouched"});
}

// Each route leaves through the loopback interface or through an adapter that the adapter list
// holds: the route section shows the interface by that adapter's address.
TEST_F(NetworkConformance, RoutesLeaveThroughListedInterfaces) {
  std::vector<RouteRow> rows;
  QueryStep step = QueryStep::kRead;
  ASSERT_EQ(platform::GetRouteTable(&rows, &step), ERROR_SUCCESS);
  ASSERT_FALSE(rows.empty());
  std::vector<AdapterInfo> adapters;
  std::set<std::uint32_t> indexes = {1};
  if (platform::GetAdapters(&adapters, &step) == ERROR_SUCCESS) {
    for (const AdapterInfo& adapter : adapters) indexes.insert(adapter.index);
  }
  bool defaultRoute = false;
  for (const RouteRow& row : rows) {
    EXPECT_EQ(indexes.count(row.interfaceIndex), 1u) << "interface " << row.interfaceIndex;
    // Network byte order: the mask's first byte in memory is its first number, so a mask
    // narrower than /32 has its zero bits in the last bytes.
    const auto* mask = reinterpret_cast<const unsigned char*>(&row.mask);
    EXPECT_TRUE(row.mask == 0 || mask[0] == 0xFF) << std::hex << row.mask;
    defaultRoute = defaultRoute || (row.destination == 0 && row.mask == 0);
  }
  EXPECT_TRUE(defaultRoute) << "a machine with a network has a default route";
}

#ifndef _WIN32
// What Wine cannot show: a system without adapters or a route table, and failures at each step.

TEST(NetworkSim, NothingSetGivesNoDataAtTheSizeQuery) {
  platform::sim::Workstation ws;
  std::vector<AdapterInfo> adapters;
  std::vector<RouteRow> rows{RouteRow{}};
  QueryStep step = QueryStep::kRead;
  EXPECT_EQ(platform::GetAdapters(&adapters, &step), ERROR_NO_DATA);
  EXPECT_EQ(step, QueryStep::kSize);
  step = QueryStep::kRead;
  EXPECT_EQ(platform::GetRouteTable(&rows, &step), ERROR_NO_DATA);
  EXPECT_EQ(step, QueryStep::kSize);
  EXPECT_EQ(rows.size(), 1u) << "untouched";
  ws.network().SetRoutes({});
  EXPECT_EQ(platform::GetRouteTable(&rows, &step), ERROR_SUCCESS);
  EXPECT_TRUE(rows.empty());
}

TEST(NetworkSim, FaultsComeAtTheirStepAndWearOff) {
  platform::sim::Workstation ws;
  ws.network()
      .AddAdapter(WineAdapter(7, "a", "0.0.0.0", "0.0.0.0", "0.0.0.0"))
      .SetRoutes({RouteRow{}})
      .Fail(platform::sim::NetworkQuery::kRoutes, QueryStep::kRead, ERROR_INVALID_PARAMETER, 1)
      .Fail(platform::sim::NetworkQuery::kAdapters, QueryStep::kAllocate, ERROR_NOT_ENOUGH_MEMORY)
      .Fail(platform::sim::NetworkQuery::kDnsServers, QueryStep::kSize, ERROR_NO_DATA);
  std::vector<RouteRow> rows;
  QueryStep step = QueryStep::kSize;
  EXPECT_EQ(platform::GetRouteTable(&rows, &step), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(step, QueryStep::kRead);
  EXPECT_EQ(platform::GetRouteTable(&rows, &step), ERROR_SUCCESS) << "once only";
  std::vector<AdapterInfo> adapters;
  EXPECT_EQ(platform::GetAdapters(&adapters, &step), ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(step, QueryStep::kAllocate);
  EXPECT_TRUE(adapters.empty());
  std::vector<std::string> servers;
  EXPECT_EQ(platform::GetAdapterDnsServerList(7, &servers), ERROR_NO_DATA);
}
#endif

}  // namespace
