// The route table and adapter sections on the simulated workstation, byte for byte.
#include "collect/route_section.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "collect/section_renderers.h"
#include "platform/registry.h"
#include "platform/sim/workstation.h"
#include "platform/win32_codes.h"
#include "tests/collect/network_builders.h"
#include "tests/support/hex.h"

namespace {

using platform::QueryStep;
using platform::RegRoot;
using platform::sim::NetworkQuery;

const std::string kHeading =
    "目的地址          子网掩码          网关          接口          跃点数\r\n";

// Two adapters on interfaces 11 and 12, the second with its cable out.
void TwoAdapters(platform::sim::Workstation& ws) {
  ws.network()
      .AddAdapter(Adapter("Wired", 11, {{"192.168.1.10", "255.255.255.0"}}, "192.168.1.1"))
      .AddAdapter(Adapter("Wireless", 12, {{"0.0.0.0", "0.0.0.0"}}))
      .AddAdapter(Adapter("VPN", 13, {{"10.8.0.6", "255.255.255.252"}}));
}

struct Sections {
  std::string route = "old route";
  std::string adapter = "old adapter";
};

Sections Render() {
  Sections s;
  RenderRouteAndAdapterSections(s.route, s.adapter);
  return s;
}

TEST(RouteSection, HeadingIsCodePage936WithTenBlanksBetweenLabels) {
  platform::sim::Workstation ws;
  ws.network().SetRoutes({});
  const Sections s = Render();
  const std::string blanks = Hex(std::string(10, ' '));
  EXPECT_EQ(Hex(s.route), "c4bfb5c4b5d8d6b7" + blanks + "d7d3cdf8d1dac2eb" + blanks + "cdf8b9d8" +
                              blanks + "bdd3bfda" + blanks + "d4beb5e3cafd" + Hex("\r\n"));
}

TEST(RouteSection, DefaultRouteLineToTheBlank) {
  platform::sim::Workstation ws;
  TwoAdapters(ws);
  ws.network().SetRoutes({Route(0, 0, Ip(192, 168, 1, 1), 11, 20)});
  const Sections s = Render();
  EXPECT_EQ(s.route, kHeading + "0.0.0.0" + std::string(11, ' ') + "0.0.0.0" +
                         std::string(10, ' ') + "192.168.1.1" + std::string(6, ' ') +
                         "192.168.1.10" + std::string(5, ' ') + "20\r\n");
}

TEST(RouteSection, InterfaceColumnByTheRules) {
  platform::sim::Workstation ws;
  TwoAdapters(ws);
  ws.network().SetRoutes({
      Route(Ip(127, 0, 0, 0), Ip(255, 0, 0, 0), Ip(127, 0, 0, 1), 1, 1),
      Route(Ip(192, 168, 1, 0), Ip(255, 255, 255, 0), Ip(192, 168, 1, 10), 11, 10),
      Route(Ip(192, 168, 2, 0), Ip(255, 255, 255, 0), Ip(192, 168, 2, 1), 12, 0),
      Route(Ip(10, 8, 0, 4), Ip(255, 255, 255, 252), Ip(10, 8, 0, 6), 13, 0xFFFFFFFF),
      Route(Ip(255, 255, 255, 255), Ip(255, 255, 255, 255), Ip(255, 255, 255, 255), 99, 1),
  });
  const Sections s = Render();
  EXPECT_EQ(s.route,
            kHeading +
                // Index 1 is the loopback interface, whichever adapter has it.
                "127.0.0.0         255.0.0.0        127.0.0.1        127.0.0.1        1\r\n"
                "192.168.1.0       255.255.255.0    192.168.1.10     192.168.1.10     10\r\n"
                // An adapter with no usable address, and an index no adapter has.
                "192.168.2.0       255.255.255.0    192.168.2.1      0.0.0.0          0\r\n"
                "10.8.0.4          255.255.255.252  10.8.0.6         10.8.0.6         -1\r\n"
                "255.255.255.255   255.255.255.255  255.255.255.255  0.0.0.0          1\r\n");
  EXPECT_EQ(s.adapter.substr(0, 7), "Wired\r\n");
  EXPECT_NE(s.adapter.find("Wireless\r\n"), std::string::npos);
  EXPECT_NE(s.adapter.find("VPN\r\n"), std::string::npos);
}

TEST(RouteSection, TableWithoutRowsGivesTheHeadingAndTheAdapters) {
  platform::sim::Workstation ws;
  TwoAdapters(ws);
  ws.network().SetRoutes({});
  const Sections s = Render();
  EXPECT_EQ(s.route, kHeading);
  std::string adapters;
  InterfaceAddressMap addresses;
  ASSERT_EQ(AppendAdapterInventory(addresses, adapters), 0);
  EXPECT_EQ(s.adapter, adapters);
}

TEST(RouteSection, NoAdapterStillListsTheRoutes) {
  platform::sim::Workstation ws;
  ws.network().SetRoutes({Route(0, 0, Ip(10, 0, 0, 1), 7, 0), Route(0, 0, 0, 1, 0)});
  const Sections s = Render();
  EXPECT_EQ(s.route,
            kHeading +
                "0.0.0.0           0.0.0.0          10.0.0.1         0.0.0.0          0\r\n"
                "0.0.0.0           0.0.0.0          0.0.0.0          127.0.0.1        0\r\n");
  EXPECT_EQ(s.adapter, "");
  EXPECT_EQ(ws.Traces(), std::vector<std::string>{"No adapters, return!"});
}

// Without a route table neither text is written, the adapter text included.
TEST(RouteSection, RouteTableFailuresLeaveBothTextsEmpty) {
  const struct {
    const char* name;
    QueryStep step;
    long code;
    std::vector<std::string> traces;
  } cases[] = {
      {"NoTable", QueryStep::kSize, ERROR_NO_DATA, {}},
      {"SizeQueryOtherError", QueryStep::kSize, ERROR_INVALID_PARAMETER, {}},
      // Success with no size to give is no table, not an empty one.
      {"SizeQuerySucceedsWithNothing", QueryStep::kSize, ERROR_SUCCESS, {}},
      {"AllocationFails", QueryStep::kAllocate, ERROR_NOT_ENOUGH_MEMORY, {}},
      {"ReadFails", QueryStep::kRead, ERROR_INVALID_PARAMETER, {"Failed to get ip table!"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    platform::sim::Workstation ws;
    TwoAdapters(ws);
    ws.network().SetRoutes({Route(0, 0, 0, 11, 0)}).Fail(NetworkQuery::kRoutes, c.step, c.code);
    const Sections s = Render();
    EXPECT_EQ(s.route, "");
    EXPECT_EQ(s.adapter, "");
    EXPECT_EQ(ws.Traces(), c.traces);
  }
}

// The binding check comes first: it puts the virtual adapter right even when no route table can
// be had.
TEST(RouteSection, VirtualAdapterBindingIsCheckedFirst) {
  platform::sim::Workstation ws;
  const std::string entry =
      "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\0007";
  auto& r = ws.registry();
  r.SetString(RegRoot::kLocalMachine, entry + "\\Ndi\\Interfaces", "LowerRange", "ethernet");
  r.SetString(RegRoot::kLocalMachine, entry, "ComponentId", "MirrelDrv");
  r.SetString(RegRoot::kLocalMachine, entry, "DriverDesc", "Mirrel Adapter V1.0");
  r.SetString(RegRoot::kLocalMachine, entry, "NetCfgInstanceId", "{1234}");
  r.AddKey(RegRoot::kLocalMachine, entry + "\\Linkage");
  const Sections s = Render();
  EXPECT_EQ(s.route, "");
  const auto bind = r.Value(RegRoot::kLocalMachine, entry + "\\Linkage", "UpperBind");
  ASSERT_TRUE(bind);
  EXPECT_EQ(bind->data, std::string("Tcpip\0\0", 7));
}

TEST(RouteSection, EachCallRebuildsBothTexts) {
  platform::sim::Workstation ws;
  TwoAdapters(ws);
  ws.network().SetRoutes({Route(0, 0, 0, 11, 0)});
  const Sections first = Render();
  Sections again = first;
  RenderRouteAndAdapterSections(again.route, again.adapter);
  EXPECT_EQ(again.route, first.route);
  EXPECT_EQ(again.adapter, first.adapter);
}

}  // namespace
