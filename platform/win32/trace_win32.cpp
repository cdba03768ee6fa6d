#include "platform/win32/windows_api.h"

#include "platform/trace.h"

namespace platform {

void DebugTrace(const char* line) { OutputDebugStringA(line); }

}  // namespace platform
