#include "tests/support/shell_command.h"

#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

std::pair<std::string, int> RunShellCommand(const std::string& command) {
  std::string output;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return {"popen failed", -1};
  char buffer[4096];
  std::size_t got = 0;
  while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
  const int status = pclose(pipe);
  return {output, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

ScratchFolder::ScratchFolder() {
  char folder[] = "/tmp/vantik-test-XXXXXX";
  if (mkdtemp(folder) != nullptr) folder_ = folder;
}

ScratchFolder::~ScratchFolder() {
  for (const std::string& file : files_) unlink(file.c_str());
  if (ok()) rmdir(folder_.c_str());
}

std::string ScratchFolder::Write(std::string_view name, std::string_view bytes) {
  if (!ok()) return {};
  const std::string path = folder_ + "/" + std::string(name);
  std::ofstream(path, std::ios::binary) << bytes;
  files_.push_back(path);
  return path;
}
