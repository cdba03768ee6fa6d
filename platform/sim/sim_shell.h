// The simulated shell: records every command it is asked to run and answers from a handler
// that the test gives, which may write into the simulated files (as the command's redirection
// would).
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace platform::sim {

class Files;

struct ShellCall {
  std::string verb;
  std::string file;
  std::string parameters;
  std::string directory;  // empty: none given
};

struct ShellOutcome {
  int instance = 42;  // 32 or below: the command did not start
  std::uint32_t exitCode = 0;
};

class Shell {
 public:
  using Handler = std::function<ShellOutcome(const ShellCall& call, Files& files)>;

  // Without a handler every command starts and ends with exit code 0, writing nothing.
  void SetHandler(Handler handler);
  std::vector<ShellCall> Calls() const;

  // The backend's side.
  int Run(const ShellCall& call, Files& files, std::uint32_t* exitCode);

 private:
  mutable std::mutex mutex_;
  Handler handler_;
  std::vector<ShellCall> calls_;
};

}  // namespace platform::sim
