// A command run by the Linux shell, for native tests that ask a tool we did not write.
#pragma once

#include <string>
#include <utility>

// The command's output (standard error with it) and its exit status, -1 when it did not exit.
std::pair<std::string, int> RunShellCommand(const std::string& command);
