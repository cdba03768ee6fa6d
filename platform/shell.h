// Running a command through the shell and waiting for it, for a limited time.
#pragma once

#include <cstdint>

namespace platform {

// A wait without a time limit (INFINITE).
inline constexpr std::uint32_t kNoTimeLimit = 0xFFFFFFFFu;

// ShellExecuteExA with SEE_MASK_NOCLOSEPROCESS, no window, `verb` ("open" or "runas"), `file`,
// `parameters`, `directory` as the command's working folder (null: the caller's current one)
// and SW_HIDE; then, if it started, waits up to `waitMilliseconds` for the process
// (WaitForSingleObject). A process that ends within the time gives its exit code in *exitCode
// (preset to 0xFFFFFFFF) and sets *finished (when given; it is preset to false). A process
// still running then is left to run on by itself, never ended by force: its handle is closed
// and *exitCode keeps its preset. Returns the instance value that ShellExecuteExA gives: 32 or
// below means the command did not start.
int RunHiddenAndWait(const char* verb, const char* file, const char* parameters,
                     const char* directory, std::uint32_t waitMilliseconds, std::uint32_t* exitCode,
                     bool* finished = nullptr);

}  // namespace platform
