#include "platform/sim/shell_model.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "platform/shell.h"
#include "platform/sim/clock_model.h"

namespace platform::sim {

void Shell::SetHandler(Handler handler) {
  std::lock_guard lock(mutex_);
  handler_ = std::move(handler);
}

std::vector<ShellCall> Shell::Calls() const {
  std::lock_guard lock(mutex_);
  return calls_;
}

int Shell::Run(const ShellCall& call, Files& files, Clock& clock, std::uint32_t* exitCode,
               bool* finished) {
  if (exitCode != nullptr) *exitCode = 0xFFFFFFFFu;
  if (finished != nullptr) *finished = false;
  Handler handler;
  {
    std::lock_guard lock(mutex_);
    calls_.push_back(call);
    handler = handler_;
  }
  // The handler runs unlocked: it may look at the calls or at the files itself.
  const ShellOutcome outcome = handler ? handler(call, files) : ShellOutcome{};
  // A command that did not start has no process and so no exit code.
  if (outcome.instance <= 32) return outcome.instance;
  if (outcome.runsMilliseconds == kRunsForever ||
      outcome.runsMilliseconds > call.waitMilliseconds) {
    if (call.waitMilliseconds == kNoTimeLimit) {
      std::fprintf(stderr, "a command that never ends was waited for without a time limit: %s%s\n",
                   call.file.c_str(), call.parameters.c_str());
      std::abort();
    }
    clock.Advance(call.waitMilliseconds);
    return outcome.instance;
  }
  clock.Advance(outcome.runsMilliseconds);
  if (exitCode != nullptr) *exitCode = outcome.exitCode;
  if (finished != nullptr) *finished = true;
  return outcome.instance;
}

}  // namespace platform::sim
