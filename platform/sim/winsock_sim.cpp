// Windows sockets on the simulated workstation.
#include <cstring>

#include "platform/sim/workstation.h"
#include "platform/winsock.h"

namespace platform {
namespace sim {

Winsock& Winsock::SetHostName(std::string name) {
  std::lock_guard lock(mutex_);
  hostName_ = std::move(name);
  return *this;
}

Winsock& Winsock::FailStartup(int code) {
  std::lock_guard lock(mutex_);
  startupError_ = code;
  return *this;
}

Winsock& Winsock::FailHostName() {
  std::lock_guard lock(mutex_);
  hostNameFails_ = true;
  return *this;
}

bool Winsock::Started() const {
  std::lock_guard lock(mutex_);
  return started_;
}

int Winsock::Startup() {
  std::lock_guard lock(mutex_);
  if (startupError_ != 0) return startupError_;
  started_ = true;
  return 0;
}

int Winsock::HostName(char* buffer, int size) const {
  std::lock_guard lock(mutex_);
  // Not started (WSANOTINITIALISED), failing, or too long for the buffer (WSAEFAULT).
  if (!started_ || hostNameFails_ || size < 0 ||
      hostName_.size() + 1 > static_cast<std::size_t>(size)) {
    return -1;
  }
  std::memcpy(buffer, hostName_.c_str(), hostName_.size() + 1);
  return 0;
}

}  // namespace sim

int StartSockets() { return sim::Workstation::Current().winsock().Startup(); }

int GetHostName(char* buffer, int size) {
  return sim::Workstation::Current().winsock().HostName(buffer, size);
}

}  // namespace platform
