// Time and peak memory of this process, for the benchmarks (Linux only).
#pragma once

#include <time.h>

#include <fstream>
#include <string>

namespace bench {

// Seconds on the monotonic clock. (<chrono> does not compile with code page 936 as the
// execution character set.)
inline double Now() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// A line of /proc/self/status in KiB ("VmRSS:", "VmHWM:"), or -1.
inline long StatusKiB(const char* key) {
  std::ifstream status("/proc/self/status");
  std::string name;
  long value = -1;
  while (status >> name) {
    if (name == key) {
      status >> value;
      return value;
    }
    status.ignore(4096, '\n');
  }
  return -1;
}

// Lets VmHWM start again from the current resident size (Linux 4.0 and later).
inline bool ResetPeak() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
  clear.flush();
  return static_cast<bool>(clear);
}

}  // namespace bench
