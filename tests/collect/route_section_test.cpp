// The route table and adapter sections: gathered on the simulated workstation, and written, byte
// for byte.
#include "collect/route_section.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/sim/workstation.h"
#include "platform/win32_codes.h"
#include "tests/collect/network_builders.h"
#include "tests/support/hex.h"

namespace {

using namespace collect;

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
  std::string route;
  std::string adapter;
};

Sections Render() {
  const RouteAndAdapterSections gathered = GatherRouteAndAdapterSections();
  return Sections{RenderRouteSection(gathered.route, gathered.adapter),
                  RenderAdapterSection(gathered.adapter)};
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
  const AdapterSection adapters = GatherAdapterSection();
  ASSERT_TRUE(adapters.listed);
  EXPECT_EQ(s.adapter, RenderAdapterSection(adapters));
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

TEST(RouteSection, EachGatheringGivesTheSameTexts) {
  platform::sim::Workstation ws;
  TwoAdapters(ws);
  ws.network().SetRoutes({Route(0, 0, 0, 11, 0)});
  const Sections first = Render();
  const Sections again = Render();
  EXPECT_EQ(again.route, first.route);
  EXPECT_EQ(again.adapter, first.adapter);
}

// The interface column is the adapters' record: a route on an interface that only the record
// knows shows its address, index 1 is the loopback, and a table never had writes nothing.
TEST(RouteSectionRendered, FromRecords) {
  platform::AdapterInfo wired;
  wired.index = 7;
  wired.addresses = {{"0.0.0.0", "0.0.0.0"}, {"10.1.2.3", "255.0.0.0"}};
  const AdapterSection adapters{true, {NetworkAdapter{wired, {}}}};
  const RouteSection routes{
      true,
      {Route(0, 0, Ip(10, 0, 0, 1), 7, 1), Route(0, 0, 0, 1, 306), Route(0, 0, 0, 9, 0xFFFFFFFFu)}};
  EXPECT_EQ(RenderRouteSection(routes, adapters),
            kHeading + "0.0.0.0" + std::string(11, ' ') + "0.0.0.0" + std::string(10, ' ') +
                "10.0.0.1" + std::string(9, ' ') + "10.1.2.3" + std::string(9, ' ') + "1\r\n" +
                "0.0.0.0" + std::string(11, ' ') + "0.0.0.0" + std::string(10, ' ') + "0.0.0.0" +
                std::string(10, ' ') + "127.0.0.1" + std::string(8, ' ') + "306\r\n" + "0.0.0.0" +
                std::string(11, ' ') + "0.0.0.0" + std::string(10, ' ') + "0.0.0.0" +
                std::string(10, ' ') + "0.0.0.0" + std::string(10, ' ') + "-1\r\n");
  EXPECT_EQ(RenderRouteSection(RouteSection{}, adapters), "");
}

}  // namespace
