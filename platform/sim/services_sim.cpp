// The service control manager on the simulated workstation.
#include "platform/services.h"

#include "platform/cp936.h"
#include "platform/sim/workstation.h"
#include "platform/win32_codes.h"

namespace platform {
namespace sim {

struct Services::Handle {
  bool manager;
  std::string service;  // folded name; empty for the manager
};

Services& Services::Add(std::string_view name, std::uint32_t state) {
  std::lock_guard lock(mutex_);
  states_[cp936::ToUpper(name)] = state;
  return *this;
}

Services& Services::Fail(ServiceCall call, long code) {
  std::lock_guard lock(mutex_);
  faults_[call] = code;
  return *this;
}

int Services::OpenHandleCount() const {
  std::lock_guard lock(mutex_);
  return openHandles_;
}

long Services::OpenManager(void** handle) {
  std::lock_guard lock(mutex_);
  if (const auto it = faults_.find(ServiceCall::kOpenManager); it != faults_.end()) {
    return it->second;
  }
  *handle = new Handle{true, {}};
  ++openHandles_;
  return ERROR_SUCCESS;
}

long Services::OpenService(void* manager, const char* name, void** handle) {
  std::lock_guard lock(mutex_);
  if (manager == nullptr || !static_cast<Handle*>(manager)->manager) return ERROR_INVALID_HANDLE;
  if (const auto it = faults_.find(ServiceCall::kOpenService); it != faults_.end()) {
    return it->second;
  }
  if (name == nullptr) return ERROR_INVALID_PARAMETER;
  std::string folded = cp936::ToUpper(name);
  if (states_.find(folded) == states_.end()) return ERROR_SERVICE_DOES_NOT_EXIST;
  *handle = new Handle{false, std::move(folded)};
  ++openHandles_;
  return ERROR_SUCCESS;
}

long Services::QueryState(void* service, std::uint32_t* state) {
  std::lock_guard lock(mutex_);
  auto* h = static_cast<Handle*>(service);
  if (h == nullptr || h->manager) return ERROR_INVALID_HANDLE;
  if (const auto it = faults_.find(ServiceCall::kQueryStatus); it != faults_.end()) {
    return it->second;
  }
  *state = states_.at(h->service);
  return ERROR_SUCCESS;
}

void Services::Close(void* handle) {
  std::lock_guard lock(mutex_);
  delete static_cast<Handle*>(handle);
  --openHandles_;
}

}  // namespace sim

namespace {

sim::Services& Sim() { return sim::Workstation::Current().services(); }

}  // namespace

long ServiceHandle::OpenManager(std::uint32_t /*access*/) {
  Close();
  if (const long fault = sim::EnterCall("OpenSCManagerA", "", ERROR_ACCESS_DENIED)) return fault;
  return Sim().OpenManager(&handle_);
}

long ServiceHandle::Open(const ServiceHandle& manager, const char* name, std::uint32_t) {
  Close();
  if (const long fault =
          sim::EnterCall("OpenServiceA", name != nullptr ? name : "", ERROR_ACCESS_DENIED)) {
    return fault;
  }
  return Sim().OpenService(manager.handle_, name, &handle_);
}

long ServiceHandle::QueryState(std::uint32_t* state) const {
  if (const long fault = sim::EnterCall("QueryServiceStatus", "", ERROR_ACCESS_DENIED)) {
    return fault;
  }
  return Sim().QueryState(handle_, state);
}

void ServiceHandle::Close() {
  if (handle_ == nullptr) return;
  sim::EnterCall("CloseServiceHandle", "", 0);
  Sim().Close(handle_);
  handle_ = nullptr;
}

}  // namespace platform
