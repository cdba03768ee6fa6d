// The contract of the memory status, on the simulated workstation natively and on Wine's real
// GlobalMemoryStatus in the Windows build.
#include <gtest/gtest.h>

#include "platform/system_info.h"
#ifndef _WIN32
#include "platform/sim/workstation.h"
#endif

namespace {

class MemoryConformance : public ::testing::Test {
#ifndef _WIN32
 protected:
  platform::sim::Workstation workstation_;
#endif
};

TEST_F(MemoryConformance, FiguresHangTogether) {
  const platform::MemoryStatus status = platform::GetMemoryStatus();
  EXPECT_LE(status.memoryLoad, 100u);
  EXPECT_GT(status.totalPhys, 0u);
  EXPECT_LE(status.availPhys, status.totalPhys);
  EXPECT_GT(status.totalVirtual, 0u);
  EXPECT_LE(status.availVirtual, status.totalVirtual);
  EXPECT_LE(status.availPageFile, status.totalPageFile);
}

#ifndef _WIN32
TEST_F(MemoryConformance, SimReportsWhatItWasGiven) {
  const platform::MemoryStatus given{100, 4294967295u, 1, 2, 1, 2147352576u, 1073741823u};
  workstation_.memory().SetStatus(given);
  const platform::MemoryStatus status = platform::GetMemoryStatus();
  EXPECT_EQ(status.memoryLoad, 100u);
  EXPECT_EQ(status.totalPhys, 4294967295u);
  EXPECT_EQ(status.availVirtual, 1073741823u);
}
#endif

}  // namespace
