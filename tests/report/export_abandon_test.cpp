// An export unit that its progress dialog has abandoned writes nothing once its run has ended,
// nor into a later export, and the folder its command still writes into stays until the unit is
// done with it.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/sim/workstation.h"
#include "report/export_run.h"
#include "report/os_kind.h"
#include "tasks/unit_runner.h"
#include "tests/report/export_fixture.h"
#include "tests/support/eventually.h"
#include "tests/support/recording_view.h"

namespace {

using namespace report;
using namespace tasks;

using namespace export_test;

// The paths of the files that `run` lists for packing.
std::vector<std::string> ListedPaths(ExportRun& run) {
  std::vector<std::string> paths;
  for (const ExportFile& file : run.Read().files) paths.push_back(file.path);
  return paths;
}

// A unit of the export list: one step of `run`.
TaskUnit ExportUnit(const std::shared_ptr<ExportRun>& run, int (ExportRun::*step)()) {
  TaskUnit unit;
  unit.stepText = "export";
  unit.run = [run, step] { return (*run.*step)(); };
  unit.kind = UNIT_EXPORT;
  return unit;
}

// Commands as EchoCommands runs them, but the first whose command line holds `word` hangs until
// released, as a slow wmic or ipconfig would.
class HangingCommand {
 public:
  explicit HangingCommand(std::string word) : word_(std::move(word)) {}

  platform::sim::Shell::Handler Handler() {
    return [this](const ShellCall& call, Files& files) {
      if (call.parameters.find(word_) != std::string::npos && !waiting_.exchange(true)) {
        while (!released_.load()) std::this_thread::yield();
      }
      return EchoCommands(call, files);
    };
  }
  bool Waiting() const { return waiting_.load(); }
  void Release() { released_ = true; }

 private:
  const std::string word_;
  std::atomic<bool> waiting_{false};
  std::atomic<bool> released_{false};
};

// Starts `units` on a worker of their own, and abandons it once its command hangs.
std::shared_ptr<RunState> AbandonWhileWaiting(UnitList units, RecordingView& view,
                                              platform::WorkerThread& thread,
                                              const HangingCommand& command) {
  auto state = std::make_shared<RunState>(std::move(units), &view);
  EXPECT_TRUE(StartWorker(state, thread));
  EXPECT_TRUE(Eventually([&] { return command.Waiting(); }));
  StopWorker(*state, thread, 20);
  EXPECT_TRUE(state->Abandoned());
  return state;
}

// Two exports in one process: the first, abandoned while its hotfix capture waits, ends; the
// second writes its log. When the first one's command returns at last, it adds nothing to
// either run.
TEST(AbandonedExport, LateHotfixUnitListsNothingAfterItsRunEnded) {
  ForgetOSKindForTest();
  platform::sim::Workstation ws;
  ws.files().SetTempFolder(kTemp);
  HangingCommand wmic("wmic");
  ws.shell().SetHandler(wmic.Handler());

  ws.AnswerSaveAs("C:\\out\\first.zip");
  const auto first = std::make_shared<ExportRun>();
  ASSERT_EQ(first->WriteLog(), 0);
  RecordingView firstView;
  platform::WorkerThread firstThread;
  const auto firstState = AbandonWhileWaiting(
      UnitList{ExportUnit(first, &ExportRun::CaptureHotfixList)}, firstView, firstThread, wmic);
  EXPECT_EQ(first->Finish(), "导出已停止，未写入压缩文件!");

  // The next export writes its log and lists it.
  ws.AnswerSaveAs("C:\\out\\second.zip");
  const auto second = std::make_shared<ExportRun>();
  RecordingView secondView;
  RunState state(UnitList{ExportUnit(second, &ExportRun::WriteLog)}, &secondView);
  ExecuteUnits(state);
  const std::string secondLog = second->Read().logPath;
  ASSERT_EQ(ListedPaths(*second), std::vector<std::string>{secondLog});

  // Now the abandoned unit's command returns: its run has ended, so it lists nothing.
  wmic.Release();
  ASSERT_TRUE(Eventually([&] { return !firstState->Running(); }));
  EXPECT_EQ(ListedPaths(*first), std::vector<std::string>{kLog});
  EXPECT_TRUE(first->Read().outcome.commands.empty()) << "nothing said after its end";
  EXPECT_EQ(ListedPaths(*second), std::vector<std::string>{secondLog});
  EXPECT_EQ(second->Read().archivePath, "C:\\out\\second.zip");
  ExportOutcome outcome;
  (void)second->Finish(&outcome);  // the second run's folder goes before the workstation
  EXPECT_TRUE(outcome.commands.empty());
  ForgetOSKindForTest();
}

// A command still running when its export was abandoned keeps writing into its run's folder:
// the folder stays while the unit waits for it, and goes when the unit returns. The next run
// works in a folder of its own meanwhile.
TEST(AbandonedExport, RunFolderStaysUntilItsLastUnitReturns) {
  ForgetOSKindForTest();
  platform::sim::Workstation ws;
  ws.files().SetTempFolder(kTemp);
  HangingCommand ipconfig("ipconfig.exe\" /all");
  ws.shell().SetHandler(ipconfig.Handler());

  ws.AnswerSaveAs("C:\\out\\first.zip");
  RecordingView firstView;
  platform::WorkerThread firstThread;
  std::shared_ptr<RunState> first;
  RunExport(
      false,
      [&](const UnitList& units) {
        first = AbandonWhileWaiting(UnitList{units[0], units[1]}, firstView, firstThread, ipconfig);
      },
      nullptr);
  EXPECT_EQ(ws.MessageBoxes(), std::vector<std::string>{"导出已停止，未写入压缩文件!"});
  EXPECT_TRUE(ws.files().Contents(kLog)) << "its command still writes there";

  ws.AnswerSaveAs("C:\\out\\second.zip");
  ExportLikeTheDialog();
  EXPECT_EQ(ws.MessageBoxes(),
            (std::vector<std::string>{"导出已停止，未写入压缩文件!", "导出完毕!"}));
  EXPECT_TRUE(ws.files().Contents(kLog)) << "held by the abandoned run";

  ipconfig.Release();
  ASSERT_TRUE(Eventually([&] { return !first->Running(); }));
  EXPECT_EQ(LeftUnder(ws.files(), kTemp), std::vector<std::string>{});
  EXPECT_FALSE(ws.files().Contents("C:\\out\\first.zip"));
  EXPECT_TRUE(ws.files().Contents("C:\\out\\second.zip"));
  ForgetOSKindForTest();
}

}  // namespace
