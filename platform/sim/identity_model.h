// The simulated identity: the logged-on user's name, the groups of the process's token, the
// accounts of the workstation and the shell's owner.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/identity.h"

namespace platform::sim {

class Identity {
 public:
  Identity();

  // The name that GetUserNameA gives; "tester" by default.
  Identity& SetUserName(std::string name);
  // GetUserNameA fails with `code` (0: it succeeds again).
  Identity& FailUserName(long code);

  // The token's groups, in order. By default those of an elevated administrator: Everyone,
  // Administrators, Users, INTERACTIVE, Authenticated Users, This Organization, LOCAL.
  Identity& SetTokenGroups(std::vector<TokenGroup> groups);
  // OpenProcessToken fails with `code` (0: it succeeds again).
  Identity& FailTokenOpen(long code);
  // The next `times` group queries (every one when times < 0) fail with `code`. With
  // ERROR_INSUFFICIENT_BUFFER each asks for a few bytes more than it was given, as a list that
  // keeps growing would.
  Identity& FailGroupQuery(long code, int times = -1);
  // The group joins the token right after the next group query, as when the list changes
  // between asking for its size and reading it.
  Identity& AddGroupAfterNextQuery(TokenGroup group);
  // Tokens opened and not yet closed.
  int OpenTokenCount() const;

  // The account the process runs as. By default kProcessSid, "VANTIK-PC\\tester".
  Identity& SetProcessUser(std::string sid, std::string account);
  // Another account of the workstation, with its application-data folder (nullopt: the folder
  // cannot be had for it). Its hive is the registry's HKU\<sid>, there once a test adds it. An
  // empty `account` is one LookupAccountSidA cannot name (a domain that cannot be reached).
  Identity& AddUser(std::string sid, std::string account, std::optional<std::string> appData);
  // The shell's process in the session, owned by the account `ownerSid`; nullopt: the session
  // has no shell. By default the process's own account owns it.
  Identity& SetShellOwner(std::optional<std::string> ownerSid);
  // Opening the shell's process or token fails with `code` (0: it opens again).
  Identity& RefuseShellToken(long code);

  static constexpr char kProcessSid[] = "S-1-5-21-1004336348-1177238915-682003330-1000";
  // The shell's process; it is not among the listed processes, so that it leaves the process
  // section as it was.
  static constexpr std::uint32_t kShellProcessId = 1956;

  // The bytes that GetTokenInformation(TokenGroups) needs for these groups in the 32-bit
  // program: the count, one SID_AND_ATTRIBUTES (8 bytes) per group, then each SID (8 bytes
  // and 4 per sub-authority).
  static std::uint32_t GroupListSize(const std::vector<TokenGroup>& groups);

  // The backend's side.
  long UserName(char* buffer, std::uint32_t* size) const;
  long OpenToken(void** handle);
  long OpenProcessToken(std::uint32_t processId, void** handle);
  long ShellProcess(std::uint32_t* id) const;
  long TokenUser(void* handle, std::string* sid) const;
  long AccountOf(const std::string& sid, std::string* account) const;
  // The application-data folder of the token's user.
  std::optional<std::string> AppDataOf(void* token) const;
  long QueryGroups(std::uint32_t bufferSize, std::vector<TokenGroup>* groups,
                   std::uint32_t* needed);
  void CloseToken(void* handle);

 private:
  mutable std::mutex mutex_;
  std::string userName_ = "tester";
  long userNameError_ = 0;
  std::vector<TokenGroup> groups_;
  std::vector<TokenGroup> joining_;
  long openError_ = 0;
  long queryError_ = 0;
  int queryErrorTimes_ = 0;
  int openTokens_ = 0;
  std::string processSid_ = kProcessSid;
  struct Account {
    std::string name;
    std::optional<std::string> appData;
  };
  std::map<std::string, Account> accounts_;  // by SID; the process's own is here as well
  std::optional<std::string> shellOwner_ = kProcessSid;
  long shellTokenError_ = 0;
};

}  // namespace platform::sim
