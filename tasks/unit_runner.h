// The worker side of a progress dialog: runs one task list, unit after unit, and reports each
// result; and the dialog's side of stopping it.
//
// Each run has its own state, shared by the dialog and its worker and alive as long as either.
// A worker still busy when its dialog gives up waiting is abandoned, never killed: it finishes
// its unit and then touches nothing, so it can neither close nor write into a later run.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/thread.h"
#include "report/run_claim.h"
#include "tasks/execute_unit.h"

namespace tasks {

// What the worker reaches of the user interface. Called on the worker only while the run is
// not abandoned.
class RunnerView {
 public:
  virtual ~RunnerView() = default;
  virtual bool DialogHasWindow() = 0;
  virtual void ShowStepText(const std::string& text) = 0;  // synchronous
  // Posts to the owner window if it still has one; the result is dropped otherwise.
  virtual void PostResult(unsigned message, int index, int result) = 0;
  virtual void SetProgressPos(int position) = 0;  // synchronous
};

// One run. Its claim is held by the worker whenever it touches the dialog; the dialog closes it
// for good when it abandons the worker.
class RunState {
 public:
  RunState(UnitList units, RunnerView* view) : units_(std::move(units)), view_(view) {}

  const UnitList& units() const { return units_; }
  bool StopAsked() const { return stopAsked_.load() != 0; }
  bool Running() const { return running_.load() != 0; }
  bool Abandoned() const { return claim_.Closed(); }

 private:
  friend class ViewAccess;
  friend int ExecuteUnits(RunState& state);
  friend bool StartWorker(const std::shared_ptr<RunState>& state, platform::WorkerThread& thread);
  friend void StopWorker(RunState& state, platform::WorkerThread& thread,
                         std::uint32_t waitMilliseconds);
  friend void AbandonWorker(RunState& state);

  const UnitList units_;  // the dialog's own copy, taken before the worker starts
  RunnerView* const view_;
  std::atomic<int> stopAsked_{0};
  std::atomic<int> running_{0};
  report::RunClaim claim_;
};

inline constexpr std::uint32_t kStopWaitMilliseconds = 5000;

// The worker's loop: until a stop is asked for or the dialog has lost its window, show each
// unit's step text, call its entry (a disabled unit reports 0 without being called), post its
// result by kind and move the bar to its index. Returns 0.
int ExecuteUnits(RunState& state);

// Starts the worker on `thread`. False when no thread could be made: then nothing runs.
bool StartWorker(const std::shared_ptr<RunState>& state, platform::WorkerThread& thread);

// The dialog's stop, at most once per run: asks the worker to stop, waits up to
// `waitMilliseconds` for it while letting its synchronous updates through, abandons it if it
// is still busy, and closes the thread handle.
void StopWorker(RunState& state, platform::WorkerThread& thread,
                std::uint32_t waitMilliseconds = kStopWaitMilliseconds);

// From its return on, the worker touches nothing: it waits out an update in flight.
void AbandonWorker(RunState& state);

}  // namespace tasks
