// The memory status of the simulated workstation.
#include "platform/sim/workstation.h"
#include "platform/system_info.h"

namespace platform {
namespace sim {

Memory& Memory::SetStatus(const MemoryStatus& status) {
  std::lock_guard lock(mutex_);
  status_ = status;
  return *this;
}

MemoryStatus Memory::Status() const {
  std::lock_guard lock(mutex_);
  return status_;
}

}  // namespace sim

MemoryStatus GetMemoryStatus() {
  sim::EnterCall("GlobalMemoryStatusEx", "", 0);
  return sim::Workstation::Current().memory().Status();
}

}  // namespace platform
