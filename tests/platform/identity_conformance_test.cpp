// The contract of the identity seam (user name, token groups), on the simulated workstation
// natively and on Wine's real advapi32 in the Windows build.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/identity.h"
#include "platform/win32_codes.h"
#ifndef _WIN32
#include "platform/sim/workstation.h"
#endif

namespace {

using platform::ProcessToken;
using platform::TokenGroup;

class IdentityConformance : public ::testing::Test {
#ifndef _WIN32
 protected:
  platform::sim::Workstation workstation_;
#endif
};

bool HasGroup(const std::vector<TokenGroup>& groups, const std::string& sid) {
  return std::any_of(groups.begin(), groups.end(),
                     [&](const TokenGroup& group) { return group.sid == sid; });
}

TEST_F(IdentityConformance, UserNameCountsItsZero) {
  char name[260];
  std::memset(name, 'x', sizeof(name));
  std::uint32_t size = sizeof(name);
  ASSERT_EQ(platform::GetLoginUserName(name, &size), ERROR_SUCCESS);
  EXPECT_GT(std::strlen(name), 0u);
  EXPECT_EQ(size, std::strlen(name) + 1);
}

TEST_F(IdentityConformance, UserNameTooLongForTheBufferGivesTheSizeNeeded) {
  char name[260];
  std::uint32_t size = sizeof(name);
  ASSERT_EQ(platform::GetLoginUserName(name, &size), ERROR_SUCCESS);
  const std::uint32_t needed = size;
  char small[1] = {'k'};
  size = sizeof(small);
  EXPECT_EQ(platform::GetLoginUserName(small, &size), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(size, needed);
}

TEST_F(IdentityConformance, TokenGroupsAreReadAtTheSizeTheyAskFor) {
  ProcessToken token;
  ASSERT_EQ(token.Open(TOKEN_READ), ERROR_SUCCESS);
  ASSERT_TRUE(token.IsOpen());
  std::vector<TokenGroup> groups = {{"untouched", 1}};
  std::uint32_t needed = 0;
  ASSERT_EQ(token.QueryGroups(0, &groups, &needed), ERROR_INSUFFICIENT_BUFFER);
  ASSERT_GT(needed, 4u);
  EXPECT_EQ(groups, (std::vector<TokenGroup>{{"untouched", 1}}));
  std::uint32_t again = 0;
  EXPECT_EQ(token.QueryGroups(needed - 1, &groups, &again), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(again, needed);
  ASSERT_EQ(token.QueryGroups(needed, &groups, &again), ERROR_SUCCESS);
  // An elevated program: Everyone and Administrators, in the string form.
  EXPECT_TRUE(HasGroup(groups, "S-1-1-0"));
  EXPECT_TRUE(HasGroup(groups, "S-1-5-32-544"));
  token.Close();
  EXPECT_FALSE(token.IsOpen());
  EXPECT_EQ(token.QueryGroups(needed, &groups, &again), ERROR_INVALID_HANDLE);
}

TEST_F(IdentityConformance, MovedTokenIsOpenedOnce) {
  ProcessToken token;
  ASSERT_EQ(token.Open(TOKEN_READ), ERROR_SUCCESS);
  ProcessToken moved(std::move(token));
  EXPECT_FALSE(token.IsOpen());
  EXPECT_TRUE(moved.IsOpen());
  std::uint32_t needed = 0;
  std::vector<TokenGroup> groups;
  EXPECT_EQ(moved.QueryGroups(0, &groups, &needed), ERROR_INSUFFICIENT_BUFFER);
}

#ifndef _WIN32
// What Wine cannot show: its token is always an elevated administrator's, small enough for
// any buffer, and always opens.
TEST_F(IdentityConformance, SimDenyOnlyGroupsAndTheirSize) {
  workstation_.identity().SetTokenGroups(
      {{"S-1-5-32-544", SE_GROUP_USE_FOR_DENY_ONLY}, {"S-1-5-21-1-2-3-1000", 7}});
  // 4 + 2 × 8 + (8 + 2 × 4) + (8 + 5 × 4): the 32-bit layout.
  EXPECT_EQ(platform::sim::Identity::GroupListSize(
                {{"S-1-5-32-544", SE_GROUP_USE_FOR_DENY_ONLY}, {"S-1-5-21-1-2-3-1000", 7}}),
            64u);
  ProcessToken token;
  ASSERT_EQ(token.Open(TOKEN_READ), ERROR_SUCCESS);
  std::vector<TokenGroup> groups;
  std::uint32_t needed = 0;
  ASSERT_EQ(token.QueryGroups(1024, &groups, &needed), ERROR_SUCCESS);
  EXPECT_EQ(groups[0].attributes, static_cast<std::uint32_t>(SE_GROUP_USE_FOR_DENY_ONLY));
  EXPECT_EQ(workstation_.identity().OpenTokenCount(), 1);
  token.Close();
  EXPECT_EQ(workstation_.identity().OpenTokenCount(), 0);
}

TEST_F(IdentityConformance, SimGroupsThatExceedABuffer) {
  std::vector<TokenGroup> many;
  for (int i = 0; i < 150; ++i) many.push_back({"S-1-5-21-1-2-3-" + std::to_string(2000 + i), 7});
  many.push_back({"S-1-5-32-544", 15});
  workstation_.identity().SetTokenGroups(many);
  ProcessToken token;
  ASSERT_EQ(token.Open(TOKEN_READ), ERROR_SUCCESS);
  std::vector<TokenGroup> groups;
  std::uint32_t needed = 0;
  EXPECT_EQ(token.QueryGroups(1024, &groups, &needed), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(needed, 4u + 151 * 8 + 150 * 28 + 16);
  ASSERT_EQ(token.QueryGroups(needed, &groups, &needed), ERROR_SUCCESS);
  EXPECT_EQ(groups, many);
}

TEST_F(IdentityConformance, SimTokenThatCannotBeOpened) {
  workstation_.identity().FailTokenOpen(ERROR_ACCESS_DENIED);
  ProcessToken token;
  EXPECT_EQ(token.Open(TOKEN_READ), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(token.IsOpen());
}

TEST_F(IdentityConformance, SimUserNameThatCannotBeHad) {
  workstation_.identity().FailUserName(ERROR_ACCESS_DENIED);
  char name[260] = "kept";
  std::uint32_t size = sizeof(name);
  EXPECT_EQ(platform::GetLoginUserName(name, &size), ERROR_ACCESS_DENIED);
  EXPECT_STREQ(name, "kept");
}
#endif

}  // namespace
