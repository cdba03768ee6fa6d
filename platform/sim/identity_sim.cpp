// The user name and the process token on the simulated workstation.
#include <algorithm>
#include <cstring>

#include "platform/identity.h"
#include "platform/sim/workstation.h"
#include "platform/win32_codes.h"

namespace platform {
namespace sim {
namespace {

// Something to hand out as the token's handle; only its address is used.
struct Token {};

std::uint32_t SubAuthorityCount(const std::string& sid) {
  // "S-1-5-32-544": revision and authority, then one number per sub-authority.
  const auto dashes = static_cast<std::uint32_t>(std::count(sid.begin(), sid.end(), '-'));
  return dashes >= 2 ? dashes - 2 : 0;
}

}  // namespace

Identity::Identity()
    : groups_{{"S-1-1-0", 7},  {"S-1-5-32-544", 15}, {"S-1-5-32-545", 7}, {"S-1-5-4", 7},
              {"S-1-5-11", 7}, {"S-1-5-15", 7},      {"S-1-2-0", 7}} {}

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
  *handle = new Token;
  ++openTokens_;
  return ERROR_SUCCESS;
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

void ProcessToken::Close() {
  if (handle_ != nullptr) {
    sim::EnterCall("CloseHandle", "token", 0);
    sim::Workstation::Current().identity().CloseToken(handle_);
    handle_ = nullptr;
  }
}

}  // namespace platform
