// Tools we did not write, run by the Linux shell, for native tests that ask them.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The command's output (standard error with it) and its exit status, -1 when it did not exit.
std::pair<std::string, int> RunShellCommand(const std::string& command);

// A folder of its own under /tmp for the files a tool reads, removed with what was written into
// it when the object goes.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // False when no folder could be made; then Write writes nothing.
  bool ok() const { return !folder_.empty(); }
  // Writes `bytes` into a file `name` in the folder; its path.
  std::string Write(std::string_view name, std::string_view bytes);

 private:
  std::string folder_;
  std::vector<std::string> files_;
};
