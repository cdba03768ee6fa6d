// What a task may still change once its run could have been abandoned. The runner gives the
// thread that runs a task list a claim; a task writes state that outlives its run (state a
// later run reads) only while it holds the claim, and an abandoned run's claim is never
// granted again.
#pragma once

#include <functional>

namespace platform {

class TaskClaim {
 public:
  virtual ~TaskClaim() = default;
  // False once the run has been abandoned. Held only for short writes, never across a prompt.
  virtual bool Acquire() = 0;
  virtual void Release() = 0;
};

// The claim of the run on the calling thread, or null outside a run.
void SetThreadTaskClaim(TaskClaim* claim);

// Runs `write` while holding the calling thread's claim; without a claim (outside any run) it
// simply runs it. False, without running it, when the run has been abandoned.
bool RunWhileClaimed(const std::function<void()>& write);

}  // namespace platform
