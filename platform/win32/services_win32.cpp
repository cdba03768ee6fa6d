// The service control manager of the real system (advapi32).
#include "platform/win32/windows_api.h"

#include "platform/services.h"

#include <vector>

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

long ServiceHandle::QueryStartType(std::uint32_t* startType) const {
  DWORD needed = 0;
  if (QueryServiceConfigA(Handle(handle_), nullptr, 0, &needed)) return ERROR_INVALID_DATA;
  const DWORD sized = GetLastError();
  if (sized != ERROR_INSUFFICIENT_BUFFER) return static_cast<long>(sized);
  // Whole QUERY_SERVICE_CONFIGA units keep the structure aligned.
  std::vector<QUERY_SERVICE_CONFIGA> config(needed / sizeof(QUERY_SERVICE_CONFIGA) + 1);
  const DWORD size = static_cast<DWORD>(config.size() * sizeof(QUERY_SERVICE_CONFIGA));
  if (!QueryServiceConfigA(Handle(handle_), config.data(), size, &needed)) {
    return static_cast<long>(GetLastError());
  }
  *startType = config[0].dwStartType;
  return ERROR_SUCCESS;
}

long ServiceHandle::ChangeStartType(std::uint32_t startType) {
  if (!ChangeServiceConfigA(Handle(handle_), SERVICE_NO_CHANGE, startType, SERVICE_NO_CHANGE,
                            nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr)) {
    return static_cast<long>(GetLastError());
  }
  return ERROR_SUCCESS;
}

long ServiceHandle::StartAndWait(std::uint32_t waitMilliseconds) {
  if (!StartServiceA(Handle(handle_), 0, nullptr)) {
    const DWORD error = GetLastError();
    if (error != ERROR_SERVICE_ALREADY_RUNNING) return static_cast<long>(error);
  }
  constexpr DWORD kPollMilliseconds = 250;
  const DWORD started = GetTickCount();
  for (;;) {
    std::uint32_t state = 0;
    if (const long queried = QueryState(&state); queried != ERROR_SUCCESS) return queried;
    if (state == SERVICE_RUNNING) return ERROR_SUCCESS;
    // Unsigned difference: right across the tick count's wrap after 49 days.
    const DWORD elapsed = GetTickCount() - started;
    if (state != SERVICE_START_PENDING || elapsed >= waitMilliseconds) {
      return ERROR_SERVICE_REQUEST_TIMEOUT;
    }
    const DWORD left = waitMilliseconds - elapsed;
    Sleep(left < kPollMilliseconds ? left : kPollMilliseconds);
  }
}

void ServiceHandle::Close() {
  if (handle_ == nullptr) return;
  CloseServiceHandle(Handle(handle_));
  handle_ = nullptr;
}

}  // namespace platform
