#include "tests/reliability/road.h"

#include <memory>
#include <mutex>
#include <utility>

#include "tasks/execute_unit.h"
#include "tasks/result_list.h"
#include "tasks/unit_runner.h"
#include "platform/settings_user.h"

namespace road {
namespace {

using namespace tasks;

using platform::sim::Workstation;

// The progress dialog's side of a run: which calls each unit made, and what it posted.
class RoadView : public RunnerView {
 public:
  explicit RoadView(platform::sim::CallLog& calls) : calls_(calls) {}

  bool DialogHasWindow() override { return true; }
  void ShowStepText(const std::string&) override {
    std::lock_guard lock(mutex_);
    UnitRun unit;
    unit.firstCall = calls_.Count();
    units_.push_back(unit);
  }
  void PostResult(unsigned, int index, int result) override {
    std::lock_guard lock(mutex_);
    if (index < 0 || static_cast<std::size_t>(index) >= units_.size()) {
      stray_.emplace_back(index, result);
      return;
    }
    units_[static_cast<std::size_t>(index)].posted.push_back(result);
    units_[static_cast<std::size_t>(index)].lastCall = calls_.Count();
    posts_.emplace_back(index, result);
  }
  void SetProgressPos(int) override {}

  std::vector<UnitRun> Units() {
    std::lock_guard lock(mutex_);
    return units_;
  }
  // Every result in the order posted, stray ones included.
  std::vector<std::pair<int, int>> Posts() {
    std::lock_guard lock(mutex_);
    std::vector<std::pair<int, int>> all = posts_;
    all.insert(all.end(), stray_.begin(), stray_.end());
    return all;
  }

 private:
  platform::sim::CallLog& calls_;
  std::mutex mutex_;
  std::vector<UnitRun> units_;
  std::vector<std::pair<int, int>> posts_;
  std::vector<std::pair<int, int>> stray_;
};

// The main dialog's button: the list behind the progress dialog, its results handled in the
// order posted, the result list redrawn.
ListRun RunList(Workstation& ws, const UnitList& units, UnitList* diagnose, UnitList* repair) {
  ListRun run;
  const std::size_t firstCall = ws.calls().Count();
  const sweep::ItemTruths before = sweep::ItemTruth(ws);
  if (diagnose != nullptr) ResetDiagnoseResults(*diagnose);
  RoadView view(ws.calls());
  auto state = std::make_shared<RunState>(units, &view);
  platform::WorkerThread thread;
  run.started = StartWorker(state, thread);
  // The watch timer closes the dialog once the worker has ended; a dialog whose worker never
  // started waits for the user, who closes it.
  if (run.started) (void)thread.WaitWhileLettingSentMessagesThrough(60000);
  StopWorker(*state, thread);
  run.ended = !state->Running() && !state->Abandoned();
  run.units = view.Units();
  if (diagnose != nullptr) {
    for (const auto& [index, result] : view.Posts()) {
      HandleUnitResult(*diagnose, *repair, index, result, [] {});
    }
    for (const ResultRow& row : MakeResultRows(*diagnose)) {
      run.rows.push_back(row.resultText);
    }
  }
  const bool desktopUser = sweep::FollowedDesktopUser(ws.calls(), firstCall);
  run.truthBefore = before.Of(desktopUser);
  run.truthAfter = sweep::ItemTruth(ws).Of(desktopUser);
  return run;
}

bool IsClosingMessage(const std::string& text) {
  for (const char* headline : {"导出完毕!", "导出未完成!", "导出失败!", "导出已停止"}) {
    if (text.rfind(headline, 0) == 0) return true;
  }
  return false;
}

}  // namespace

Outcome Run(std::size_t failAt) {
  Workstation ws;
  Outcome out;
  sweep::Prepare(ws, failAt, out);
  ws.AnswerSaveAs(sweep::kTarget);

  {
    // The program finds the desktop's user as it starts, and lets go of their token as it ends;
    // in between the main dialog builds its lists and runs them.
    const platform::FollowDesktopUser desktopUser;
    UnitList diagnose;
    UnitList repair;
    BuildDiagnoseUnits(diagnose);
    BuildRepairUnits(repair);
    const bool withHotfixList = ExportCapturesHotfixList();

    out.diagnose = RunList(ws, diagnose, &diagnose, &repair);
    out.repair = RunList(ws, repair, &diagnose, &repair);
    out.diagnoseAgain = RunList(ws, diagnose, &diagnose, &repair);
    RunExport(
        withHotfixList,
        [&](const UnitList& exports) { out.exportList = RunList(ws, exports, nullptr, nullptr); },
        nullptr);
  }

  sweep::Collect(ws, out);
  for (const platform::sim::PlatformCall& call : out.calls) {
    if (std::string(call.name) != "MessageBoxA") continue;
    out.messageBoxes.push_back(call.detail);
    if (IsClosingMessage(call.detail)) out.closingMessage = call.detail;
  }
  return out;
}

}  // namespace road
