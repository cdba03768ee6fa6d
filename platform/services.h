// The service control manager (advapi32): opening the manager and a service, and asking a
// service's state.
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

  bool IsOpen() const { return handle_ != nullptr; }
  void Close();
};

}  // namespace platform
