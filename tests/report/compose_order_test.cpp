// The report's sections are composed in their fixed order: each renderer, as it gathers, finds
// the sections before it done and those after it not yet begun.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "collect/adapter_binding.h"
#include "collect/sections.h"
#include "diagnosis/findings_text.h"
#include "platform/sim/workstation.h"
#include "report/report.h"
#include "tests/support/full_workstation.h"

namespace {

using namespace collect;
using namespace report;

struct Snapshot {
  bool taken = false;
  std::string system;
  std::string software;
  std::string process;
};

Snapshot Take(const Report& page) {
  return Snapshot{true, page.system, page.software, page.process};
}

TEST(ComposeReport, SystemThenSoftwareThenProcesses) {
  platform::sim::Workstation ws;
  ws.processes().Add(0, {}).Add(8, {"explorer.exe"});
  Report page;
  // The system section reads the drives; the process section lists the processes.
  Snapshot atDrives;
  Snapshot atProcesses;
  // The first look at the drives is the system section's; the findings look again at the end.
  ws.drives().OnLogicalDrives([&] {
    if (!atDrives.taken) atDrives = Take(page);
  });
  ws.processes().OnEnumerate([&] { atProcesses = Take(page); });
  ComposeReport(page);

  ASSERT_TRUE(atDrives.taken);
  EXPECT_EQ(atDrives.system, "") << "the system section comes first";
  EXPECT_EQ(atDrives.software, "");
  ASSERT_TRUE(atProcesses.taken);
  EXPECT_EQ(atProcesses.system, page.system) << "done before the processes";
  EXPECT_EQ(atProcesses.software, page.software) << "done before the processes";
  EXPECT_EQ(atProcesses.process, "");
  EXPECT_EQ(page.process, "explorer.exe\r\n");
  EXPECT_NE(page.system, "");
  EXPECT_NE(page.software, "");
  EXPECT_TRUE(ws.winsock().Started()) << "the system section started the sockets library";
}

// The platform calls of a run, each as its function and what it concerned.
std::vector<std::string> CallsOf(platform::sim::Workstation& ws) {
  std::vector<std::string> calls;
  for (const platform::sim::PlatformCall& call : ws.calls().Calls()) {
    calls.push_back(std::string(call.name) + " " + call.detail);
  }
  return calls;
}

// Each step run alone on the full workstation makes its own calls. Composed, the report makes
// exactly the calls of the seven sections, the binding repair and the findings, one after the
// other in the fixed order: each step begins (its first call comes) only once the one before it
// has made its last. The findings judge the route, adapter and hosts records the report has
// gathered already, so they read those again from nothing.
TEST(ComposeReport, SevenSectionsTheRepairAndTheFindingsEachWholeInTheirFixedOrder) {
  const std::pair<const char*, std::function<void(Report&)>> renderers[] = {
      {"system", [](Report& page) { page.system = RenderSystemSection(GatherSystemSection()); }},
      {"software",
       [](Report& page) { page.software = RenderSoftwareSection(GatherSoftwareSection()); }},
      {"process",
       [](Report& page) { page.process = RenderProcessSection(GatherProcessSection()); }},
      {"browser",
       [](Report& page) { page.browser = RenderBrowserSection(GatherBrowserSection()); }},
      {"adapter binding", [](Report&) { RepairVirtualAdapterBinding(); }},
      {"route and adapter",
       [](Report& page) {
         const RouteAndAdapterSections network = GatherRouteAndAdapterSections();
         page.route = RenderRouteSection(network.route, network.adapter);
         page.adapter = RenderAdapterSection(network.adapter);
       }},
      {"client", [](Report& page) { page.client = RenderClientSection(GatherClientSection()); }},
      {"hosts", [](Report& page) { page.hosts = RenderHostsSection(GatherHostsSection()); }},
      {"findings",
       [](Report& page) {
         page.findings = diagnosis::RenderFindingsSection(
             diagnosis::JudgeAllRows(RouteAndAdapterSections{}, HostsSection{}));
       }},
  };
  std::vector<std::string> oneAfterAnother;
  std::vector<std::string> firstCalls;
  for (const auto& [name, render] : renderers) {
    platform::sim::Workstation ws;
    full_workstation::Seed(ws);
    Report page;
    render(page);
    const std::vector<std::string> calls = CallsOf(ws);
    ASSERT_FALSE(calls.empty()) << name;
    firstCalls.push_back(calls.front());
    oneAfterAnother.insert(oneAfterAnother.end(), calls.begin(), calls.end());
  }
  // The system and software sections both begin in the registry: the rest tells them apart.
  EXPECT_EQ(firstCalls[2], "EnumProcesses ");
  EXPECT_EQ(firstCalls[5], "GetIpForwardTable ");
  EXPECT_EQ(firstCalls[7], "GetSystemDirectoryA ");

  platform::sim::Workstation ws;
  full_workstation::Seed(ws);
  Report page;
  ComposeReport(page);
  EXPECT_EQ(CallsOf(ws), oneAfterAnother);
}

// The binding repair is a step of its own, before the route table and the adapters are read: it
// puts the virtual adapter right even when no route table can be had.
TEST(ComposeReport, AdapterBindingIsRepairedBeforeTheAdaptersAreRead) {
  platform::sim::Workstation ws;
  const std::string entry =
      "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\0007";
  auto& r = ws.registry();
  r.SetString(platform::RegRoot::kLocalMachine, entry + "\\Ndi\\Interfaces", "LowerRange",
              "ethernet");
  r.SetString(platform::RegRoot::kLocalMachine, entry, "ComponentId", "MirrelDrv");
  r.SetString(platform::RegRoot::kLocalMachine, entry, "DriverDesc", "Mirrel Adapter V1.0");
  r.SetString(platform::RegRoot::kLocalMachine, entry, "NetCfgInstanceId", "{1234}");
  r.AddKey(platform::RegRoot::kLocalMachine, entry + "\\Linkage");
  Report page;
  ComposeReport(page);
  EXPECT_EQ(page.route, "") << "the default workstation has no route table";
  const auto bind = r.Value(platform::RegRoot::kLocalMachine, entry + "\\Linkage", "UpperBind");
  ASSERT_TRUE(bind);
  EXPECT_EQ(bind->data, std::string("Tcpip\0\0", 7));
  const std::vector<std::string> calls = CallsOf(ws);
  const auto written = std::find_if(calls.begin(), calls.end(), [](const std::string& call) {
    return call.rfind("RegSetValueExA", 0) == 0;
  });
  const auto routes = std::find(calls.begin(), calls.end(), "GetIpForwardTable ");
  ASSERT_NE(written, calls.end());
  EXPECT_LT(written, routes);
}

}  // namespace
