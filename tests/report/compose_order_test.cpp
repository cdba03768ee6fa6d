// The report's sections are composed in their fixed order: each renderer, as it gathers, finds
// the sections before it done and those after it not yet begun.
#include <gtest/gtest.h>

#include <string>

#include "platform/sim/workstation.h"
#include "report/page_info.h"

namespace {

struct Snapshot {
  bool taken = false;
  std::string system;
  std::string software;
  std::string process;
};

Snapshot Take(const CPageInfo& page) {
  return Snapshot{true, page.m_strSystem, page.m_strSoftware, page.m_strProcess};
}

TEST(ComposeReport, SystemThenSoftwareThenProcesses) {
  platform::sim::Workstation ws;
  ws.processes().Add(0, {}).Add(8, {"explorer.exe"});
  CPageInfo page;
  // The system section reads the drives; the process section lists the processes.
  Snapshot atDrives;
  Snapshot atProcesses;
  ws.drives().OnLogicalDrives([&] { atDrives = Take(page); });
  ws.processes().OnEnumerate([&] { atProcesses = Take(page); });
  page.ComposeReport();

  ASSERT_TRUE(atDrives.taken);
  EXPECT_EQ(atDrives.system, "") << "the system section comes first";
  EXPECT_EQ(atDrives.software, "");
  ASSERT_TRUE(atProcesses.taken);
  EXPECT_EQ(atProcesses.system, page.m_strSystem) << "done before the processes";
  EXPECT_EQ(atProcesses.software, page.m_strSoftware) << "done before the processes";
  EXPECT_EQ(atProcesses.process, "");
  EXPECT_EQ(page.m_strProcess, "explorer.exe\r\n");
  EXPECT_NE(page.m_strSystem, "");
  EXPECT_NE(page.m_strSoftware, "");
  EXPECT_TRUE(ws.winsock().Started()) << "the system section started the sockets library";
}

}  // namespace
