// Whose per-user settings the program reads and writes: the hive behind HKEY_CURRENT_USER and
// the application-data folder.
//
// Windows gives a process the settings of the account it runs as. The program asks for
// administrator rights, so where a standard user sits at the desktop, an administrator's
// password (a help-desk technician's, UAC's credential prompt, XP's "Run as") starts it as that
// administrator, with the administrator's settings; but the broken VPN is the user's. So the
// program finds the user at the desktop once, as it starts, and follows that user's hive
// (HKEY_USERS\<SID>) and folders (through their token) for as long as it runs. Machine-wide
// settings are the same for both.
#pragma once

#include <cstdint>
#include <string>

#include "platform/identity.h"

namespace platform {

// Why the program follows its own account although the desktop's user may be another.
enum class SettingsUserFallback : std::uint8_t {
  kNone,           // the desktop's user was found
  kOwnUnknown,     // the process's own token gave no user
  kNoShell,        // no shell in the session (a remote console, a service's session)
  kShellRefused,   // the shell's process or token refused to be read
  kHiveNotLoaded,  // the desktop user's hive is not under HKEY_USERS
};

// The user whose settings the program follows.
struct SettingsUser {
  std::string account;      // "DOMAIN\name"; empty when the account database does not know the SID
  std::string sid;          // empty only when not even the process's own could be read
  bool fromDesktop = true;  // the desktop's user; false: the process's own stands in
  bool processOwn = true;   // the account the process runs as
  SettingsUserFallback fallback = SettingsUserFallback::kNone;
  long error = 0;  // the Windows code of the step that made the fallback

  // The process's own account, found at the desktop: what needs no saying, as it is what every
  // Windows program reads.
  bool IsPlain() const { return fromDesktop && processOwn; }
};

// Finds the desktop's user and follows their settings while it lives; the process's own
// account's again afterwards. Made once as a program starts, before any other thread; the
// settings are only read while it lives.
class FollowDesktopUser {
 public:
  FollowDesktopUser();
  ~FollowDesktopUser();
  FollowDesktopUser(const FollowDesktopUser&) = delete;
  FollowDesktopUser& operator=(const FollowDesktopUser&) = delete;

  const SettingsUser& user() const { return user_; }

 private:
  friend const ProcessToken* FollowedUserToken();

  SettingsUser user_;
  ProcessToken token_;  // the followed user's, held while followed
  const FollowDesktopUser* previous_;
};

// The user whose settings the program follows now: the process's own, plainly, when nothing
// was found.
const SettingsUser& CurrentSettingsUser();

// For the backends: the SID whose hive kCurrentUser opens, and the token the per-user folders
// are asked with; null while the process's own account is followed.
const std::string* FollowedUserSid();
const ProcessToken* FollowedUserToken();

}  // namespace platform
