#include "platform/sim/sim_shell.h"

#include <utility>

namespace platform::sim {

void Shell::SetHandler(Handler handler) {
  std::lock_guard lock(mutex_);
  handler_ = std::move(handler);
}

std::vector<ShellCall> Shell::Calls() const {
  std::lock_guard lock(mutex_);
  return calls_;
}

int Shell::Run(const ShellCall& call, Files& files, std::uint32_t* exitCode) {
  if (exitCode != nullptr) *exitCode = 0xFFFFFFFFu;
  Handler handler;
  {
    std::lock_guard lock(mutex_);
    calls_.push_back(call);
    handler = handler_;
  }
  // The handler runs unlocked: it may look at the calls or at the files itself.
  const ShellOutcome outcome = handler ? handler(call, files) : ShellOutcome{};
  // A command that did not start has no process and so no exit code.
  if (outcome.instance > 32 && exitCode != nullptr) *exitCode = outcome.exitCode;
  return outcome.instance;
}

}  // namespace platform::sim
