// The service control manager (advapi32): opening the manager and a service, asking a
// service's state and start type, and the two changes a repair makes: its start type, and
// starting it.
//
// Calls return ERROR_SUCCESS or the Win32 code (GetLastError). A handle object that failed to
// open holds nothing; the destructor closes what it holds.
#pragma once

#include <cstdint>

#include "platform/owned_handle.h"

namespace platform {

// A service control manager or service handle. Move-only; the destructor closes it.
class ServiceHandle : public OwnedHandle<ServiceHandle> {
 public:
  ServiceHandle() = default;
  ~ServiceHandle() { Close(); }
  ServiceHandle(ServiceHandle&&) noexcept = default;
  ServiceHandle& operator=(ServiceHandle&&) noexcept = default;

  // OpenSCManagerA(nullptr, "ServicesActive", access): the manager of this computer's running
  // services database. ERROR_ACCESS_DENIED without the rights asked for. Closes any handle held
  // before.
  [[nodiscard]] long OpenManager(std::uint32_t access);

  // OpenServiceA(manager, name, access). ERROR_SERVICE_DOES_NOT_EXIST for a name the database
  // does not hold (names ignore case). Closes any handle held before.
  [[nodiscard]] long Open(const ServiceHandle& manager, const char* name, std::uint32_t access);

  // QueryServiceStatus: the service's dwCurrentState (SERVICE_STOPPED 1 to SERVICE_PAUSED 7).
  // *state is left as it was on failure.
  [[nodiscard]] long QueryState(std::uint32_t* state) const;

  // QueryServiceConfigA: the service's dwStartType (SERVICE_AUTO_START 2, SERVICE_DEMAND_START 3,
  // SERVICE_DISABLED 4, ...). Needs SERVICE_QUERY_CONFIG. *startType is left as it was on
  // failure.
  [[nodiscard]] long QueryStartType(std::uint32_t* startType) const;

  // ChangeServiceConfigA with only the start type changed. Needs SERVICE_CHANGE_CONFIG.
  [[nodiscard]] long ChangeStartType(std::uint32_t startType);

  // StartServiceA, then QueryServiceStatus until the service leaves SERVICE_START_PENDING, for
  // at most `waitMilliseconds`. ERROR_SUCCESS once it runs (or already ran:
  // ERROR_SERVICE_ALREADY_RUNNING counts as started); ERROR_SERVICE_REQUEST_TIMEOUT when it is
  // still starting at the limit or stopped again; ERROR_SERVICE_DISABLED for a disabled service.
  [[nodiscard]] long StartAndWait(std::uint32_t waitMilliseconds);

  bool IsOpen() const { return handle_ != nullptr; }
  void Close();
};

}  // namespace platform
