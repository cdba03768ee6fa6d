// The debugger output channel: one line of English per event, no levels, no log file.
#pragma once

namespace platform {

// OutputDebugStringA. `line` carries its own line end where it wants one.
void DebugTrace(const char* line);

}  // namespace platform
