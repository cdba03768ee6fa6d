// Running a command through the shell and waiting for it.
#pragma once

#include <cstdint>

namespace platform {

// ShellExecuteExA with SEE_MASK_NOCLOSEPROCESS, no window, `verb` ("open" or "runas"), `file`,
// `parameters`, `directory` as the command's working folder (null: the caller's current one)
// and SW_HIDE; then, if it started, waits for the process without a time limit and reads its
// exit code into *exitCode (preset to 0xFFFFFFFF). Returns the instance value that
// ShellExecuteExA gives: 32 or below means the command did not start.
int RunHiddenAndWait(const char* verb, const char* file, const char* parameters,
                     const char* directory, std::uint32_t* exitCode);

}  // namespace platform
