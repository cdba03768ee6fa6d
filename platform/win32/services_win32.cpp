// The service control manager of the real system (advapi32).
#include "platform/win32/windows_api.h"

#include "platform/services.h"

namespace platform {
namespace {

SC_HANDLE Handle(void* handle) { return static_cast<SC_HANDLE>(handle); }

long Opened(SC_HANDLE handle, void** held) {
  if (handle == nullptr) return static_cast<long>(GetLastError());
  *held = handle;
  return ERROR_SUCCESS;
}

}  // namespace

long ServiceHandle::OpenManager(std::uint32_t access) {
  Close();
  return Opened(OpenSCManagerA(nullptr, SERVICES_ACTIVE_DATABASEA, access), &handle_);
}

long ServiceHandle::Open(const ServiceHandle& manager, const char* name, std::uint32_t access) {
  Close();
  return Opened(OpenServiceA(Handle(manager.handle_), name, access), &handle_);
}

long ServiceHandle::QueryState(std::uint32_t* state) const {
  SERVICE_STATUS status = {};
  if (!QueryServiceStatus(Handle(handle_), &status)) return static_cast<long>(GetLastError());
  *state = status.dwCurrentState;
  return ERROR_SUCCESS;
}

void ServiceHandle::Close() {
  if (handle_ == nullptr) return;
  CloseServiceHandle(Handle(handle_));
  handle_ = nullptr;
}

}  // namespace platform
