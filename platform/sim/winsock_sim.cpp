// Windows sockets on the simulated workstation.
#include <cstring>

#include "platform/sim/workstation.h"
#include "platform/win32_codes.h"
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

Winsock& Winsock::AddNameSpaceProvider(const NameSpaceProvider& provider) {
  std::lock_guard lock(mutex_);
  providers_.push_back(provider);
  return *this;
}

Winsock& Winsock::StubNameSpaceEnumeration() {
  std::lock_guard lock(mutex_);
  stubEnumeration_ = true;
  return *this;
}

Winsock& Winsock::FailNameSpaceEnumeration(QueryStep step, int code) {
  std::lock_guard lock(mutex_);
  enumerationFault_.emplace(step, code);
  return *this;
}

int Winsock::NameSpaceProviders(std::vector<NameSpaceProvider>* providers, QueryStep* step) const {
  std::lock_guard lock(mutex_);
  if (!started_) {
    *step = QueryStep::kSize;
    return WSANOTINITIALISED;
  }
  if (enumerationFault_) {
    *step = enumerationFault_->first;
    return enumerationFault_->second;
  }
  if (stubEnumeration_) {
    providers->clear();
  } else {
    *providers = providers_;
  }
  return 0;
}

}  // namespace sim

int StartSockets() {
  if (const long fault = sim::EnterCall("WSAStartup", "2.0", WSASYSNOTREADY)) {
    return static_cast<int>(fault);
  }
  return sim::Workstation::Current().winsock().Startup();
}

int GetHostName(char* buffer, int size) {
  if (sim::EnterCall("gethostname", "", WSAEFAULT) != 0) return -1;
  return sim::Workstation::Current().winsock().HostName(buffer, size);
}

int EnumNameSpaceProviders(std::vector<NameSpaceProvider>* providers, QueryStep* step) {
  // A provider installed between the size query and the read.
  if (const long fault = sim::EnterCall("WSAEnumNameSpaceProvidersA", "", WSAEFAULT)) {
    *step = QueryStep::kRead;
    return static_cast<int>(fault);
  }
  return sim::Workstation::Current().winsock().NameSpaceProviders(providers, step);
}

}  // namespace platform
