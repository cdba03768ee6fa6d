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

Services& Services::Add(std::string_view name, std::uint32_t state, std::uint32_t startType) {
  std::lock_guard lock(mutex_);
  services_[cp936::ToUpper(name)] = Service{state, startType, false};
  return *this;
}

Services& Services::HangOnStart(std::string_view name) {
  std::lock_guard lock(mutex_);
  services_.at(cp936::ToUpper(name)).hangsOnStart = true;
  return *this;
}

std::uint32_t Services::StateOf(std::string_view name) const {
  std::lock_guard lock(mutex_);
  return services_.at(cp936::ToUpper(name)).state;
}

std::uint32_t Services::StartTypeOf(std::string_view name) const {
  std::lock_guard lock(mutex_);
  return services_.at(cp936::ToUpper(name)).startType;
}

long Services::FaultOf(ServiceCall call) const {
  const auto it = faults_.find(call);
  return it != faults_.end() ? it->second : 0;
}

Services::Service* Services::Find(void* service) {
  auto* h = static_cast<Handle*>(service);
  if (h == nullptr || h->manager) return nullptr;
  return &services_.at(h->service);
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
  if (services_.find(folded) == services_.end()) return ERROR_SERVICE_DOES_NOT_EXIST;
  *handle = new Handle{false, std::move(folded)};
  ++openHandles_;
  return ERROR_SUCCESS;
}

long Services::QueryState(void* service, std::uint32_t* state) {
  std::lock_guard lock(mutex_);
  Service* found = Find(service);
  if (found == nullptr) return ERROR_INVALID_HANDLE;
  if (const long fault = FaultOf(ServiceCall::kQueryStatus)) return fault;
  *state = found->state;
  return ERROR_SUCCESS;
}

long Services::QueryStartType(void* service, std::uint32_t* startType) {
  std::lock_guard lock(mutex_);
  Service* found = Find(service);
  if (found == nullptr) return ERROR_INVALID_HANDLE;
  if (const long fault = FaultOf(ServiceCall::kQueryConfig)) return fault;
  *startType = found->startType;
  return ERROR_SUCCESS;
}

long Services::ChangeStartType(void* service, std::uint32_t startType) {
  std::lock_guard lock(mutex_);
  Service* found = Find(service);
  if (found == nullptr) return ERROR_INVALID_HANDLE;
  if (const long fault = FaultOf(ServiceCall::kChangeConfig)) return fault;
  found->startType = startType;
  return ERROR_SUCCESS;
}

long Services::Start(void* service) {
  std::lock_guard lock(mutex_);
  Service* found = Find(service);
  if (found == nullptr) return ERROR_INVALID_HANDLE;
  if (const long fault = FaultOf(ServiceCall::kStart)) return fault;
  if (found->startType == SERVICE_DISABLED) return ERROR_SERVICE_DISABLED;
  if (found->state != SERVICE_STOPPED) return ERROR_SERVICE_ALREADY_RUNNING;
  found->state = found->hangsOnStart ? SERVICE_START_PENDING : SERVICE_RUNNING;
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

long ServiceHandle::QueryStartType(std::uint32_t* startType) const {
  if (const long fault = sim::EnterCall("QueryServiceConfigA", "", ERROR_ACCESS_DENIED)) {
    return fault;
  }
  return Sim().QueryStartType(handle_, startType);
}

long ServiceHandle::ChangeStartType(std::uint32_t startType) {
  if (const long fault = sim::EnterCall("ChangeServiceConfigA", "", ERROR_ACCESS_DENIED)) {
    return fault;
  }
  return Sim().ChangeStartType(handle_, startType);
}

long ServiceHandle::StartAndWait(std::uint32_t waitMilliseconds) {
  if (const long fault = sim::EnterCall("StartServiceA", "", ERROR_ACCESS_DENIED)) return fault;
  const long started = Sim().Start(handle_);
  if (started != ERROR_SUCCESS && started != ERROR_SERVICE_ALREADY_RUNNING) return started;
  // As the real backend polls: simulated time passes only while it waits.
  constexpr std::uint32_t kPollMilliseconds = 250;
  std::uint32_t waited = 0;
  for (;;) {
    std::uint32_t state = 0;
    if (const long queried = QueryState(&state); queried != ERROR_SUCCESS) return queried;
    if (state == SERVICE_RUNNING) return ERROR_SUCCESS;
    if (state != SERVICE_START_PENDING || waited >= waitMilliseconds) {
      return ERROR_SERVICE_REQUEST_TIMEOUT;
    }
    const std::uint32_t step = waitMilliseconds - waited < kPollMilliseconds
                                   ? waitMilliseconds - waited
                                   : kPollMilliseconds;
    sim::Workstation::Current().clock().Advance(step);
    waited += step;
  }
}

void ServiceHandle::Close() {
  if (handle_ == nullptr) return;
  sim::EnterCall("CloseServiceHandle", "", 0);
  Sim().Close(handle_);
  handle_ = nullptr;
}

}  // namespace platform
