// The process section on the simulated workstation.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "collect/process_section.h"
#include "collect/section_renderers.h"
#include "platform/sim/workstation.h"
#include "platform/win32_codes.h"

namespace {

using platform::sim::SimProcess;

SimProcess Closed(std::uint32_t id, long error, std::vector<std::string> modules = {"x.exe"}) {
  SimProcess process;
  process.id = id;
  process.modules = std::move(modules);
  process.grantedAccess = 0;
  process.openError = error;
  return process;
}

TEST(ProcessSection, OneLinePerProcessInEnumerationOrder) {
  platform::sim::Workstation ws;
  platform::sim::Processes& p = ws.processes();
  p.Add(Closed(0, ERROR_INVALID_PARAMETER, {}))  // the idle process
      .Add(Closed(4, ERROR_ACCESS_DENIED, {"System"}))
      .Add(636, {"smss.exe", "ntdll.dll"})
      .Add(1520, {"explorer.exe", "ntdll.dll", "kernel32.dll"})
      .Add(300, {"svchost.exe"})
      .Add(2212, {"svchost.exe"})  // two of one executable: two lines
      .Add(3000, {"腾讯QQ.exe"});
  EXPECT_EQ(RenderProcessSection(),
            "smss.exe\r\nexplorer.exe\r\nsvchost.exe\r\nsvchost.exe\r\n腾讯QQ.exe\r\n");
  EXPECT_EQ(p.OpenHandleCount(), 0) << "every process closed";
}

TEST(ProcessSection, TheFirstIdentifierIsNeverTaken) {
  platform::sim::Workstation ws;
  // Under Wine the first entry is the program itself, which opens fine.
  ws.processes().Add(42, {"vantik.exe"}).Add(43, {"services.exe"});
  EXPECT_EQ(RenderProcessSection(), "services.exe\r\n");
  EXPECT_EQ(ws.processes().OpenRequests(), std::vector<std::uint32_t>{43});
}

TEST(ProcessSection, WhatCannotBeReadGivesNoLine) {
  platform::sim::Workstation ws;
  SimProcess query_only;
  query_only.id = 12;
  query_only.modules = {"queryonly.exe"};
  query_only.grantedAccess = PROCESS_QUERY_INFORMATION;
  SimProcess sixty_four_bit;
  sixty_four_bit.id = 13;
  sixty_four_bit.modules = {"x64.exe"};
  sixty_four_bit.moduleListError = ERROR_PARTIAL_COPY;
  ws.processes()
      .Add(0, {})
      .Add(Closed(10, ERROR_ACCESS_DENIED, {"protected.exe"}))
      .Add(Closed(11, ERROR_INVALID_PARAMETER, {"exited.exe"}))  // gone since the list was made
      .Add(query_only)
      .Add(sixty_four_bit)
      .Add(14, {})    // no module at all
      .Add(15, {""})  // an empty base name
      .Add(16, {"last.exe"});
  EXPECT_EQ(RenderProcessSection(), "last.exe\r\n");
  EXPECT_EQ(ws.processes().OpenHandleCount(), 0);
}

TEST(ProcessSection, AnIdentifierZeroEndsTheWalk) {
  platform::sim::Workstation ws;
  ws.processes().Add(8, {"first.exe"}).Add(9, {"a.exe"}).Add(0, {}).Add(10, {"b.exe"});
  EXPECT_EQ(RenderProcessSection(), "a.exe\r\n");
}

TEST(ProcessSection, EmptyWhenTheListCannotBeRead) {
  platform::sim::Workstation ws;
  ws.processes().Add(0, {}).Add(8, {"a.exe"}).FailEnumeration(ERROR_ACCESS_DENIED);
  EXPECT_EQ(RenderProcessSection(), "");
  EXPECT_TRUE(ws.processes().OpenRequests().empty());
}

TEST(ProcessSection, ALongNameIsKeptWithinItsBuffer) {
  platform::sim::Workstation ws;
  ws.processes().Add(0, {}).Add(8, {std::string(300, 'p')});
  EXPECT_EQ(RenderProcessSection(), std::string(260, 'p') + "\r\n");
}

TEST(ProcessSection, ManyModulesStillNameTheExecutable) {
  platform::sim::Workstation ws;
  std::vector<std::string> modules = {"big.exe"};
  for (int i = 0; i < 1500; ++i) modules.push_back("m" + std::to_string(i) + ".dll");
  ws.processes().Add(0, {}).Add(8, modules);
  EXPECT_EQ(RenderProcessSection(), "big.exe\r\n");
}

// Lists that fill the first buffer are read again with more room, up to a bound.
class ManyProcesses : public ::testing::TestWithParam<std::uint32_t> {};

TEST_P(ManyProcesses, AreAllListed) {
  const std::uint32_t count = GetParam();
  platform::sim::Workstation ws;
  std::string expected;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::string name = "p" + std::to_string(i) + ".exe";
    ws.processes().Add(4 * (i + 1), {name});
    if (i > 0 && i < kLargestListCapacity) expected += name + "\r\n";
  }
  EXPECT_EQ(RenderProcessSection(), expected);
}

INSTANTIATE_TEST_SUITE_P(Counts, ManyProcesses,
                         ::testing::Values(1023u, 1024u, 1025u, 3000u, kLargestListCapacity + 10));

TEST(ProcessIdList, NextIsZeroUntilFilledAndAfterTheEnd) {
  platform::sim::Workstation ws;
  ws.processes().Add(5, {"a.exe"}).Add(6, {"b.exe"});
  ProcessIdList ids;
  EXPECT_EQ(ids.Next(), 0u);
  ASSERT_TRUE(ids.Fill());
  EXPECT_EQ(ids.Next(), 6u);
  EXPECT_EQ(ids.Next(), 0u);
  EXPECT_EQ(ids.Next(), 0u);
  ASSERT_TRUE(ids.Fill());
  EXPECT_EQ(ids.Next(), 6u) << "filling again starts again";
  ws.processes().FailEnumeration(ERROR_ACCESS_DENIED);
  EXPECT_FALSE(ids.Fill());
  EXPECT_EQ(ids.Next(), 0u);
}

TEST(ModuleList, NoneForAProcessThatIsNotOpen) {
  platform::sim::Workstation ws;
  const platform::Process closed;
  ModuleList modules;
  EXPECT_FALSE(modules.Fill(closed));
  EXPECT_EQ(modules.First(), 0u);
}

}  // namespace
