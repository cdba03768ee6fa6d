// The two checks and their repairs against Wine's real registry, seeded afresh for each test.
#include <gtest/gtest.h>

#include <string>

#include "checks/renego_check.h"
#include "checks/user_agent_check.h"
#include "platform/win32_codes.h"
#include "tests/support/test_registry.h"

namespace {

using namespace checks;

using platform::RegRoot;

constexpr char kSchannel[] = "System\\CurrentControlSet\\Control\\SecurityProviders\\SCHANNEL";
constexpr char kRenego[] = "DisableRenegoOnClient";
constexpr char kUA[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\5.0\\User Agent";

TEST(RenegoOnRealRegistry, FreshPrefixIsNormalAndRepairCreatesNothing) {
  TestRegistry registry;
  EXPECT_EQ(CheckKB977377(), 0);
  EXPECT_EQ(FixKB977377(), 0);
  EXPECT_FALSE(registry.Value(RegRoot::kLocalMachine, kSchannel, kRenego));
}

TEST(RenegoOnRealRegistry, DwordOneIsRepairedToZero) {
  TestRegistry registry;
  registry.SetDword(RegRoot::kLocalMachine, kSchannel, kRenego, 1);
  EXPECT_EQ(CheckKB977377(), 1);
  EXPECT_EQ(FixKB977377(), 0);
  const auto stored = registry.Value(RegRoot::kLocalMachine, kSchannel, kRenego);
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->type, static_cast<std::uint32_t>(REG_DWORD));
  EXPECT_EQ(stored->data, std::string(4, '\0'));
  EXPECT_EQ(CheckKB977377(), 0);
}

TEST(RenegoOnRealRegistry, LongStringIsAbnormalAndLeftAlone) {
  TestRegistry registry;
  const std::string text(40, '1');
  registry.SetString(RegRoot::kLocalMachine, kSchannel, kRenego, text);
  EXPECT_EQ(CheckKB977377(), 1);
  EXPECT_EQ(FixKB977377(), 1);
  const auto stored = registry.Value(RegRoot::kLocalMachine, kSchannel, kRenego);
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->data, text + '\0');
}

TEST(UserAgentOnRealRegistry, FreshPrefixIsNormal) {
  TestRegistry registry;
  EXPECT_EQ(CheckIEUserAgent(), 0);
  EXPECT_EQ(FixIEUserAgent(), 0);
  EXPECT_FALSE(registry.Value(RegRoot::kCurrentUser, kUA, "Compatible"));
}

TEST(UserAgentOnRealRegistry, UserCompatibleGetsItsKeyword) {
  TestRegistry registry;
  registry.SetString(RegRoot::kCurrentUser, kUA, "Compatible", "Mozilla/4.0");
  registry.SetString(RegRoot::kLocalMachine, kUA, "Version", "msie 7.0");
  IEInfo info;
  ASSERT_EQ(ReadUserAgentValues(info), 0);
  EXPECT_STREQ(info.szUserCompatible, "Mozilla/4.0");
  EXPECT_STREQ(info.szUserVersion, "default");
  EXPECT_STREQ(info.szMachineVersion, "msie 7.0");

  EXPECT_EQ(CheckIEUserAgent(), 1);
  EXPECT_EQ(FixIEUserAgent(), 0);
  const auto compatible = registry.Value(RegRoot::kCurrentUser, kUA, "Compatible");
  ASSERT_TRUE(compatible);
  EXPECT_EQ(compatible->type, static_cast<std::uint32_t>(REG_SZ));
  EXPECT_EQ(compatible->data, std::string("compatible;Mozilla/4.0") + '\0');
  const auto version = registry.Value(RegRoot::kLocalMachine, kUA, "Version");
  ASSERT_TRUE(version);
  EXPECT_EQ(version->data, std::string("MSIE 8.0;msie 7.0") + '\0');
  EXPECT_EQ(CheckIEUserAgent(), 0);
}

}  // namespace
