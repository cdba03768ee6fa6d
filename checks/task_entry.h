// Task entries run their operation and then write their trace line, whatever the result.
#pragma once

#include "platform/trace.h"

namespace checks {

inline int RunAndTrace(int (*operation)(), const char* traceLine) {
  const int result = operation();
  platform::DebugTrace(traceLine);
  return result;
}

}  // namespace checks
