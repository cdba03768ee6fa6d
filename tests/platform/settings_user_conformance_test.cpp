// The desktop's user: the shell's owner, a token's user, the account of a SID and the hive under
// HKEY_USERS, on the simulated workstation natively and on Wine's real system in the Windows
// build. Wine has one user, so only the program's own account can be found at its desktop; and
// its explorer.exe names no shell window, so a test that needs a shell makes the desktop window
// the shell's, as a session's explorer.exe does with its own.
#ifdef _WIN32
#include "platform/win32/windows_api.h"
#else
#include "platform/sim/workstation.h"
#endif

#include <gtest/gtest.h>

#include <string>

#include "platform/identity.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/settings_user.h"
#include "platform/win32_codes.h"

namespace {

using platform::SettingsUserFallback;

constexpr std::uint32_t kUserTokenAccess = TOKEN_QUERY | TOKEN_IMPERSONATE | TOKEN_DUPLICATE;

class SettingsUserConformance : public ::testing::Test {
 protected:
  // A shell in the session, owned by the program's own account.
  void GiveTheSessionAShell() {
#ifdef _WIN32
    using SetShellWindowFunction = BOOL(WINAPI*)(HWND);
    const auto setShellWindow = reinterpret_cast<SetShellWindowFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "SetShellWindow")));
    ASSERT_NE(setShellWindow, nullptr);
    if (GetShellWindow() == nullptr) {
      ASSERT_TRUE(setShellWindow(GetDesktopWindow()));
    }
#else
    workstation_.identity().SetShellOwner(platform::sim::Identity::kProcessSid);
#endif
  }

  // No shell in the session: Wine's own state. False where the session has one, which no test
  // can take away.
  bool TakeTheShellAway() {
#ifdef _WIN32
    return GetShellWindow() == nullptr;
#else
    workstation_.identity().SetShellOwner(std::nullopt);
    return true;
#endif
  }

  // The hive of the program's own account, loaded as every logged-on user's is.
  void LoadOwnHive() {
#ifndef _WIN32
    workstation_.registry().AddKey(platform::RegRoot::kUsers, platform::sim::Identity::kProcessSid);
#endif
  }

  static std::string OwnSid() {
    platform::ProcessToken token;
    std::string sid;
    EXPECT_EQ(token.Open(TOKEN_QUERY), ERROR_SUCCESS);
    EXPECT_EQ(token.QueryUser(&sid), ERROR_SUCCESS);
    return sid;
  }

#ifndef _WIN32
  platform::sim::Workstation workstation_;
#endif
};

TEST_F(SettingsUserConformance, OwnTokensUserIsALocalAccountsSid) {
  const std::string sid = OwnSid();
  EXPECT_EQ(sid.rfind("S-1-5-21-", 0), 0u) << sid;
}

TEST_F(SettingsUserConformance, FindsTheShellsOwnerAndItIsTheProgramsOwnAccount) {
  GiveTheSessionAShell();
  std::uint32_t shell = 0;
  ASSERT_EQ(platform::FindShellProcess(&shell), ERROR_SUCCESS);
  EXPECT_NE(shell, 0u);
#ifdef _WIN32
  // explorer.exe, which owns the desktop window, not this program.
  EXPECT_NE(shell, GetCurrentProcessId());
#endif
  platform::ProcessToken token;
  ASSERT_EQ(token.OpenOfProcess(shell, kUserTokenAccess), ERROR_SUCCESS);
  std::string sid;
  ASSERT_EQ(token.QueryUser(&sid), ERROR_SUCCESS);
  EXPECT_EQ(sid, OwnSid());

  const platform::FollowDesktopUser desktop;
  EXPECT_TRUE(desktop.user().fromDesktop);
  EXPECT_TRUE(desktop.user().processOwn);
  EXPECT_EQ(desktop.user().sid, sid);
  EXPECT_EQ(&platform::CurrentSettingsUser(), &desktop.user());
  // HKEY_CURRENT_USER and the application-data folder stay the process's own.
  EXPECT_EQ(platform::FollowedUserSid(), nullptr);
  EXPECT_EQ(platform::FollowedUserToken(), nullptr);
}

TEST_F(SettingsUserConformance, WithoutAShellTheProgramFollowsItsOwnAccountAndSaysWhy) {
  if (!TakeTheShellAway()) GTEST_SKIP() << "this session has a shell";
  std::uint32_t shell = 77;
  EXPECT_EQ(platform::FindShellProcess(&shell), ERROR_INVALID_WINDOW_HANDLE);
  EXPECT_EQ(shell, 77u);

  const platform::FollowDesktopUser desktop;
  EXPECT_FALSE(desktop.user().fromDesktop);
  EXPECT_TRUE(desktop.user().processOwn);
  EXPECT_EQ(desktop.user().fallback, SettingsUserFallback::kNoShell);
  EXPECT_EQ(desktop.user().error, ERROR_INVALID_WINDOW_HANDLE);
  EXPECT_EQ(desktop.user().sid, OwnSid());
  EXPECT_FALSE(desktop.user().account.empty());
  EXPECT_EQ(platform::FollowedUserSid(), nullptr);
}

TEST_F(SettingsUserConformance, ProcessThatDoesNotExistHasNoToken) {
  platform::ProcessToken token;
  EXPECT_EQ(token.OpenOfProcess(0x7FFFFFF0u, kUserTokenAccess), ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(token.IsOpen());
}

TEST_F(SettingsUserConformance, AccountOfTheProgramsOwnSidEndsInItsUserName) {
  char name[260] = {};
  std::uint32_t size = sizeof(name);
  ASSERT_EQ(platform::GetLoginUserName(name, &size), ERROR_SUCCESS);
  std::string account;
  ASSERT_EQ(platform::LookupAccountOfSid(OwnSid(), &account), ERROR_SUCCESS);
  EXPECT_TRUE(account.ends_with(std::string("\\") + name)) << account;
}

TEST_F(SettingsUserConformance, AccountOfAnUnknownSidIsNotMapped) {
  std::string account = "untouched";
  EXPECT_EQ(platform::LookupAccountOfSid("S-1-5-21-1-2-3-4242", &account), ERROR_NONE_MAPPED);
  EXPECT_EQ(account, "untouched");
}

TEST_F(SettingsUserConformance, OwnHiveIsUnderHkeyUsers) {
  LoadOwnHive();
  platform::RegKey hive;
  EXPECT_EQ(hive.Open(platform::RegRoot::kUsers, OwnSid().c_str(), KEY_QUERY_VALUE), ERROR_SUCCESS);
  platform::RegKey missing;
  EXPECT_EQ(missing.Open(platform::RegRoot::kUsers, "S-1-5-21-1-2-3-4242", KEY_QUERY_VALUE),
            ERROR_FILE_NOT_FOUND);
}

}  // namespace
