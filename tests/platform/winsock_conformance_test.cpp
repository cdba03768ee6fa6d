// The contract of the sockets seam, on the simulated workstation natively and on Wine's real
// ws2_32 (loaded from the system folder) in the Windows build.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/winsock.h"
#ifndef _WIN32
#include "platform/sim/workstation.h"
#endif

namespace {

class WinsockConformance : public ::testing::Test {
#ifndef _WIN32
 protected:
  platform::sim::Workstation workstation_;
#endif
};

TEST_F(WinsockConformance, StartedLibraryGivesTheHostName) {
  ASSERT_EQ(platform::StartSockets(), 0);
  char name[128];
  std::memset(name, 'x', sizeof(name));
  ASSERT_EQ(platform::GetHostName(name, sizeof(name)), 0);
  EXPECT_GT(std::strlen(name), 0u);
  EXPECT_LT(std::strlen(name), sizeof(name));
}

TEST_F(WinsockConformance, NameLongerThanTheBufferFails) {
  ASSERT_EQ(platform::StartSockets(), 0);
  char name[1];
  EXPECT_EQ(platform::GetHostName(name, sizeof(name)), -1);
}

TEST_F(WinsockConformance, StartingTwiceSucceeds) {
  EXPECT_EQ(platform::StartSockets(), 0);
  EXPECT_EQ(platform::StartSockets(), 0);
}

#ifndef _WIN32
// What Wine does not show: a library that refuses to start, and gethostname before start-up.
TEST_F(WinsockConformance, SimHostNameNeedsTheLibraryStarted) {
  workstation_.winsock().SetHostName("WS-01");
  char name[128] = {};
  EXPECT_EQ(platform::GetHostName(name, sizeof(name)), -1);
  workstation_.winsock().FailStartup(10091);
  EXPECT_EQ(platform::StartSockets(), 10091);
  EXPECT_FALSE(workstation_.winsock().Started());
  workstation_.winsock().FailStartup(0);
  ASSERT_EQ(platform::StartSockets(), 0);
  ASSERT_EQ(platform::GetHostName(name, sizeof(name)), 0);
  EXPECT_STREQ(name, "WS-01");
  workstation_.winsock().FailHostName();
  EXPECT_EQ(platform::GetHostName(name, sizeof(name)), -1);
}
#endif

}  // namespace
