#include "platform/sim/call_log_model.h"

#include <algorithm>
#include <utility>

#include "platform/sim/workstation.h"

namespace platform::sim {

std::vector<PlatformCall> CallLog::Calls() const {
  std::lock_guard lock(mutex_);
  return calls_;
}

std::vector<PlatformCall> CallLog::CallsFrom(std::size_t first) const {
  std::lock_guard lock(mutex_);
  return {calls_.begin() + static_cast<std::ptrdiff_t>(std::min(first, calls_.size())),
          calls_.end()};
}

std::size_t CallLog::Count() const {
  std::lock_guard lock(mutex_);
  return calls_.size();
}

void CallLog::FailCall(std::size_t number, std::optional<long> code) {
  std::lock_guard lock(mutex_);
  failNumber_ = number;
  failCode_ = code;
  failed_ = false;
}

bool CallLog::FailedCallMade() const {
  std::lock_guard lock(mutex_);
  return failed_;
}

long CallLog::Enter(const char* name, std::string detail, long failure) {
  std::lock_guard lock(mutex_);
  calls_.push_back(PlatformCall{name, std::move(detail), failure});
  if (calls_.size() != failNumber_ || failure == 0) return 0;
  failed_ = true;
  return failCode_.value_or(failure);
}

long EnterCall(const char* name, std::string detail, long failure) {
  // A conversion run with no workstation about has nothing to record and nothing to fail.
  Workstation* workstation = Workstation::Find();
  return workstation != nullptr ? workstation->calls().Enter(name, std::move(detail), failure) : 0;
}

}  // namespace platform::sim
