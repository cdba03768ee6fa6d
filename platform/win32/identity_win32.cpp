// The user name and the process token from the real system.
#include "platform/win32/windows_api.h"

#include <sddl.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "platform/identity.h"
#include "platform/processes.h"

namespace platform {
namespace {

// The SID's usual string form, as ConvertSidToStringSidA writes it: the authority in decimal
// unless it needs more than 32 bits, then in hexadecimal.
std::string SidText(PSID sid) {
  const SID_IDENTIFIER_AUTHORITY* authority = GetSidIdentifierAuthority(sid);
  char text[32];
  std::string result = "S-";
  std::snprintf(text, sizeof text, "%u", static_cast<unsigned>(static_cast<SID*>(sid)->Revision));
  result += text;
  const BYTE* value = authority->Value;
  if (value[0] == 0 && value[1] == 0) {
    const unsigned long low = (static_cast<unsigned long>(value[2]) << 24) |
                              (static_cast<unsigned long>(value[3]) << 16) |
                              (static_cast<unsigned long>(value[4]) << 8) | value[5];
    std::snprintf(text, sizeof text, "-%lu", low);
  } else {
    std::snprintf(text, sizeof text, "-0x%02X%02X%02X%02X%02X%02X", value[0], value[1], value[2],
                  value[3], value[4], value[5]);
  }
  result += text;
  const UCHAR count = *GetSidSubAuthorityCount(sid);
  for (UCHAR i = 0; i < count; ++i) {
    std::snprintf(text, sizeof text, "-%lu",
                  static_cast<unsigned long>(*GetSidSubAuthority(sid, i)));
    result += text;
  }
  return result;
}

// Frees what the SID conversion allocated.
struct LocalFreer {
  void operator()(void* memory) const { LocalFree(memory); }
};
using OwnedSid = std::unique_ptr<void, LocalFreer>;

}  // namespace

long GetLoginUserName(char* buffer, std::uint32_t* size) {
  DWORD length = *size;
  if (!GetUserNameA(buffer, &length)) {
    const long error = static_cast<long>(GetLastError());
    if (error == ERROR_INSUFFICIENT_BUFFER) *size = length;
    return error;
  }
  *size = length;
  return ERROR_SUCCESS;
}

long ProcessToken::Open(std::uint32_t access) {
  Close();
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), access, &token)) {
    return static_cast<long>(GetLastError());
  }
  handle_ = token;
  return ERROR_SUCCESS;
}

long ProcessToken::OpenOfProcess(std::uint32_t processId, std::uint32_t access) {
  Close();
  Process process;
  if (const long opened = process.Open(PROCESS_QUERY_INFORMATION, processId);
      opened != ERROR_SUCCESS) {
    return opened;
  }
  HANDLE token = nullptr;
  if (!OpenProcessToken(process.handle_, access, &token)) return static_cast<long>(GetLastError());
  handle_ = token;
  return ERROR_SUCCESS;
}

long ProcessToken::QueryUser(std::string* sid) const {
  if (handle_ == nullptr) return ERROR_INVALID_HANDLE;
  // TOKEN_USER and the largest SID there is (68 bytes), in DWORDs for alignment.
  DWORD buffer[(sizeof(TOKEN_USER) + 68 + sizeof(DWORD) - 1) / sizeof(DWORD)] = {};
  DWORD length = 0;
  if (!GetTokenInformation(handle_, TokenUser, buffer, sizeof buffer, &length)) {
    return static_cast<long>(GetLastError());
  }
  *sid = SidText(reinterpret_cast<const TOKEN_USER*>(buffer)->User.Sid);
  return ERROR_SUCCESS;
}

long LookupAccountOfSid(const std::string& sid, std::string* account) {
  PSID converted = nullptr;
  if (!ConvertStringSidToSidA(sid.c_str(), &converted)) return static_cast<long>(GetLastError());
  const OwnedSid owned(converted);
  char name[256] = {};
  char domain[256] = {};
  DWORD nameSize = sizeof name;
  DWORD domainSize = sizeof domain;
  SID_NAME_USE use = SidTypeUnknown;
  if (!LookupAccountSidA(nullptr, converted, name, &nameSize, domain, &domainSize, &use)) {
    return static_cast<long>(GetLastError());
  }
  *account = domain[0] != '\0' ? std::string(domain) + "\\" + name : std::string(name);
  return ERROR_SUCCESS;
}

long ProcessToken::QueryGroups(std::uint32_t bufferSize, std::vector<TokenGroup>* groups,
                               std::uint32_t* needed) const {
  if (handle_ == nullptr) return ERROR_INVALID_HANDLE;
  // In DWORDs, so the structure is aligned as Windows expects.
  std::vector<DWORD> buffer((bufferSize + sizeof(DWORD) - 1) / sizeof(DWORD));
  DWORD length = 0;
  if (!GetTokenInformation(handle_, TokenGroups, buffer.empty() ? nullptr : buffer.data(),
                           bufferSize, &length)) {
    const long error = static_cast<long>(GetLastError());
    if (error == ERROR_INSUFFICIENT_BUFFER) *needed = length;
    return error;
  }
  const auto* list = reinterpret_cast<const TOKEN_GROUPS*>(buffer.data());
  std::vector<TokenGroup> read;
  read.reserve(list->GroupCount);
  for (DWORD i = 0; i < list->GroupCount; ++i) {
    read.push_back(TokenGroup{SidText(list->Groups[i].Sid), list->Groups[i].Attributes});
  }
  *groups = std::move(read);
  return ERROR_SUCCESS;
}

void ProcessToken::Close() {
  if (handle_ != nullptr) {
    CloseHandle(handle_);
    handle_ = nullptr;
  }
}

}  // namespace platform
