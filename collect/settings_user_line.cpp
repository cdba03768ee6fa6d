#include "collect/settings_user_line.h"

#include "text/append_format.h"
#include "text/text_table.h"

namespace collect {

using namespace text;

namespace {

int FallbackText(platform::SettingsUserFallback fallback) {
  switch (fallback) {
    case platform::SettingsUserFallback::kOwnUnknown:
      return TEXT_PROGRAM_USER_UNKNOWN;
    case platform::SettingsUserFallback::kNoShell:
      return TEXT_NO_DESKTOP_SHELL;
    case platform::SettingsUserFallback::kShellRefused:
      return TEXT_DESKTOP_SHELL_REFUSED;
    case platform::SettingsUserFallback::kHiveNotLoaded:
    case platform::SettingsUserFallback::kNone:
      break;
  }
  return TEXT_USER_HIVE_NOT_LOADED;
}

}  // namespace

std::string SettingsUserLine(const platform::SettingsUser& user) {
  if (user.IsPlain()) return {};
  // The account's name where the account database gave one; the SID always, as names repeat
  // across domains.
  std::string line =
      GetText(user.fromDesktop ? TEXT_SETTINGS_OF_DESKTOP_USER : TEXT_SETTINGS_OF_PROGRAM_USER);
  if (!user.account.empty()) line += " " + user.account;
  if (!user.sid.empty()) line += user.account.empty() ? " " + user.sid : " (" + user.sid + ")";
  if (!user.fromDesktop) {
    AppendFormat(line, "; %s, %s [%ld]", GetText(FallbackText(user.fallback)),
                 GetText(TEXT_ERROR_CODE), user.error);
  }
  return line + "\r\n";
}

}  // namespace collect
