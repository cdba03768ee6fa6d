// Traces on the simulated workstation: recorded for the tests to read.
#include "platform/trace.h"

#include "platform/sim/workstation.h"

namespace platform {

void DebugTrace(const char* line) { sim::Workstation::Current().RecordTrace(line); }

}  // namespace platform
