#include "platform/task_claim.h"

namespace platform {
namespace {

thread_local TaskClaim* t_claim = nullptr;

}  // namespace

void SetThreadTaskClaim(TaskClaim* claim) { t_claim = claim; }

bool RunWhileClaimed(const std::function<void()>& write) {
  TaskClaim* claim = t_claim;
  if (claim == nullptr) {
    write();
    return true;
  }
  if (!claim->Acquire()) return false;
  // Released on every way out: a claim left held would keep the dialog waiting for good.
  struct Release {
    TaskClaim* claim;
    ~Release() { claim->Release(); }
  } release{claim};
  write();
  return true;
}

}  // namespace platform
