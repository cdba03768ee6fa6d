// The simulated workstation's clock. Simulated time passes only while something simulated
// takes time (a command that runs, a wait for it), so a test of a two-minute time limit takes
// no time at all, and says exactly how long the program would have waited.
#pragma once

#include <atomic>
#include <cstdint>

namespace platform::sim {

class Clock {
 public:
  // Milliseconds since the workstation was built.
  std::uint64_t Milliseconds() const { return now_.load(); }
  void Advance(std::uint64_t milliseconds) { now_ += milliseconds; }

 private:
  std::atomic<std::uint64_t> now_{0};
};

}  // namespace platform::sim
