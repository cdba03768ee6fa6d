// The simulated sockets library: whether it was started, the host name it gives, and its
// name-space providers.
#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/winsock.h"

namespace platform::sim {

class Winsock {
 public:
  // The host name that gethostname gives; "VANTIK-PC" by default.
  Winsock& SetHostName(std::string name);
  // WSAStartup fails with `code` (0: it succeeds again).
  Winsock& FailStartup(int code);
  // gethostname fails even when the library was started.
  Winsock& FailHostName();
  // WSAStartup has succeeded at least once.
  bool Started() const;
  // A name-space provider, listed after those added before.
  Winsock& AddNameSpaceProvider(const NameSpaceProvider& provider);
  // The enumeration answers as Wine's stub does: its size query succeeds with nothing listed.
  Winsock& StubNameSpaceEnumeration();
  // The enumeration fails at `step` with `code` from now on.
  Winsock& FailNameSpaceEnumeration(QueryStep step, int code);

  // The backend's side.
  int Startup();
  int HostName(char* buffer, int size) const;
  int NameSpaceProviders(std::vector<NameSpaceProvider>* providers, QueryStep* step) const;

 private:
  mutable std::mutex mutex_;
  std::string hostName_ = "VANTIK-PC";
  int startupError_ = 0;
  bool hostNameFails_ = false;
  bool started_ = false;
  std::vector<NameSpaceProvider> providers_;
  bool stubEnumeration_ = false;
  std::optional<std::pair<QueryStep, int>> enumerationFault_;
};

}  // namespace platform::sim
