// Traces and prompts on the simulated workstation: recorded for the tests to read.
#include "platform/prompt.h"
#include "platform/trace.h"

#include "platform/sim/workstation.h"

namespace platform {

void DebugTrace(const char* line) { sim::Workstation::Current().RecordTrace(line); }

int ShowMessageBox(const char* text) { return sim::Workstation::Current().RecordMessageBox(text); }

void SetPromptOwner(void*) {}

}  // namespace platform
