// The console program: its command line in, its output and exit code out. No window, and no
// question that waits for an answer.
#pragma once

#include <string>
#include <vector>

namespace cli {

// Runs the command that `arguments` (those after the program's name, in the ANSI code page)
// name, writes its results to the standard output (text lines in the console's code page, or
// with --json one UTF-8 JSON document) and its messages and progress to the standard error,
// and returns the exit code (cli/cli_commands.h). Bad usage writes the usage to the standard
// error and does nothing else.
int RunCli(const std::vector<std::string>& arguments);

}  // namespace cli
