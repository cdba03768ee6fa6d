// The simulated sockets library: whether it was started, and the host name it gives.
#pragma once

#include <mutex>
#include <string>

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

  // The backend's side.
  int Startup();
  int HostName(char* buffer, int size) const;

 private:
  mutable std::mutex mutex_;
  std::string hostName_ = "VANTIK-PC";
  int startupError_ = 0;
  bool hostNameFails_ = false;
  bool started_ = false;
};

}  // namespace platform::sim
