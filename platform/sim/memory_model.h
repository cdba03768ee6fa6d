// The simulated memory status.
#pragma once

#include <mutex>

#include "platform/system_info.h"

namespace platform::sim {

class Memory {
 public:
  // What GlobalMemoryStatusEx reports. By default 2 GiB of physical memory at 35% load, and the
  // 2 GiB address space of a 32-bit process.
  Memory& SetStatus(const MemoryStatus& status);

  // The backend's side.
  MemoryStatus Status() const;

 private:
  mutable std::mutex mutex_;
  MemoryStatus status_{35,          2147483648u, 1395864371u, 4294967295u,
                       3221225472u, 2147352576u, 2053111808u};
};

}  // namespace platform::sim
