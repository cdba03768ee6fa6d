// The contract of the sockets seam, on the simulated workstation natively and on Wine's real
// ws2_32 (loaded from the system folder) in the Windows build.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

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

// Windows lists its providers; Wine's stub lists none and succeeds at once. Either way the
// enumeration succeeds once the library has started, and the client's provider is not there.
TEST_F(WinsockConformance, NameSpaceProvidersAreListedOnceStarted) {
  ASSERT_EQ(platform::StartSockets(), 0);
  std::vector<platform::NameSpaceProvider> providers;
  platform::QueryStep step = platform::QueryStep::kAllocate;
  ASSERT_EQ(platform::EnumNameSpaceProviders(&providers, &step), 0);
  for (const auto& provider : providers) {
    EXPECT_TRUE(provider.active == 0 || provider.active == 1) << provider.active;
  }
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

// What Wine's stub does not show: the enumeration before start-up, listed providers, and a
// failing read; and the stub itself, as the simulation's answer.
TEST_F(WinsockConformance, SimNameSpaceEnumeration) {
  platform::NameSpaceProvider provider;
  provider.id[0] = 0x42;
  provider.active = 1;
  workstation_.winsock().AddNameSpaceProvider(provider);
  std::vector<platform::NameSpaceProvider> providers;
  platform::QueryStep step = platform::QueryStep::kRead;
  EXPECT_EQ(platform::EnumNameSpaceProviders(&providers, &step), 10093);  // WSANOTINITIALISED
  EXPECT_EQ(step, platform::QueryStep::kSize);
  EXPECT_TRUE(providers.empty());

  ASSERT_EQ(platform::StartSockets(), 0);
  ASSERT_EQ(platform::EnumNameSpaceProviders(&providers, &step), 0);
  ASSERT_EQ(providers.size(), 1u);
  EXPECT_EQ(providers[0].id[0], 0x42);
  EXPECT_EQ(providers[0].active, 1);

  workstation_.winsock().StubNameSpaceEnumeration();
  ASSERT_EQ(platform::EnumNameSpaceProviders(&providers, &step), 0);
  EXPECT_TRUE(providers.empty());

  workstation_.winsock().FailNameSpaceEnumeration(platform::QueryStep::kRead, 10014);
  EXPECT_EQ(platform::EnumNameSpaceProviders(&providers, &step), 10014);
  EXPECT_EQ(step, platform::QueryStep::kRead);
}
#endif

}  // namespace
