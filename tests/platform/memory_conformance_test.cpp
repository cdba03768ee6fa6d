// The contract of the memory status, on the simulated workstation natively and on Wine's real
// GlobalMemoryStatusEx in the Windows build.
#include <gtest/gtest.h>

#include <cstdio>

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

#ifdef _WIN32
// Under Wine the machine's memory is Linux's, which drive Z: shows. A 32-bit program that asked
// GlobalMemoryStatus would see at most 2 GiB of it.
TEST_F(MemoryConformance, TotalIsTheWholeMachine) {
  std::FILE* file = std::fopen("Z:\\proc\\meminfo", "r");
  if (file == nullptr) GTEST_SKIP() << "not under Wine: no Z:\\proc\\meminfo";
  unsigned long long kilobytes = 0;
  const int read = std::fscanf(file, "MemTotal: %llu kB", &kilobytes);
  std::fclose(file);
  ASSERT_EQ(read, 1);
  // Wine counts whole pages of what Linux counts in kilobytes.
  const double total = static_cast<double>(platform::GetMemoryStatus().totalPhys);
  EXPECT_NEAR(total, static_cast<double>(kilobytes) * 1024, 65536.0);
}
#endif

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
