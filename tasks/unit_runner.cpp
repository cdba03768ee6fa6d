#include "tasks/unit_runner.h"

#include <utility>

#include "checks/result_codes.h"

namespace tasks {

// The worker holds the claim while it touches the view. Whoever comes second, the worker or the
// dialog abandoning it, sees the other's mark.
class ViewAccess {
 public:
  explicit ViewAccess(RunState& state) : state_(state), granted_(state.claim_.Acquire()) {}
  ~ViewAccess() {
    if (granted_) state_.claim_.Release();
  }
  ViewAccess(const ViewAccess&) = delete;
  ViewAccess& operator=(const ViewAccess&) = delete;

  explicit operator bool() const { return granted_; }
  RunnerView& view() const { return *state_.view_; }

 private:
  RunState& state_;
  bool granted_ = false;
};

namespace {

void WorkerMain(void* argument) {
  // The worker's share of the run state, handed over by StartWorker.
  const std::unique_ptr<std::shared_ptr<RunState>> state(
      static_cast<std::shared_ptr<RunState>*>(argument));
  ExecuteUnits(**state);
}

}  // namespace

int ExecuteUnits(RunState& state) {
  state.running_.store(1);
  const std::size_t count = state.units_.size();
  for (std::size_t i = 0; i < count; ++i) {
    if (state.StopAsked()) break;
    const TaskUnit& unit = state.units_[i];
    {
      ViewAccess access(state);
      if (!access || !access.view().DialogHasWindow()) break;
      access.view().ShowStepText(unit.stepText);
    }
    int result = 0;
    if (unit.enabled) result = unit.run ? unit.run() : checks::RESULT_FAILED;

    ViewAccess access(state);
    if (!access) break;  // abandoned while the unit ran: its result goes nowhere
    const int index = static_cast<int>(i);
    if (const unsigned message = ResultMessageForKind(unit.kind)) {
      access.view().PostResult(message, index, result);
    }
    access.view().SetProgressPos(index);
  }
  state.running_.store(0);
  return 0;
}

bool StartWorker(const std::shared_ptr<RunState>& state, platform::WorkerThread& thread) {
  // Raised before the thread exists, so it can never come after the worker lowers it.
  state->running_.store(1);
  auto* share = new std::shared_ptr<RunState>(state);
  if (!thread.Start(WorkerMain, share)) {
    delete share;
    state->running_.store(0);
    return false;
  }
  return true;
}

void StopWorker(RunState& state, platform::WorkerThread& thread, std::uint32_t waitMilliseconds) {
  if (state.stopAsked_.exchange(1) != 0) return;
  if (!thread.IsStarted()) return;
  if (!thread.WaitWhileLettingSentMessagesThrough(waitMilliseconds)) AbandonWorker(state);
  thread.Close();
}

void AbandonWorker(RunState& state) {
  // The worker may be in the middle of an update, which may be waiting on this thread.
  state.claim_.Close();
}

}  // namespace tasks
