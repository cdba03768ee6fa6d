// Finding the desktop's user, and which hive and token the per-user calls then take. Portable:
// it asks only the seam.
#include "platform/settings_user.h"

#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/win32_codes.h"

namespace platform {
namespace {

// The innermost FollowDesktopUser alive; null before start-up and after it ends.
const FollowDesktopUser* g_following = nullptr;

// SHGetFolderPathA asks TOKEN_QUERY and TOKEN_IMPERSONATE of a token it is given, and in some
// cases TOKEN_DUPLICATE.
constexpr std::uint32_t kUserTokenAccess = TOKEN_QUERY | TOKEN_IMPERSONATE | TOKEN_DUPLICATE;

// The account's name, or "" when it cannot be told: the SID still says who it is.
std::string AccountOf(const std::string& sid) {
  std::string account;
  (void)LookupAccountOfSid(sid, &account);
  return account;
}

SettingsUser OwnInstead(const std::string& ownSid, SettingsUserFallback why, long error) {
  SettingsUser user;
  user.sid = ownSid;
  if (!ownSid.empty()) user.account = AccountOf(ownSid);
  user.fromDesktop = false;
  user.fallback = why;
  user.error = error;
  return user;
}

}  // namespace

FollowDesktopUser::FollowDesktopUser() : previous_(g_following) {
  g_following = this;
  std::string ownSid;
  ProcessToken own;
  long result = own.Open(TOKEN_QUERY);
  if (result == ERROR_SUCCESS) result = own.QueryUser(&ownSid);
  own.Close();
  if (result != ERROR_SUCCESS) {
    user_ = OwnInstead({}, SettingsUserFallback::kOwnUnknown, result);
    return;
  }
  std::uint32_t shell = 0;
  if (result = FindShellProcess(&shell); result != ERROR_SUCCESS) {
    user_ = OwnInstead(ownSid, SettingsUserFallback::kNoShell, result);
    return;
  }
  ProcessToken token;
  std::string sid;
  result = token.OpenOfProcess(shell, kUserTokenAccess);
  if (result == ERROR_SUCCESS) result = token.QueryUser(&sid);
  if (result != ERROR_SUCCESS) {
    user_ = OwnInstead(ownSid, SettingsUserFallback::kShellRefused, result);
    return;
  }
  if (sid == ownSid) {
    user_.sid = ownSid;
    return;
  }
  // Windows loads a user's hive while they are logged on; one that is not there cannot be
  // followed, and writing a hive file of our own would be no better.
  RegKey hive;
  if (result = hive.Open(RegRoot::kUsers, sid.c_str(), KEY_QUERY_VALUE); result != ERROR_SUCCESS) {
    user_ = OwnInstead(ownSid, SettingsUserFallback::kHiveNotLoaded, result);
    return;
  }
  hive.Close();
  user_.account = AccountOf(sid);
  user_.sid = sid;
  user_.processOwn = false;
  token_ = std::move(token);
}

FollowDesktopUser::~FollowDesktopUser() { g_following = previous_; }

const SettingsUser& CurrentSettingsUser() {
  static const SettingsUser processOwn;
  return g_following != nullptr ? g_following->user() : processOwn;
}

const std::string* FollowedUserSid() {
  const SettingsUser& user = CurrentSettingsUser();
  return user.processOwn ? nullptr : &user.sid;
}

const ProcessToken* FollowedUserToken() {
  return FollowedUserSid() != nullptr ? &g_following->token_ : nullptr;
}

}  // namespace platform
