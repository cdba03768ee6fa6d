// Who the program runs as: the logged-on user's name, the groups and the user of a token, and
// the account of a SID.
//
// Calls return the Win32 error code (GetLastError) on failure and ERROR_SUCCESS otherwise.
// Out-parameters are left untouched on failure unless a call says otherwise.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/owned_handle.h"

namespace platform {

// GetUserNameA(buffer, size): on entry *size is the buffer's size in bytes; on success the
// name with its zero is in the buffer and *size counts the zero. A name that does not fit
// gives ERROR_INSUFFICIENT_BUFFER with the size needed in *size.
[[nodiscard]] long GetLoginUserName(char* buffer, std::uint32_t* size);

// One group of a token: its SID in the string form ("S-1-5-32-544") and its attributes
// (SE_GROUP_ENABLED, SE_GROUP_USE_FOR_DENY_ONLY, ...).
struct TokenGroup {
  std::string sid;
  std::uint32_t attributes = 0;

  bool operator==(const TokenGroup&) const = default;
};

// The access token of the current process. Move-only; the destructor closes it.
class ProcessToken : public OwnedHandle<ProcessToken> {
 public:
  ProcessToken() = default;
  ~ProcessToken() { Close(); }
  ProcessToken(ProcessToken&&) noexcept = default;
  ProcessToken& operator=(ProcessToken&&) noexcept = default;

  // OpenProcessToken(GetCurrentProcess(), access). Closes any token held before; on failure
  // the object holds none.
  [[nodiscard]] long Open(std::uint32_t access);

  // The token of another process: OpenProcess(PROCESS_QUERY_INFORMATION, id), then
  // OpenProcessToken(that process, access); the process handle is closed again. Closes any
  // token held before; on failure the object holds none: ERROR_ACCESS_DENIED for a process or
  // token that refuses, ERROR_INVALID_PARAMETER for a process that no longer exists.
  [[nodiscard]] long OpenOfProcess(std::uint32_t processId, std::uint32_t access);

  // GetTokenInformation(TokenUser): the SID of the token's user, in the string form
  // ("S-1-5-21-...-1004"). The token needs TOKEN_QUERY.
  [[nodiscard]] long QueryUser(std::string* sid) const;

  // GetTokenInformation(TokenGroups) into a buffer of `bufferSize` bytes: the token's groups
  // in their order. A list that needs more bytes (the fixed part, one SID_AND_ATTRIBUTES per
  // group and the SIDs themselves) gives ERROR_INSUFFICIENT_BUFFER with the bytes needed in
  // *needed and leaves *groups untouched; a size of 0 is how the size is asked for. On
  // success *needed is left as it was.
  [[nodiscard]] long QueryGroups(std::uint32_t bufferSize, std::vector<TokenGroup>* groups,
                                 std::uint32_t* needed) const;

  bool IsOpen() const { return handle_ != nullptr; }
  void Close();
  // The backend's handle, for the calls of another service that take a token.
  void* Native() const { return handle_; }
};

// LookupAccountSidA on the local system: the account of `sid` as "DOMAIN\name" (the domain
// or the computer's name, then the user's). ERROR_NONE_MAPPED for a SID the account database
// does not know; *account is then untouched.
[[nodiscard]] long LookupAccountOfSid(const std::string& sid, std::string* account);

}  // namespace platform
