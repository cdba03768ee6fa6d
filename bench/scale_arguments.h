// The arguments of the benchmarks that run at growing scales: [-t SECONDS] [SCALE...].
#pragma once

#include <cstdlib>
#include <string>
#include <vector>

namespace bench {

// Reads `-t SECONDS` and the scales (1, 10 and 100 when none is given). False when a scale is
// below 1: the caller then prints its usage.
inline bool ReadScaleArguments(int argc, char** argv, double& minimumSeconds,
                               std::vector<int>& scales) {
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "-t" && i + 1 < argc) {
      minimumSeconds = std::atof(argv[++i]);
    } else {
      scales.push_back(std::atoi(argv[i]));
    }
  }
  if (scales.empty()) scales = {1, 10, 100};
  for (const int scale : scales) {
    if (scale < 1) return false;
  }
  return true;
}

}  // namespace bench
