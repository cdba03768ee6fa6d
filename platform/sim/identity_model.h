// The simulated identity: the logged-on user's name and the groups of the process's token.
#pragma once

#include <cstdint>
#include <mutex>
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

  // The bytes that GetTokenInformation(TokenGroups) needs for these groups in the 32-bit
  // program: the count, one SID_AND_ATTRIBUTES (8 bytes) per group, then each SID (8 bytes
  // and 4 per sub-authority).
  static std::uint32_t GroupListSize(const std::vector<TokenGroup>& groups);

  // The backend's side.
  long UserName(char* buffer, std::uint32_t* size) const;
  long OpenToken(void** handle);
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
};

}  // namespace platform::sim
