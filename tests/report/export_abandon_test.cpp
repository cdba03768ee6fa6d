// An export unit that its progress dialog has abandoned must not write into a later export,
// and the folder its command still writes into stays until the unit is done with it.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/sim/workstation.h"
#include "report/export_state.h"
#include "report/export_units.h"
#include "report/os_kind.h"
#include "tasks/unit_runner.h"
#include "tests/report/export_fixture.h"
#include "tests/support/eventually.h"
#include "tests/support/recording_view.h"

namespace {

using namespace export_test;

// The paths of the files listed for packing.
std::vector<std::string> ListedPaths() {
  std::vector<std::string> paths;
  for (const ExportFile& file : g_exportFiles) paths.push_back(file.path);
  return paths;
}

tagExecuteUnit ExportUnit(int (*entry)()) {
  tagExecuteUnit unit;
  unit.stepText = "export";
  unit.taskFunc = entry;
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

TEST(AbandonedExport, LateHotfixUnitListsNothingInTheNextExport) {
  ForgetExports();
  platform::sim::Workstation ws;
  ws.files().SetTempFolder(kTemp);
  HangingCommand wmic("wmic");
  ws.shell().SetHandler(wmic.Handler());
  g_strExportTempDir = kTemp;

  // The first export is abandoned while its hotfix unit waits on the command.
  RecordingView firstView;
  platform::WorkerThread firstThread;
  const auto first =
      AbandonWhileWaiting(UnitList{ExportUnit(ExportPatchInfo)}, firstView, firstThread, wmic);

  // The next export writes its log and lists it.
  ws.AnswerSaveAs("C:\\out\\Vantik.zip");
  RecordingView secondView;
  RunState second(UnitList{ExportUnit(ExportBasicInfo)}, &secondView);
  ExecuteUnits(second);
  ASSERT_EQ(ListedPaths(), std::vector<std::string>{kLog});

  // Now the abandoned unit's command returns: it must not add its file to that list.
  wmic.Release();
  ASSERT_TRUE(Eventually([&] { return !first->Running(); }));
  EXPECT_EQ(ListedPaths(), std::vector<std::string>{kLog});
  EXPECT_EQ(g_strExportZipPath, "C:\\out\\Vantik.zip");
  (void)FinishExport();  // the second run's folder goes before the workstation
  ForgetOSKindForTest();
}

// A command still running when its export was abandoned keeps writing into its run's folder:
// the folder stays while the unit waits for it, and goes when the unit returns. The next run
// works in a folder of its own meanwhile.
TEST(AbandonedExport, RunFolderStaysUntilItsLastUnitReturns) {
  ForgetExports();
  platform::sim::Workstation ws;
  ws.files().SetTempFolder(kTemp);
  HangingCommand ipconfig("ipconfig.exe\" /all");
  ws.shell().SetHandler(ipconfig.Handler());

  ws.AnswerSaveAs("C:\\out\\first.zip");
  RecordingView firstView;
  platform::WorkerThread firstThread;
  BeginExport();
  const auto first =
      AbandonWhileWaiting(UnitList{ExportUnit(ExportBasicInfo), ExportUnit(ExportSpiInfo)},
                          firstView, firstThread, ipconfig);
  EXPECT_EQ(FinishExport(), "导出已停止，未写入压缩文件!");
  EXPECT_TRUE(ws.files().Contents(kLog)) << "its command still writes there";

  ws.AnswerSaveAs("C:\\out\\second.zip");
  RunExport(
      [] {
        for (int (*unit)() : {ExportBasicInfo, ExportSpiInfo, ExportDnsInfo, ExportPackage}) unit();
      },
      nullptr);
  EXPECT_EQ(ws.MessageBoxes(), std::vector<std::string>{"导出完毕!"});
  EXPECT_TRUE(ws.files().Contents(kLog)) << "held by the abandoned run";

  ipconfig.Release();
  ASSERT_TRUE(Eventually([&] { return !first->Running(); }));
  EXPECT_EQ(LeftUnder(ws.files(), kTemp), std::vector<std::string>{});
  EXPECT_FALSE(ws.files().Contents("C:\\out\\first.zip"));
  EXPECT_TRUE(ws.files().Contents("C:\\out\\second.zip"));
  ForgetOSKindForTest();
}

}  // namespace
