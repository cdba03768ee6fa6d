// The simulated service control manager: services by name with their states, and injected
// faults.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace platform::sim {

// Service calls that can be told to fail.
enum class ServiceCall { kOpenManager, kOpenService, kQueryStatus };

class Services {
 public:
  // Building: a service of the running services database in `state` (SERVICE_STOPPED 1 to
  // SERVICE_PAUSED 7). Names ignore ASCII case.
  Services& Add(std::string_view name, std::uint32_t state);
  // Every later `call` fails with `code`.
  Services& Fail(ServiceCall call, long code);

  // Handles opened and not yet closed.
  int OpenHandleCount() const;

  // The backend's side. Handles are the manager's own objects.
  long OpenManager(void** handle);
  long OpenService(void* manager, const char* name, void** handle);
  long QueryState(void* service, std::uint32_t* state);
  void Close(void* handle);

 private:
  struct Handle;

  mutable std::mutex mutex_;
  std::map<std::string, std::uint32_t> states_;  // by folded name
  std::map<ServiceCall, long> faults_;
  int openHandles_ = 0;
};

}  // namespace platform::sim
