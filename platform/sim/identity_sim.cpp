// The user name and the process token on the simulated workstation.
#include <algorithm>
#include <cstring>

#include "platform/identity.h"
#include "platform/sim/workstation.h"
#include "platform/win32_codes.h"

namespace platform {
namespace sim {
namespace {

// What the token's handle points at: whose token it is.
struct Token {
  std::string sid;
};

std::uint32_t SubAuthorityCount(const std::string& sid) {
  // "S-1-5-32-544": revision and authority, then one number per sub-authority.
  const auto dashes = static_cast<std::uint32_t>(std::count(sid.begin(), sid.end(), '-'));
  return dashes >= 2 ? dashes - 2 : 0;
}

}  // namespace

Identity::Identity()
    : groups_{{"S-1-1-0", 7},  {"S-1-5-32-544", 15}, {"S-1-5-32-545", 7}, {"S-1-5-4", 7},
              {"S-1-5-11", 7}, {"S-1-5-15", 7},      {"S-1-2-0", 7}},
      accounts_{{kProcessSid, {"VANTIK-PC\\tester", std::nullopt}}} {}

Identity& Identity::SetUserName(std::string name) {
  std::lock_guard lock(mutex_);
  userName_ = std::move(name);
  return *this;
}

Identity& Identity::FailUserName(long code) {
  std::lock_guard lock(mutex_);
  userNameError_ = code;
  return *this;
}

Identity& Identity::SetTokenGroups(std::vector<TokenGroup> groups) {
  std::lock_guard lock(mutex_);
  groups_ = std::move(groups);
  return *this;
}

Identity& Identity::FailTokenOpen(long code) {
  std::lock_guard lock(mutex_);
  openError_ = code;
  return *this;
}

Identity& Identity::FailGroupQuery(long code, int times) {
  std::lock_guard lock(mutex_);
  queryError_ = code;
  queryErrorTimes_ = times;
  return *this;
}

Identity& Identity::AddGroupAfterNextQuery(TokenGroup group) {
  std::lock_guard lock(mutex_);
  joining_.push_back(std::move(group));
  return *this;
}

int Identity::OpenTokenCount() const {
  std::lock_guard lock(mutex_);
  return openTokens_;
}

std::uint32_t Identity::GroupListSize(const std::vector<TokenGroup>& groups) {
  std::uint32_t size = 4;
  for (const TokenGroup& group : groups) size += 8 + 8 + 4 * SubAuthorityCount(group.sid);
  return size;
}

long Identity::UserName(char* buffer, std::uint32_t* size) const {
  std::lock_guard lock(mutex_);
  if (userNameError_ != 0) return userNameError_;
  const auto needed = static_cast<std::uint32_t>(userName_.size() + 1);
  if (*size < needed) {
    *size = needed;
    return ERROR_INSUFFICIENT_BUFFER;
  }
  std::memcpy(buffer, userName_.c_str(), needed);
  *size = needed;
  return ERROR_SUCCESS;
}

long Identity::OpenToken(void** handle) {
  std::lock_guard lock(mutex_);
  if (openError_ != 0) return openError_;
  *handle = new Token{processSid_};
  ++openTokens_;
  return ERROR_SUCCESS;
}

Identity& Identity::SetProcessUser(std::string sid, std::string account) {
  std::lock_guard lock(mutex_);
  accounts_.erase(processSid_);
  if (shellOwner_ == processSid_) shellOwner_ = sid;
  accounts_[sid] = Account{std::move(account), std::nullopt};
  processSid_ = std::move(sid);
  return *this;
}

Identity& Identity::AddUser(std::string sid, std::string account,
                            std::optional<std::string> appData) {
  std::lock_guard lock(mutex_);
  accounts_[std::move(sid)] = Account{std::move(account), std::move(appData)};
  return *this;
}

Identity& Identity::SetShellOwner(std::optional<std::string> ownerSid) {
  std::lock_guard lock(mutex_);
  shellOwner_ = std::move(ownerSid);
  return *this;
}

Identity& Identity::RefuseShellToken(long code) {
  std::lock_guard lock(mutex_);
  shellTokenError_ = code;
  return *this;
}

long Identity::OpenProcessToken(std::uint32_t processId, void** handle) {
  std::lock_guard lock(mutex_);
  // Only the shell's process is known here by its owner.
  if (!shellOwner_ || processId != kShellProcessId) return ERROR_INVALID_PARAMETER;
  if (shellTokenError_ != 0) return shellTokenError_;
  *handle = new Token{*shellOwner_};
  ++openTokens_;
  return ERROR_SUCCESS;
}

long Identity::ShellProcess(std::uint32_t* id) const {
  std::lock_guard lock(mutex_);
  if (!shellOwner_) return ERROR_INVALID_WINDOW_HANDLE;
  *id = kShellProcessId;
  return ERROR_SUCCESS;
}

long Identity::TokenUser(void* handle, std::string* sid) const {
  std::lock_guard lock(mutex_);
  *sid = static_cast<const Token*>(handle)->sid;
  return ERROR_SUCCESS;
}

long Identity::AccountOf(const std::string& sid, std::string* account) const {
  std::lock_guard lock(mutex_);
  const auto found = accounts_.find(sid);
  if (found == accounts_.end() || found->second.name.empty()) return ERROR_NONE_MAPPED;
  *account = found->second.name;
  return ERROR_SUCCESS;
}

std::optional<std::string> Identity::AppDataOf(void* token) const {
  std::lock_guard lock(mutex_);
  const auto found = accounts_.find(static_cast<const Token*>(token)->sid);
  if (found == accounts_.end()) return std::nullopt;
  return found->second.appData;
}

long Identity::QueryGroups(std::uint32_t bufferSize, std::vector<TokenGroup>* groups,
                           std::uint32_t* needed) {
  std::lock_guard lock(mutex_);
  const long result = [&] {
    if (queryError_ != 0 && queryErrorTimes_ != 0) {
      if (queryErrorTimes_ > 0) --queryErrorTimes_;
      if (queryError_ == ERROR_INSUFFICIENT_BUFFER) *needed = bufferSize + 4;
      return queryError_;
    }
    const std::uint32_t size = GroupListSize(groups_);
    if (bufferSize < size) {
      *needed = size;
      return ERROR_INSUFFICIENT_BUFFER;
    }
    *groups = groups_;
    return ERROR_SUCCESS;
  }();
  groups_.insert(groups_.end(), joining_.begin(), joining_.end());
  joining_.clear();
  return result;
}

void Identity::CloseToken(void* handle) {
  std::lock_guard lock(mutex_);
  delete static_cast<Token*>(handle);
  --openTokens_;
}

}  // namespace sim

long GetLoginUserName(char* buffer, std::uint32_t* size) {
  if (const long fault = sim::EnterCall("GetUserNameA", "", ERROR_ACCESS_DENIED)) return fault;
  return sim::Workstation::Current().identity().UserName(buffer, size);
}

long ProcessToken::Open(std::uint32_t) {
  Close();
  if (const long fault = sim::EnterCall("OpenProcessToken", "", ERROR_ACCESS_DENIED)) return fault;
  return sim::Workstation::Current().identity().OpenToken(&handle_);
}

long ProcessToken::QueryGroups(std::uint32_t bufferSize, std::vector<TokenGroup>* groups,
                               std::uint32_t* needed) const {
  // The list read into its buffer fails most likely because a group joined since its size was
  // taken.
  const long fault =
      sim::EnterCall("GetTokenInformation", std::to_string(bufferSize),
                     bufferSize > 0 ? ERROR_INSUFFICIENT_BUFFER : ERROR_ACCESS_DENIED);
  if (fault == ERROR_INSUFFICIENT_BUFFER) *needed = bufferSize + 16;
  if (fault != 0) return fault;
  if (handle_ == nullptr) return ERROR_INVALID_HANDLE;
  return sim::Workstation::Current().identity().QueryGroups(bufferSize, groups, needed);
}

long ProcessToken::OpenOfProcess(std::uint32_t processId, std::uint32_t) {
  Close();
  if (const long fault =
          sim::EnterCall("OpenProcess", std::to_string(processId), ERROR_ACCESS_DENIED)) {
    return fault;
  }
  if (const long fault =
          sim::EnterCall("OpenProcessToken", std::to_string(processId), ERROR_ACCESS_DENIED)) {
    return fault;
  }
  return sim::Workstation::Current().identity().OpenProcessToken(processId, &handle_);
}

long ProcessToken::QueryUser(std::string* sid) const {
  if (const long fault = sim::EnterCall("GetTokenInformation", "TokenUser", ERROR_ACCESS_DENIED)) {
    return fault;
  }
  if (handle_ == nullptr) return ERROR_INVALID_HANDLE;
  return sim::Workstation::Current().identity().TokenUser(handle_, sid);
}

long LookupAccountOfSid(const std::string& sid, std::string* account) {
  if (const long fault = sim::EnterCall("LookupAccountSidA", sid, ERROR_NONE_MAPPED)) return fault;
  return sim::Workstation::Current().identity().AccountOf(sid, account);
}

void ProcessToken::Close() {
  if (handle_ != nullptr) {
    sim::EnterCall("CloseHandle", "token", 0);
    sim::Workstation::Current().identity().CloseToken(handle_);
    handle_ = nullptr;
  }
}

}  // namespace platform
