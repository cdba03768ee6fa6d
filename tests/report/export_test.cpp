// The export's units on the simulated workstation: the log, the captures, the state they hand
// on, and the archive they end in.
#include <gtest/gtest.h>

#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/workstation.h"
#include "platform/win32_codes.h"
#include "report/command_capture.h"
#include "report/export_run.h"
#include "report/os_kind.h"
#include "report/report.h"
#include "tasks/execute_unit.h"
#include "tests/report/export_fixture.h"
#include "tests/report/zip_reader.h"
#include "tests/support/hex.h"
#include "text/text_table.h"

namespace {

using namespace report;
using namespace tasks;

using namespace export_test;
using namespace text;
using platform::VersionInfo;

class Export : public ExportTest {};
using platform::sim::FileCall;
using platform::sim::Files;

// The ten banners, as the log holds them between the sections.
const std::vector<std::string> kBanners = {
    "\r\n===================================SYSTEM INFO==================================\r\n",
    "\r\n===================================SOFTWARE INFO================================\r\n",
    "\r\n===================================PROCESS INFO=================================\r\n",
    "\r\n===================================IE BROWER INFO===============================\r\n",
    "\r\n====================================ROUTE TABLE=================================\r\n",
    "\r\n====================================ADAPTER INFO================================\r\n",
    "\r\n====================================TOVRA CLIENT==================================\r\n",
    "\r\n====================================HOSTS================================\r\n",
    "\r\n====================================FINDINGS================================\r\n",
    "\r\n====================================CATALOG================================\r\n",
};

// The log as the export writes it on this workstation: each banner followed by its section,
// composed afresh (the report reads the same workstation the same way every time), then the
// last banner, which has no section.
std::string ComposedLog() {
  Report page;
  ComposeReport(page);
  const std::string* const sections[] = {&page.system,  &page.software, &page.process,
                                         &page.browser, &page.route,    &page.adapter,
                                         &page.client,  &page.hosts,    &page.findings};
  std::string log;
  for (std::size_t i = 0; i < std::size(sections); ++i) log += kBanners[i] + *sections[i];
  return log + kBanners.back();
}

TEST(ExportBanners, EachHasItsLength) {
  const std::vector<std::size_t> lengths = {84, 84, 84, 84, 84, 84, 86, 77, 80, 79};
  for (std::size_t i = 0; i < kBanners.size(); ++i) EXPECT_EQ(kBanners[i].size(), lengths[i]) << i;
}

TEST_F(Export, LogHoldsTheTenBannersThenTheCaptures) {
  ws_.SetWindowsVersion(kWindows7);
  ws_.AnswerSaveAs("C:\\out\\Vantik.zip");
  EXPECT_EQ(run_->WriteLog(), 0);
  const std::string composed = ComposedLog();
  EXPECT_EQ(ws_.files().Contents(kLog), composed);
  // The system section, which the default workstation fills, stands under the first banner.
  EXPECT_EQ(Hex(composed.substr(kBanners[0].size(), 13)), "bcc6cbe3bbfac3fba3ba205641");
  EXPECT_EQ(run_->CaptureNetworkConfig(), 0);
  EXPECT_EQ(run_->CaptureDnsCache(), 0);
  EXPECT_EQ(ws_.files().Contents(kLog), ComposedLog() + "[runas]\r\n[runas]\r\n[runas]\r\n");
  EXPECT_EQ(run_->Read().folder, kRun) << "a folder of the run's own";
  EXPECT_EQ(run_->Read().archivePath, "C:\\out\\Vantik.zip");
  EXPECT_EQ(run_->Read().logPath, kLog);
  ASSERT_EQ(run_->Read().files.size(), 1u);
  EXPECT_EQ(run_->Read().files[0].path, kLog);
  EXPECT_EQ(run_->Read().files[0].entryName, "Vantik.log");
  ASSERT_EQ(ws_.SaveAsCalls().size(), 1u);
  EXPECT_EQ(ws_.SaveAsCalls()[0].initialName, "Vantik.zip");
  EXPECT_EQ(ws_.SaveAsCalls()[0].filter, "Zip Files (*.zip)|*.zip||");
  // The export's own traces; the sections' collectors write theirs in between.
  std::vector<std::string> traces;
  for (const std::string& line : ws_.Traces()) {
    if (line.rfind("Exporting", 0) == 0) traces.push_back(line);
  }
  EXPECT_EQ(traces, (std::vector<std::string>{"Exporting Info\r\n", "Exporting SPI Info\r\n",
                                              "Exporting DNS Info\r\n"}));
  EXPECT_TRUE(ws_.MessageBoxes().empty());
}

// Every path stands between quotes, so a temporary or system folder with spaces works. cmd.exe
// and the tools are named by their full paths in the system folder, which is also the working
// folder: nothing is looked for in the program's own or current folder.
TEST_F(Export, CommandLinesAreExact) {
  const struct {
    const char* name;
    std::string system;
  } cases[] = {
      {"the usual system folder", "C:\\WINDOWS\\system32"},
      {"a system folder with a space", "D:\\Windows 2000\\system32"},
  };
  ws_.SetWindowsVersion(kWindows7);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ws_.SetSystemFolder(c.system);
    const auto callsBefore = ws_.shell().Calls().size();
    EXPECT_EQ(CaptureHotfixList(kHotfixes), 0);
    EXPECT_EQ(CaptureNetworkConfig(kLog), 0);
    EXPECT_EQ(CaptureDnsCache(kLog), 0);
    const auto all = ws_.shell().Calls();
    ASSERT_EQ(all.size(), callsBefore + 3);
    const std::vector<ShellCall> calls(all.begin() + callsBefore, all.end());
    for (const auto& call : calls) {
      EXPECT_EQ(call.file, c.system + "\\cmd.exe");
      EXPECT_EQ(call.directory, c.system);
    }
    const std::string wmic = "\"" + c.system + "\\wbem\\wmic.exe\"";
    const std::string ipconfig = "\"" + c.system + "\\ipconfig.exe\"";
    const std::string netsh = "\"" + c.system + "\\netsh.exe\"";
    EXPECT_EQ(calls[0].parameters, "/c  \"" + wmic + " qfe list brief >> \"" + kHotfixes + "\"\"");
    EXPECT_EQ(calls[1].parameters, " /C \"" + ipconfig + " /all >> \"" + kLog + "\" && " + netsh +
                                       " winsock show catalog >> \"" + kLog + "\"\"");
    EXPECT_EQ(calls[2].parameters, " /C \"" + ipconfig + " /displaydns >> \"" + kLog + "\"\"");
  }
}

// Without a system folder there is no cmd.exe to name by its full path: nothing is started,
// and each capture fails as a command that did not start.
TEST_F(Export, NoSystemFolderStartsNothing) {
  ws_.SetSystemFolder(std::nullopt);
  EXPECT_EQ(CaptureHotfixList(kHotfixes), -1);
  EXPECT_EQ(ws_.files().Contents(kHotfixes), "") << "emptied first, as always";
  EXPECT_EQ(CaptureNetworkConfig(kLog), 1);
  EXPECT_EQ(CaptureDnsCache(kLog), 1);
  EXPECT_TRUE(ws_.shell().Calls().empty());
  EXPECT_TRUE(ws_.MessageBoxes().empty());
}

TEST_F(Export, CaptureResults) {
  const struct {
    const char* name;
    ShellOutcome outcome;
    int hotfix;
    int other;
  } cases[] = {
      {"exit 0", {42, 0}, 0, 0},
      {"exit 3", {42, 3}, 1, 1},
      {"did not start", {2, 0}, -1, 1},
      {"instance 32 is not started", {32, 0}, -1, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ws_.shell().SetHandler([&](const ShellCall&, Files&) { return c.outcome; });
    EXPECT_EQ(CaptureHotfixList(kHotfixes), c.hotfix);
    EXPECT_EQ(CaptureNetworkConfig(kLog), c.other);
    EXPECT_EQ(CaptureDnsCache(kLog), c.other);
  }
  const auto callsBefore = ws_.shell().Calls().size();
  EXPECT_EQ(CaptureHotfixList(""), -1);
  EXPECT_EQ(CaptureNetworkConfig(""), -1);
  EXPECT_EQ(CaptureDnsCache(""), -1);
  EXPECT_EQ(ws_.shell().Calls().size(), callsBefore) << "no command without a path";
}

TEST_F(Export, HotfixFileIsEmptiedFirstAndItsCreationFailureSaysSo) {
  ws_.files().AddFile(kHotfixes, "old contents");
  EXPECT_EQ(CaptureHotfixList(kHotfixes), 0);
  EXPECT_EQ(ws_.files().Contents(kHotfixes), "[runas]\r\n");

  ws_.files().Fail(FileCall::kCreate, ERROR_ACCESS_DENIED, kHotfixes);
  const auto callsBefore = ws_.shell().Calls().size();
  EXPECT_EQ(CaptureHotfixList(kHotfixes), -1);
  EXPECT_EQ(ws_.MessageBoxes(), std::vector<std::string>{"Couldn't create the file!"});
  EXPECT_EQ(ws_.shell().Calls().size(), callsBefore);
}

TEST_F(Export, OlderSystemHasFourUnitsAndOpensWithoutElevation) {
  ws_.SetWindowsVersion(kWindowsXp);
  ws_.AnswerSaveAs("C:\\out\\Vantik.zip");
  UnitList units;
  BuildExportUnits(units, run_, ExportCapturesHotfixList());
  std::vector<std::string> steps;
  for (const auto& unit : units) steps.push_back(unit.stepText);
  EXPECT_EQ(steps, (std::vector<std::string>{"正在导出基本信息...", "正在导出SPI信息...",
                                             "正在导出DNS信息...", "正在生成报告..."}));
  EXPECT_EQ(RunUnits(), (std::vector<int>{0, 0, 0, 1}));
  EXPECT_EQ(Verbs(), (std::vector<std::string>{"open", "open"}));
  const auto archive = ReadArchive(ws_, "C:\\out\\Vantik.zip");
  ASSERT_TRUE(archive.readable && archive.unzipOk) << archive.error;
  ASSERT_EQ(Names(archive), std::vector<std::string>{"Vantik.log"});
  EXPECT_EQ(archive.entries[0].contents, ComposedLog() + "[open]\r\n[open]\r\n[open]\r\n");
  EXPECT_FALSE(ws_.files().Contents(kLog)) << "packed, then deleted";
}

TEST_F(Export, NewerSystemHasFiveUnitsAndAsksForElevation) {
  ws_.SetWindowsVersion(kWindows7);
  ws_.AnswerSaveAs("C:\\out\\Vantik.zip");
  UnitList units;
  BuildExportUnits(units, run_, ExportCapturesHotfixList());
  ASSERT_EQ(units.size(), 5u);
  EXPECT_EQ(units[1].stepText, "正在导出补丁信息...");
  EXPECT_EQ(RunUnits(), (std::vector<int>{0, 0, 0, 0, 1}));
  EXPECT_EQ(Verbs(), (std::vector<std::string>{"runas", "runas", "runas"}));
  const auto archive = ReadArchive(ws_, "C:\\out\\Vantik.zip");
  ASSERT_TRUE(archive.readable && archive.unzipOk) << archive.error;
  EXPECT_EQ(Names(archive), (std::vector<std::string>{"Vantik.log", "WindowsUpdate.log"}));
  EXPECT_EQ(LeftUnder(ws_.files(), kTemp), std::vector<std::string>{}) << "the run's folder went";
}

// Nothing of a cancelled export is left for the next: each export works in a folder of its
// own, and only after the Save As dialog has given it a place for the archive.
TEST_F(Export, CancelledSaveAsWritesNothingAndLeavesNothingForTheNext) {
  ws_.SetWindowsVersion(kWindows7);
  ws_.files().AddFile(kTarget, kOlderArchive);
  ws_.AnswerSaveAs(std::nullopt);
  EXPECT_EQ(RunUnits(), (std::vector<int>{-1, -1, -1, -1, 0}));
  EXPECT_EQ(ws_.files().Contents(kTarget), kOlderArchive);
  EXPECT_TRUE(run_->Read().files.empty());
  EXPECT_EQ(LeftUnder(ws_.files(), kTemp), std::vector<std::string>{});
  EXPECT_EQ(Verbs(), std::vector<std::string>{}) << "no command without a place to write";

  ws_.AnswerSaveAs("C:\\out\\second.zip");
  EXPECT_EQ(RunUnits(), (std::vector<int>{0, 0, 0, 0, 1}));
  const auto archive = ReadArchive(ws_, "C:\\out\\second.zip");
  ASSERT_TRUE(archive.readable && archive.unzipOk) << archive.error;
  EXPECT_EQ(Names(archive), (std::vector<std::string>{"Vantik.log", "WindowsUpdate.log"}));
}

TEST_F(Export, NameWithoutExtensionIsUsedAsTyped) {
  ws_.SetWindowsVersion(kWindowsXp);
  ws_.AnswerSaveAs("C:\\out\\report");
  RunUnits();
  EXPECT_TRUE(ReadArchive(ws_, "C:\\out\\report").readable);
  EXPECT_FALSE(ws_.files().Contents("C:\\out\\report.zip"));
}

TEST_F(Export, SecondExportPacksTheSameEntries) {
  ws_.SetWindowsVersion(kWindows7);
  ws_.AnswerSaveAs("C:\\out\\one.zip");
  ws_.AnswerSaveAs("C:\\out\\two.zip");
  RunUnits();
  RunUnits();
  const auto one = ReadArchive(ws_, "C:\\out\\one.zip");
  const auto two = ReadArchive(ws_, "C:\\out\\two.zip");
  ASSERT_TRUE(one.readable && two.readable) << one.error << two.error;
  EXPECT_EQ(Names(two), Names(one));
  EXPECT_EQ(Names(two), (std::vector<std::string>{"Vantik.log", "WindowsUpdate.log"}));
}

// A run given its archive's path asks nobody: the path is the answer, and a second export is a
// run of its own with its own path.
TEST_F(Export, GivenPathTakesThePlaceOfTheSaveAsDialog) {
  ws_.SetWindowsVersion(kWindowsXp);
  ExportRun given(ExportOptions{"D:\\support\\ws12.zip", TargetPolicy::kKeep});
  EXPECT_EQ(given.WriteLog(), 0);
  EXPECT_TRUE(ws_.SaveAsCalls().empty());
  EXPECT_EQ(given.Read().archivePath, "D:\\support\\ws12.zip");
  (void)given.Finish();

  // Too long for the archive beside it: said once, and the export is cancelled.
  ExportRun tooLong(ExportOptions{"D:\\" + std::string(300, 'a') + ".zip", TargetPolicy::kKeep});
  EXPECT_EQ(tooLong.WriteLog(), -1);
  EXPECT_TRUE(ws_.SaveAsCalls().empty());
  EXPECT_EQ(ws_.MessageBoxes(), std::vector<std::string>{GetText(TEXT_PATH_TOO_LONG)});
  EXPECT_EQ(tooLong.Read().outcome.status, ExportStatus::kCancelled);
  EXPECT_EQ(tooLong.Finish(), std::nullopt);
}

// Without a log the later units have nothing to append to, and the target nothing to take.
TEST_F(Export, LogThatCannotBeCreatedIsNotListedAndLeavesNoPathBehind) {
  ws_.SetWindowsVersion(kWindowsXp);
  ws_.AnswerSaveAs("C:\\out\\Vantik.zip");
  ws_.files().Fail(FileCall::kCreate, ERROR_ACCESS_DENIED, kLog);
  EXPECT_EQ(run_->WriteLog(), -1);
  EXPECT_EQ(ws_.MessageBoxes(), std::vector<std::string>{"1Couldn't create the file!"});
  EXPECT_TRUE(run_->Read().files.empty());
  EXPECT_TRUE(run_->Read().logPath.empty());
  EXPECT_TRUE(run_->Read().archivePath.empty());
  EXPECT_EQ(LeftUnder(ws_.files(), kTemp), std::vector<std::string>{}) << "the run's folder went";
}

TEST_F(Export, WriteFailingHalfwayKeepsWhatWasWrittenAndListsTheLog) {
  ws_.SetWindowsVersion(kWindowsXp);
  ws_.AnswerSaveAs("C:\\out\\Vantik.zip");
  ws_.files().Fail(FileCall::kWrite, ERROR_DISK_FULL, kLog, -1, 200);
  EXPECT_EQ(run_->WriteLog(), 0);
  // 失败 is not in this text: the exclamation mark is the full-width one, a3 a1.
  EXPECT_EQ(ws_.MessageBoxes(), std::vector<std::string>{"Failed when save log\xA3\xA1"});
  const auto log = ws_.files().Contents(kLog);
  ASSERT_TRUE(log);
  EXPECT_LE(log->size(), 200u);
  EXPECT_EQ(ComposedLog().compare(0, log->size(), *log), 0) << "a prefix of the full log";
  ASSERT_EQ(run_->Read().files.size(), 1u);
  EXPECT_EQ(run_->Read().files[0].path, kLog);
  EXPECT_EQ(run_->Read().outcome.logWriteError, ERROR_DISK_FULL);
}

TEST_F(Export, TemporaryFolderProblems) {
  ws_.SetWindowsVersion(kWindowsXp);
  // Longer than the usual 246-byte buffer: the log still goes into that folder.
  const std::string deep = "C:\\" + std::string(250, 'd') + "\\";
  ws_.files().SetTempFolder(deep);
  ws_.AnswerSaveAs("C:\\out\\Vantik.zip");
  EXPECT_EQ(run_->WriteLog(), 0);
  EXPECT_EQ(run_->Read().folder, deep + "Vantik-00000001\\");
  EXPECT_TRUE(ws_.files().Contents(deep + "Vantik-00000001\\Vantik.log"));
  EXPECT_FALSE(ws_.files().Contents("Vantik.log")) << "never the current folder";

  ws_.files().Fail(FileCall::kTempFolder, ERROR_ACCESS_DENIED);
  EXPECT_EQ(NewRun().WriteLog(), -1);
  EXPECT_EQ(ws_.MessageBoxes(), std::vector<std::string>{"0Couldn't create the file!"});
  EXPECT_EQ(run_->Read().outcome.status, ExportStatus::kLogFailed);
  EXPECT_EQ(run_->Read().outcome.error, ERROR_ACCESS_DENIED)
      << "the closing message gives the code";
  EXPECT_EQ(ws_.SaveAsCalls().size(), 1u) << "no second Save As";
  EXPECT_TRUE(run_->Read().archivePath.empty());
  EXPECT_TRUE(run_->Read().logPath.empty());
}

TEST_F(Export, OSKindByVersion) {
  const struct {
    VersionInfo version;
    int result;
    int kind;
  } cases[] = {
      {{2, 5, 0, 2195, 4, 1}, 0, OS_WINDOWS_2000},
      {{2, 5, 1, 2600, 3, 1}, 0, OS_WINDOWS_XP},
      {{2, 5, 2, 3790, 2, 3}, 0, OS_WINDOWS_SERVER_2003},
      {{2, 6, 0, 6002, 2, 1}, 0, OS_WINDOWS_VISTA},
      {{2, 6, 0, 6002, 2, 3}, 0, OS_WINDOWS_SERVER_2008},
      {{2, 6, 1, 7601, 1, 3}, 0, OS_WINDOWS_SERVER_2008},
      {{2, 6, 1, 7601, 1, 1}, 0, OS_WINDOWS_7},
      {{2, 6, 2, 9200, 0, 1}, -1, 0},  // newer than the table
      {{1, 4, 10, 0, 0, 0}, -1, 0},    // not NT
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.version.major) + "." + std::to_string(c.version.minor));
    ForgetOSKindForTest();
    ws_.SetWindowsVersion(c.version);
    int kind = -7;
    int servicePack = -7;
    EXPECT_EQ(GetOSKind(kind, servicePack), c.result);
    if (c.result == 0) {
      EXPECT_EQ(kind, c.kind);
      EXPECT_EQ(servicePack, c.version.servicePackMajor);
    }
  }
}

TEST_F(Export, OSKindKeepsItsAnswerButNotAFailedQuery) {
  ws_.FailVersionQuery(false);
  int kind = 0;
  int servicePack = 0;
  EXPECT_EQ(GetOSKind(kind, servicePack), -1);
  ws_.SetWindowsVersion(kWindowsXp);  // also clears the failure
  EXPECT_EQ(GetOSKind(kind, servicePack), 0) << "the failure was not kept";
  EXPECT_EQ(kind, OS_WINDOWS_XP);
  ws_.SetWindowsVersion(kWindows7);
  EXPECT_EQ(GetOSKind(kind, servicePack), 0);
  EXPECT_EQ(kind, OS_WINDOWS_XP) << "the first answer is kept";
}

}  // namespace
