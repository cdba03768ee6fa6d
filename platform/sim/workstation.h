// The simulated workstation: what the simulated backend of each platform service reads and
// writes instead of Windows. A test builds one on its stack; while it lives it is the
// workstation that every platform call sees.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "platform/sim/sim_registry.h"

namespace platform::sim {

class Workstation {
 public:
  Workstation();
  ~Workstation();
  Workstation(const Workstation&) = delete;
  Workstation& operator=(const Workstation&) = delete;

  // The workstation of the running test. Calling a platform service without one is a test
  // defect and stops the program with a message.
  static Workstation& Current();

  Registry& registry() { return registry_; }

  // Debugger output lines, in the order written.
  std::vector<std::string> Traces() const;
  // Message box texts, in the order shown.
  std::vector<std::string> MessageBoxes() const;

  // The next worker thread cannot be created.
  void FailNextThreadStart();

  // Called by the simulated services.
  bool TakeThreadStartFailure();
  void RecordTrace(const char* line);
  int RecordMessageBox(const char* text);

 private:
  mutable std::mutex mutex_;
  Registry registry_;
  std::vector<std::string> traces_;
  std::vector<std::string> messageBoxes_;
  bool failThreadStart_ = false;
};

}  // namespace platform::sim
