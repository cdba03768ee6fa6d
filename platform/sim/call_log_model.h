// Every call that the program makes into the simulated workstation, in the order made, and the
// one call that is told to fail: a fault sweep records a run, then runs it again once for each
// call with that call failing as Windows would make it fail.
#pragma once

#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace platform::sim {

// One platform call as the program made it.
struct PlatformCall {
  const char* name = "";  // the Windows function, "RegQueryValueExA"
  std::string detail;     // what it concerned: a key and value, a path, a command line
  long failure = 0;       // the code of its most likely failure; 0 for a call that cannot fail
};

class CallLog {
 public:
  // The calls so far, numbered from 1 in the order made (the first is at index 0).
  std::vector<PlatformCall> Calls() const;
  // The calls from index `first` on: a sweep reads each step's own without copying the run's.
  std::vector<PlatformCall> CallsFrom(std::size_t first) const;
  std::size_t Count() const;

  // The call numbered `number` fails, with `code` or else with the code of its own most likely
  // failure. A call that cannot fail is not made to.
  void FailCall(std::size_t number, std::optional<long> code = std::nullopt);
  // The call told to fail has been made, and failed.
  bool FailedCallMade() const;

  // The backend's side, at every entry point: records the call and returns the code it must
  // fail with, or 0 when it is to run as usual. `failure` is the code of its most likely
  // failure, 0 when it cannot fail.
  long Enter(const char* name, std::string detail, long failure);

 private:
  mutable std::mutex mutex_;
  std::vector<PlatformCall> calls_;
  std::size_t failNumber_ = 0;  // 0: none
  std::optional<long> failCode_;
  bool failed_ = false;
};

// Enter on the calls of the current workstation.
long EnterCall(const char* name, std::string detail, long failure);

}  // namespace platform::sim
