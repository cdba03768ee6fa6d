// The simulated service control manager: services by name with their states and start types,
// and injected faults.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace platform::sim {

// Service calls that can be told to fail.
enum class ServiceCall {
  kOpenManager,
  kOpenService,
  kQueryStatus,
  kQueryConfig,
  kChangeConfig,
  kStart
};

class Services {
 public:
  // Building: a service of the running services database in `state` (SERVICE_STOPPED 1 to
  // SERVICE_PAUSED 7). Names ignore ASCII case.
  Services& Add(std::string_view name, std::uint32_t state,
                std::uint32_t startType = 3 /* SERVICE_DEMAND_START */);
  // A start of `name` leaves it starting (SERVICE_START_PENDING) for good, as a service whose
  // program hangs does.
  Services& HangOnStart(std::string_view name);
  // Every later `call` fails with `code`.
  Services& Fail(ServiceCall call, long code);

  std::uint32_t StateOf(std::string_view name) const;
  std::uint32_t StartTypeOf(std::string_view name) const;

  // Handles opened and not yet closed.
  int OpenHandleCount() const;

  // The backend's side. Handles are the manager's own objects.
  long OpenManager(void** handle);
  long OpenService(void* manager, const char* name, void** handle);
  long QueryState(void* service, std::uint32_t* state);
  long QueryStartType(void* service, std::uint32_t* startType);
  long ChangeStartType(void* service, std::uint32_t startType);
  long Start(void* service);
  void Close(void* handle);

 private:
  struct Handle;

  mutable std::mutex mutex_;
  struct Service {
    std::uint32_t state = 0;
    std::uint32_t startType = 0;
    bool hangsOnStart = false;
  };
  long FaultOf(ServiceCall call) const;  // 0 when the call does not fail
  Service* Find(void* service);

  std::map<std::string, Service> services_;  // by folded name
  std::map<ServiceCall, long> faults_;
  int openHandles_ = 0;
};

}  // namespace platform::sim
