// Time and memory of the benchmark's own process, from the POSIX clock and /proc (Linux).
#pragma once

#include <malloc.h>
#include <time.h>

#include <cstddef>
#include <fstream>
#include <string>

namespace bench {

// Seconds on the monotonic clock.
inline double Now() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// A line of /proc/self/status in KiB ("VmHWM:", "VmRSS:"); -1 when there is none.
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

// Writes a buffer larger than the processor's caches, so that data the benchmark has just made
// (a simulated file, say) is not still in them when a timed run starts: the program meets its
// input cold.
inline void EvictCaches() {
  static std::string sweep(96u << 20, '\0');
  for (std::size_t i = 0; i < sweep.size(); i += 64) sweep[i] = static_cast<char>(sweep[i] + 1);
}

// Large blocks come from the system afresh each time they are asked for, as in the program's one
// render, rather than from what an earlier run of the benchmark left with the allocator: glibc
// otherwise raises its threshold for such blocks after the first is freed, up to 32 MiB, so
// that smaller sizes would run without page faults from their second run on.
inline void AllocateAfreshEachRun() { mallopt(M_MMAP_THRESHOLD, 128 * 1024); }

}  // namespace bench
