// An export unit that its progress dialog has abandoned must not write into a later export.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

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
  ASSERT_EQ(g_exportFiles, std::vector<std::string>{std::string(kTemp) + "Vantik.log"});

  // Now the abandoned unit's command returns: it must not add its file to that list.
  release = true;
  ASSERT_TRUE(Eventually([&] { return !first->Running(); }));
  EXPECT_EQ(g_exportFiles, std::vector<std::string>{std::string(kTemp) + "Vantik.log"});
  EXPECT_EQ(g_strExportZipPath, "C:\\out\\Vantik.zip");
  ForgetOSKindForTest();
}

}  // namespace
