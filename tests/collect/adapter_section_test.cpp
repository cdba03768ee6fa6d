// The adapter inventory on the simulated workstation, byte for byte.
#include "collect/adapter_section.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/sim/workstation.h"
#include "platform/win32_codes.h"
#include "tests/collect/network_builders.h"
#include "tests/support/hex.h"

namespace {

using namespace collect;

using platform::AdapterInfo;
using platform::QueryStep;
using platform::sim::Network;
using platform::sim::NetworkQuery;

constexpr long kNotSupported = 50;  // ERROR_NOT_SUPPORTED

// The block of a connected adapter up to its WINS lines, as the test cases' adapters have them.
std::string ConnectedHead(const std::string& description, const std::string& mac,
                          const std::string& pairs, const std::string& gateway) {
  return description + "\r\nMAC 地址: " + mac + "\r\nIP  地址:" + pairs +
         "\r\n默认网关地址: " + gateway + "\r\nDHCP 已启用: 192.168.1.1\r\n首选WINS服务器: \r\n" +
         "备用WINS服务器: \r\n";
}

// The inventory as the report makes it: the adapter text appended, the interfaces' addresses,
// and 0, or -1 when the adapter list could not be had.
int Inventory(InterfaceAddressMap& addresses, std::string& text) {
  const AdapterSection section = GatherAdapterSection();
  text += RenderAdapterSection(section);
  addresses = InterfaceAddresses(section);
  return section.listed ? 0 : -1;
}

struct InventoryCase {
  const char* name;
  std::function<void(Network&)> setUp;
  int result;
  std::string text;
  InterfaceAddressMap addresses;
};

void PrintTo(const InventoryCase& c, std::ostream* os) { *os << c.name; }

const InventoryCase kCases[] = {
    {"OnlyUnsetAddressIsDisconnected",
     [](Network& n) {
       n.AddAdapter(Adapter("Intel PRO/1000", 2, {{"0.0.0.0", "0.0.0.0"}}));
     },
     0,
     "Intel PRO/1000\r\nMAC 地址: 00-0C-29-12-34-02\r\n媒体: 已断开连接\r\n\r\n",
     {}},
    {"ConnectedWithTwoDnsServers",
     [](Network& n) {
       n.AddAdapter(Adapter("NIC", 4, {{"192.168.1.10", "255.255.255.0"}}, "192.168.1.1"))
           .SetDnsServers(4, {"192.168.1.1", "8.8.8.8", "8.8.4.4"});
     },
     0,
     ConnectedHead("NIC", "00-0C-29-12-34-04", "192.168.1.10(255.255.255.0)  ", "192.168.1.1") +
         "首选DNS服务器: 192.168.1.1\r\n备用DNS服务器: 8.8.8.8\r\n\r\n",
     {{4, "192.168.1.10"}}},
    {"TwoUsableAddressesBothShownFirstMapped",
     [](Network& n) {
       n.AddAdapter(Adapter("NIC", 5, {{"10.0.0.5", "255.0.0.0"}, {"172.16.0.5", "255.255.0.0"}}));
     },
     0,
     ConnectedHead("NIC", "00-0C-29-12-34-05", "10.0.0.5(255.0.0.0)  172.16.0.5(255.255.0.0)  ",
                   "") +
         "\r\n",
     {{5, "10.0.0.5"}}},
    {"UnsetAndLoopbackEntriesAreLeftOut",
     [](Network& n) {
       n.AddAdapter(Adapter("NIC", 6,
                            {{"0.0.0.0", "0.0.0.0"},
                             {"127.0.0.1", "255.0.0.0"},
                             {"192.168.7.7", "255.255.255.0"},
                             {"0.0.0.0", "0.0.0.0"},
                             {"192.168.8.8", "255.255.255.0"}}));
     },
     0,
     ConnectedHead("NIC", "00-0C-29-12-34-06",
                   "192.168.7.7(255.255.255.0)  192.168.8.8(255.255.255.0)  ", "") +
         "\r\n",
     {{6, "192.168.7.7"}}},
    {"StaticConfigurationHasNoDhcpServer",
     [](Network& n) {
       AdapterInfo adapter = Adapter("NIC", 7, {{"10.1.1.1", "255.255.0.0"}}, "10.1.0.1");
       adapter.dhcpEnabled = 0;
       adapter.primaryWinsServer = "10.1.0.2";
       adapter.secondaryWinsServer = "10.1.0.3";
       n.AddAdapter(adapter).SetDnsServers(7, {"10.1.0.53"});
     },
     0,
     "NIC\r\nMAC 地址: 00-0C-29-12-34-07\r\nIP  地址:10.1.1.1(255.255.0.0)  \r\n"
     "默认网关地址: 10.1.0.1\r\nDHCP : 未启用\r\n首选WINS服务器: 10.1.0.2\r\n"
     "备用WINS服务器: 10.1.0.3\r\n首选DNS服务器: 10.1.0.53\r\n\r\n",
     {{7, "10.1.1.1"}}},
    {"FailedDnsQueryLeavesTheDnsLinesOut",
     [](Network& n) {
       n.AddAdapter(Adapter("NIC", 8, {{"10.2.2.2", "255.0.0.0"}}))
           .SetDnsServers(8, {"10.2.0.53"})
           .Fail(NetworkQuery::kDnsServers, QueryStep::kSize, ERROR_NO_DATA);
     },
     0,
     ConnectedHead("NIC", "00-0C-29-12-34-08", "10.2.2.2(255.0.0.0)  ", "") + "\r\n",
     {{8, "10.2.2.2"}}},
    {"EmptyFirstDnsServerIsLeftOutTheSecondIsNot",
     [](Network& n) {
       n.AddAdapter(Adapter("NIC", 9, {{"10.3.3.3", "255.0.0.0"}}))
           .SetDnsServers(9, {"", "1.1.1.1"});
     },
     0,
     ConnectedHead("NIC", "00-0C-29-12-34-09", "10.3.3.3(255.0.0.0)  ", "") +
         "备用DNS服务器: 1.1.1.1\r\n\r\n",
     {{9, "10.3.3.3"}}},
    {"AdaptersInListOrderLaterIndexReplacesEarlier",
     [](Network& n) {
       n.AddAdapter(Adapter("A", 3, {{"10.0.0.1", "255.0.0.0"}}))
           .AddAdapter(Adapter("B", 2, {{"0.0.0.0", "0.0.0.0"}}))
           .AddAdapter(Adapter("C", 3, {{"10.0.0.2", "255.0.0.0"}}));
     },
     0,
     ConnectedHead("A", "00-0C-29-12-34-03", "10.0.0.1(255.0.0.0)  ", "") + "\r\n" +
         "B\r\nMAC 地址: 00-0C-29-12-34-02\r\n媒体: 已断开连接\r\n\r\n" +
         ConnectedHead("C", "00-0C-29-12-34-03", "10.0.0.2(255.0.0.0)  ", "") + "\r\n",
     {{3, "10.0.0.2"}}},
    {"NoAdapterAtAll", [](Network&) {}, -1, "", {}},
    {"SizeQueryFails",
     [](Network& n) {
       n.AddAdapter(Adapter("NIC", 4, {{"10.0.0.1", "255.0.0.0"}}))
           .Fail(NetworkQuery::kAdapters, QueryStep::kSize, kNotSupported);
     },
     -1,
     "",
     {}},
    {"AllocationFails",
     [](Network& n) {
       n.AddAdapter(Adapter("NIC", 4, {{"10.0.0.1", "255.0.0.0"}}))
           .Fail(NetworkQuery::kAdapters, QueryStep::kAllocate, ERROR_NOT_ENOUGH_MEMORY);
     },
     -1,
     "",
     {}},
    {"ReadFailsWithNoData",
     [](Network& n) {
       n.AddAdapter(Adapter("NIC", 4, {{"10.0.0.1", "255.0.0.0"}}))
           .Fail(NetworkQuery::kAdapters, QueryStep::kRead, ERROR_NO_DATA);
     },
     -1,
     "",
     {}},
};

class AdapterInventory : public ::testing::TestWithParam<InventoryCase> {};

TEST_P(AdapterInventory, AppendsBlocksAndRecordsAddresses) {
  const InventoryCase& c = GetParam();
  platform::sim::Workstation ws;
  c.setUp(ws.network());
  InterfaceAddressMap addresses;
  std::string text = "before\r\n";
  EXPECT_EQ(Inventory(addresses, text), c.result);
  EXPECT_EQ(text, "before\r\n" + c.text);
  EXPECT_EQ(addresses, c.addresses);
}

INSTANTIATE_TEST_SUITE_P(Cases, AdapterInventory, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AdapterInventoryTraces, NoAdaptersAndOtherFailuresSayWhich) {
  const struct {
    QueryStep step;
    long code;
    const char* trace;
  } cases[] = {
      {QueryStep::kSize, ERROR_NO_DATA, "No adapters, return!"},
      {QueryStep::kSize, kNotSupported, "Fail to get adapters, return!"},
      // Success with no size to give is no adapter list, not an empty one.
      {QueryStep::kSize, ERROR_SUCCESS, "Fail to get adapters, return!"},
      {QueryStep::kAllocate, ERROR_NOT_ENOUGH_MEMORY, "Fail to get adapters, return!"},
      {QueryStep::kRead, ERROR_NO_DATA, "Fail to get adapters, return!"},
  };
  for (const auto& c : cases) {
    platform::sim::Workstation ws;
    ws.network().Fail(NetworkQuery::kAdapters, c.step, c.code);
    InterfaceAddressMap addresses;
    std::string text;
    EXPECT_EQ(Inventory(addresses, text), -1);
    EXPECT_EQ(text, "");
    EXPECT_EQ(ws.Traces(), std::vector<std::string>{c.trace}) << c.code;
  }
}

// The record alone decides the blocks: the DNS lines come from the record, not from the
// workstation, and an adapter without a usable address is disconnected whatever else it holds.
TEST(AdapterInventoryRendered, FromARecord) {
  platform::AdapterInfo connected;
  connected.description = "VPN";
  connected.index = 4;
  connected.dhcpEnabled = 1;
  connected.dhcpServer = "10.0.0.1";
  connected.addresses = {{"10.0.0.6", "255.255.255.252"}};
  connected.gateway = "0.0.0.0";
  platform::AdapterInfo disconnected;
  disconnected.description = "Cable out";
  disconnected.addresses = {{"127.0.0.1", "255.0.0.0"}};
  const AdapterSection section{
      true,
      {NetworkAdapter{connected, {"", "8.8.4.4"}}, NetworkAdapter{disconnected, {"1.1.1.1", ""}}}};
  EXPECT_EQ(RenderAdapterSection(section),
            "VPN\r\nMAC 地址: \r\nIP  地址:10.0.0.6(255.255.255.252)  \r\n默认网关地址: \r\n"
            "DHCP 已启用: 10.0.0.1\r\n首选WINS服务器: \r\n备用WINS服务器: \r\n"
            "备用DNS服务器: 8.8.4.4\r\n\r\n"
            "Cable out\r\nMAC 地址: \r\n媒体: 已断开连接\r\n\r\n");
  EXPECT_EQ(InterfaceAddresses(section), (InterfaceAddressMap{{4, "10.0.0.6"}}));
}

TEST(AdapterInventoryGathered, DnsServersAskedOnlyForConnectedAdapters) {
  platform::sim::Workstation ws;
  ws.network()
      .AddAdapter(Adapter("Out", 1, {{"0.0.0.0", "0.0.0.0"}}))
      .AddAdapter(Adapter("In", 2, {{"192.168.1.10", "255.255.255.0"}}));
  (void)GatherAdapterSection();
  std::vector<std::string> asked;
  for (const platform::sim::PlatformCall& call : ws.calls().Calls()) {
    if (std::string(call.name) == "GetPerAdapterInfo") asked.push_back(call.detail);
  }
  EXPECT_EQ(asked, std::vector<std::string>{"2"});
}

TEST(AdapterInventoryBytes, DisconnectedBlockIsCodePage936) {
  platform::sim::Workstation ws;
  ws.network().AddAdapter(Adapter("N", 1, {{"0.0.0.0", "0.0.0.0"}}));
  InterfaceAddressMap addresses;
  std::string text;
  ASSERT_EQ(Inventory(addresses, text), 0);
  // "MAC 地址: ", then "媒体: 已断开连接".
  EXPECT_EQ(Hex(text), Hex("N\r\nMAC ") + "b5d8d6b7" + Hex(": 00-0C-29-12-34-01\r\n") +
                           "c3bdcce53a20d2d1b6cfbfaac1acbdd3" + Hex("\r\n\r\n"));
}

TEST(FormatMacAddress, BytesInUpperCaseHexJoinedByDashes) {
  const struct {
    std::vector<unsigned char> bytes;
    const char* text;
  } cases[] = {
      {{}, ""},
      {{0xAB}, "AB"},
      {{0x00, 0x0c, 0x29, 0xfe, 0x0a, 0xff}, "00-0C-29-FE-0A-FF"},
      {{1, 2, 3, 4, 5, 6, 7, 8}, "01-02-03-04-05-06-07-08"},
  };
  for (const auto& c : cases) {
    AdapterInfo adapter;
    adapter.hardwareAddress = c.bytes;
    EXPECT_EQ(FormatMacAddress(adapter), c.text);
  }
}

TEST(GetAdapterDnsServers, FirstTwoEntriesOrEmpty) {
  platform::sim::Workstation ws;
  ws.network()
      .AddAdapter(Adapter("A", 1, {}))
      .AddAdapter(Adapter("B", 2, {}))
      .SetDnsServers(1, {"1.1.1.1", "2.2.2.2", "3.3.3.3"});
  const AdapterDnsServers three = GetAdapterDnsServers(1);
  EXPECT_EQ(three.first, "1.1.1.1");
  EXPECT_EQ(three.second, "2.2.2.2");
  const AdapterDnsServers none = GetAdapterDnsServers(2);
  EXPECT_EQ(none.first, "");
  EXPECT_EQ(none.second, "");
  const AdapterDnsServers unknown = GetAdapterDnsServers(99);
  EXPECT_EQ(unknown.first, "");
  EXPECT_EQ(unknown.second, "");
}

}  // namespace
