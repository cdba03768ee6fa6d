// The standard output and error of a console program.
//
// Calls return the Win32 error code (GetLastError) on failure and ERROR_SUCCESS otherwise.
#pragma once

#include <string>
#include <string_view>

namespace platform {

enum class StdStream { kOutput, kError };

// Writes UTF-8 `text` so that its reader sees its characters: to a console window through
// WriteConsoleW, so that every character the console's font has shows, whatever the console's
// code page; to a file or a pipe as bytes in the console's output code page
// (ConsoleOutputCodePage), where a character that the code page lacks becomes '?'.
// ERROR_INVALID_HANDLE when the process has no such stream.
[[nodiscard]] long WriteText(StdStream stream, std::string_view text);

// WriteFile of the bytes as they are, whatever the stream is (a UTF-8 document stays UTF-8).
[[nodiscard]] long WriteBytes(StdStream stream, std::string_view bytes);

// -- What WriteText decides with; each backend answers for its own streams. --

// GetConsoleMode succeeds on the stream's handle: it is a console window, not a file or a pipe.
bool IsConsoleWindow(StdStream stream);

// GetConsoleOutputCP, or the OEM code page (GetOEMCP) when the process has no console: the code
// page in which console programs write into files and pipes.
unsigned ConsoleOutputCodePage();

// WriteConsoleW of the whole text.
[[nodiscard]] long WriteWide(StdStream stream, std::u16string_view text);

}  // namespace platform
