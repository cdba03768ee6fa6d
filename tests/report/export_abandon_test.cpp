// An export unit that its progress dialog has abandoned must not write into a later export.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/unit_runner.h"
#include "platform/sim/workstation.h"
#include "report/export_state.h"
#include "report/export_units.h"
#include "report/os_kind.h"
#include "tests/support/eventually.h"
#include "tests/support/recording_view.h"

namespace {

using platform::sim::Files;
using platform::sim::ShellCall;
using platform::sim::ShellOutcome;

constexpr char kTemp[] = "C:\\Temp\\";

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

TEST(AbandonedExport, LateHotfixUnitListsNothingInTheNextExport) {
  g_strExportTempDir.clear();
  g_strExportZipPath.clear();
  g_strExportLogPath.clear();
  g_exportFiles.clear();
  g_exportRun.reset();
  ForgetOSKindForTest();
  platform::sim::Workstation ws;
  ws.files().SetTempFolder(kTemp);
  std::atomic<bool> waiting{false};
  std::atomic<bool> release{false};
  // The hotfix command hangs until released, as a slow wmic would.
  ws.shell().SetHandler([&](const ShellCall& call, Files&) {
    if (call.parameters.find("wmic") != std::string::npos) {
      waiting = true;
      while (!release.load()) std::this_thread::yield();
    }
    return ShellOutcome{};
  });
  g_strExportTempDir = kTemp;

  // The first export is abandoned while its hotfix unit waits on the command.
  RecordingView firstView;
  auto first = std::make_shared<RunState>(UnitList{ExportUnit(ExportPatchInfo)}, &firstView);
  platform::WorkerThread firstThread;
  ASSERT_TRUE(StartWorker(first, firstThread));
  ASSERT_TRUE(Eventually([&] { return waiting.load(); }));
  StopWorker(*first, firstThread, 20);
  ASSERT_TRUE(first->Abandoned());

  // The next export writes its log and lists it.
  ws.AnswerSaveAs("C:\\out\\Vantik.zip");
  RecordingView secondView;
  RunState second(UnitList{ExportUnit(ExportBasicInfo)}, &secondView);
  ExecuteUnits(second);
  const std::string log = std::string(kTemp) + "Vantik-00000001\\Vantik.log";
  ASSERT_EQ(ListedPaths(), std::vector<std::string>{log});

  // Now the abandoned unit's command returns: it must not add its file to that list.
  release = true;
  ASSERT_TRUE(Eventually([&] { return !first->Running(); }));
  EXPECT_EQ(ListedPaths(), std::vector<std::string>{log});
  EXPECT_EQ(g_strExportZipPath, "C:\\out\\Vantik.zip");
  (void)FinishExport();  // the second run's folder goes before the workstation
  ForgetOSKindForTest();
}

// A command still running when its export was abandoned keeps writing into its run's folder:
// the folder stays while the unit waits for it, and goes when the unit returns. The next run
// works in a folder of its own meanwhile.
TEST(AbandonedExport, RunFolderStaysUntilItsLastUnitReturns) {
  g_exportRun.reset();
  ForgetOSKindForTest();
  platform::sim::Workstation ws;
  ws.files().SetTempFolder(kTemp);
  std::atomic<bool> waiting{false};
  std::atomic<bool> release{false};
  ws.shell().SetHandler([&](const ShellCall& call, Files& files) {
    if (call.parameters.find("ipconfig /all") != std::string::npos && !waiting.exchange(true)) {
      while (!release.load()) std::this_thread::yield();
    }
    const auto at = call.parameters.find(">> \"");
    const auto end = call.parameters.find('"', at + 4);
    files.Append(call.parameters.substr(at + 4, end - at - 4), "captured\r\n");
    return ShellOutcome{};
  });
  const std::string firstRun = std::string(kTemp) + "Vantik-00000001\\";

  ws.AnswerSaveAs("C:\\out\\first.zip");
  RecordingView firstView;
  auto first = std::make_shared<RunState>(
      UnitList{ExportUnit(ExportBasicInfo), ExportUnit(ExportSpiInfo)}, &firstView);
  platform::WorkerThread firstThread;
  BeginExport();
  ASSERT_TRUE(StartWorker(first, firstThread));
  ASSERT_TRUE(Eventually([&] { return waiting.load(); }));
  StopWorker(*first, firstThread, 20);
  ASSERT_TRUE(first->Abandoned());
  EXPECT_EQ(FinishExport(), "导出已停止，未写入压缩文件!");
  EXPECT_TRUE(ws.files().Contents(firstRun + "Vantik.log")) << "its command still writes there";

  ws.AnswerSaveAs("C:\\out\\second.zip");
  RunExport(
      [] {
        for (int (*unit)() : {ExportBasicInfo, ExportSpiInfo, ExportDnsInfo, ExportPackage}) unit();
      },
      nullptr);
  EXPECT_EQ(ws.MessageBoxes(), std::vector<std::string>{"导出完毕!"});
  EXPECT_TRUE(ws.files().Contents(firstRun + "Vantik.log")) << "held by the abandoned run";

  release = true;
  ASSERT_TRUE(Eventually([&] { return !first->Running(); }));
  for (const std::string& path : ws.files().Paths()) {
    EXPECT_NE(path.compare(0, std::strlen(kTemp), kTemp), 0) << path << " is left";
  }
  EXPECT_FALSE(ws.files().Contents("C:\\out\\first.zip"));
  EXPECT_TRUE(ws.files().Contents("C:\\out\\second.zip"));
  ForgetOSKindForTest();
}

}  // namespace
