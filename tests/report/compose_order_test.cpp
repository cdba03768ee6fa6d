// The report's sections are composed in their fixed order: each renderer, as it gathers, finds
// the sections before it done and those after it not yet begun.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "collect/section_renderers.h"
#include "platform/sim/workstation.h"
#include "report/report.h"
#include "tests/support/full_workstation.h"

namespace {

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
  ws.drives().OnLogicalDrives([&] { atDrives = Take(page); });
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

// Each renderer run alone on the full workstation makes its own calls. Composed, the report makes
// exactly the calls of the seven, one after the other in the fixed order: each renderer begins
// (its first call comes) only once the one before it has made its last.
TEST(ComposeReport, SevenRenderersEachWholeInTheirFixedOrder) {
  const std::pair<const char*, std::function<void(Report&)>> renderers[] = {
      {"system", [](Report& page) { RenderSystemSection(page.system); }},
      {"software", [](Report& page) { RenderSoftwareSection(page.software); }},
      {"process", [](Report& page) { page.process = RenderProcessSection(); }},
      {"browser", [](Report& page) { RenderBrowserSection(page.browser); }},
      {"route and adapter",
       [](Report& page) { RenderRouteAndAdapterSections(page.route, page.adapter); }},
      {"client", [](Report& page) { RenderClientSection(page.client); }},
      {"hosts", [](Report& page) { RenderHostsSection(page.hosts); }},
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
  // The system and software sections both begin with the program list: the rest tells them
  // apart.
  EXPECT_EQ(firstCalls[2], "EnumProcesses ");
  EXPECT_EQ(firstCalls[6], "GetSystemDirectoryA ");

  platform::sim::Workstation ws;
  full_workstation::Seed(ws);
  Report page;
  ComposeReport(page);
  EXPECT_EQ(CallsOf(ws), oneAfterAnother);
}

}  // namespace
