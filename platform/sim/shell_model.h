// The simulated shell: records every command it is asked to run and answers from a handler
// that the test gives, which may write into the simulated files (as the command's redirection
// would) and says how long the command runs.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace platform::sim {

class Clock;
class Files;

struct ShellCall {
  std::string verb;
  std::string file;
  std::string parameters;
  std::string directory;               // empty: none given
  std::uint32_t waitMilliseconds = 0;  // how long the caller waits for it
};

// A command that never ends by itself.
inline constexpr std::uint32_t kRunsForever = 0xFFFFFFFFu;

struct ShellOutcome {
  int instance = 42;  // 32 or below: the command did not start
  std::uint32_t exitCode = 0;
  // How long the command runs, in the workstation's simulated time. One that runs longer than
  // the caller waits is still running when the wait ends, and gives no exit code.
  std::uint32_t runsMilliseconds = 0;
};

class Shell {
 public:
  using Handler = std::function<ShellOutcome(const ShellCall& call, Files& files)>;

  // Without a handler every command starts and ends with exit code 0, writing nothing.
  void SetHandler(Handler handler);
  std::vector<ShellCall> Calls() const;

  // The backend's side. The wait takes the workstation's simulated time: the command's, or the
  // caller's whole limit for one that runs longer. A command that never ends, waited for without
  // a time limit, would hang the program: that stops the test with a message.
  int Run(const ShellCall& call, Files& files, Clock& clock, std::uint32_t* exitCode,
          bool* finished);

 private:
  mutable std::mutex mutex_;
  Handler handler_;
  std::vector<ShellCall> calls_;
};

}  // namespace platform::sim
