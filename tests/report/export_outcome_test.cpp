// How an export ends, run as the main dialog runs it on the simulated workstation's bad days:
// the messages shown, what lies at the target afterwards (the older archive byte for byte, or a
// complete new archive read back by readers we did not write), and that the run's own folder
// under the temporary folder is gone.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/sim/workstation.h"
#include "platform/win32_codes.h"
#include "report/export_outcome.h"
#include "report/export_run.h"
#include "tests/report/export_fixture.h"
#include "text/text_table.h"
#include "tests/report/zip_reader.h"

namespace {

using namespace text;

using namespace report;
using namespace tasks;

using namespace export_test;
using platform::sim::FileCall;
using platform::sim::Workstation;

const std::string kBeside = kTarget + "~*";  // the new archive before it takes the target's place
const std::string kDone = "导出完毕!";

// Where the disk can fill up in the archive of a plain export: its central directory and size.
struct Layout {
  std::uint32_t directory = 0;
  std::uint32_t size = 0;
};

struct OutcomeCase {
  const char* name;
  std::function<void(Workstation&, const Layout&)> setUp;  // answers the Save As dialog too
  std::vector<std::string> messages = {};                  // every message box, in order
  std::vector<std::string> entries = {};  // of the new archive at the target; none: nothing new
  std::string target = kTarget;
  bool olderThere = true;                    // an older archive lies at the target
  std::vector<std::string> leftInTemp = {};  // what another program still holds
};

void PrintTo(const OutcomeCase& c, std::ostream* os) { *os << c.name; }

void AnswerTarget(Workstation& ws) { ws.AnswerSaveAs(kTarget); }

// The hotfix command goes on holding its file, as a capture still running would.
ShellOutcome HoldHotfixList(const ShellCall& call, Files& files) {
  const ShellOutcome outcome = EchoCommands(call, files);
  if (call.parameters.find("wmic") != std::string::npos) files.Hold(kHotfixes);
  return outcome;
}

class ExportOutcomes : public ExportTest, public ::testing::WithParamInterface<OutcomeCase> {
 public:
  // The layout of a plain export's archive, from a workstation of its own.
  static void SetUpTestSuite() {
    ForgetOSKindForTest();
    Workstation scratch;
    scratch.files().SetTempFolder(kTemp);
    scratch.shell().SetHandler(EchoCommands);
    scratch.AnswerSaveAs(kTarget);
    ExportLikeTheDialog();
    const std::string archive = scratch.files().Contents(kTarget).value_or("");
    layout_.directory = CentralDirectoryOffset(archive);
    layout_.size = static_cast<std::uint32_t>(archive.size());
    ForgetOSKindForTest();
  }

 protected:
  static Layout layout_;
};

Layout ExportOutcomes::layout_;

TEST_P(ExportOutcomes, MessageTargetAndTemporaryFolder) {
  const OutcomeCase& c = GetParam();
  ASSERT_GT(layout_.directory, 0u);
  if (c.olderThere) ws_.files().AddFile(c.target, kOlderArchive);
  c.setUp(ws_, layout_);

  EXPECT_EQ(ExportAsTheDialogDoes(), c.messages);

  if (c.entries.empty()) {
    const std::optional<std::string> older =
        c.olderThere ? std::optional<std::string>(kOlderArchive) : std::nullopt;
    EXPECT_EQ(ws_.files().Contents(c.target), older) << "the target was touched";
  } else {
    const Archive archive = ReadArchive(ws_, c.target);
    ASSERT_TRUE(archive.readable) << archive.error;
    EXPECT_TRUE(archive.unzipOk) << archive.error;
    EXPECT_EQ(Names(archive), c.entries);
  }
  EXPECT_EQ(LeftUnder(ws_.files(), kTemp), c.leftInTemp);
  // Nothing is left beside the target either.
  EXPECT_EQ(LeftUnder(ws_.files(), c.target + "~"), std::vector<std::string>{});
  EXPECT_EQ(ws_.files().OpenFileCount(), 0);
}

const std::string kDiskFull = "导出失败!\r\n压缩文件写入失败，磁盘空间不足! 错误代码 [112]";
const std::vector<std::string> kBoth = {"Vantik.log", "WindowsUpdate.log"};

INSTANTIATE_TEST_SUITE_P(
    Days, ExportOutcomes,
    ::testing::Values(
        OutcomeCase{
            "Success", [](Workstation& ws, const Layout&) { AnswerTarget(ws); }, {kDone}, kBoth},
        // A folder of another code page's name: the entries keep the names the program gives.
        OutcomeCase{"WesternTemporaryFolder",
                    [](Workstation& ws, const Layout&) {
                      ws.files().SetTempFolder("C:\\Users\\Donn\xE9\\");
                      AnswerTarget(ws);
                    },
                    {kDone},
                    kBoth},
        OutcomeCase{"FolderMissing",
                    [](Workstation& ws, const Layout&) {
                      ws.files().MissingFolder("C:\\gone");
                      ws.AnswerSaveAs("C:\\gone\\Vantik.zip");
                    },
                    {"导出失败!\r\n压缩文件写入失败，文件夹不存在或无法访问! 错误代码 [3]"},
                    {},
                    "C:\\gone\\Vantik.zip",
                    false},
        // The target's drive fills up after N bytes of the new archive.
        OutcomeCase{"DiskFullAtOnce",
                    [](Workstation& ws, const Layout&) {
                      ws.files().Fail(FileCall::kWrite, ERROR_DISK_FULL, kBeside, -1, 0);
                      AnswerTarget(ws);
                    },
                    {kDiskFull},
                    {},
                    kTarget,
                    true,
                    {}},
        OutcomeCase{"DiskFullInTheLog",
                    [](Workstation& ws, const Layout&) {
                      ws.files().Fail(FileCall::kWrite, ERROR_DISK_FULL, kBeside, -1, 300);
                      AnswerTarget(ws);
                    },
                    {kDiskFull}},
        OutcomeCase{"DiskFullInsideTheCentralDirectory",
                    [](Workstation& ws, const Layout& at) {
                      ws.files().Fail(FileCall::kWrite, ERROR_DISK_FULL, kBeside, -1,
                                      at.directory + 20);
                      AnswerTarget(ws);
                    },
                    {kDiskFull}},
        OutcomeCase{"DiskFullAtTheLastByte",
                    [](Workstation& ws, const Layout& at) {
                      ws.files().Fail(FileCall::kWrite, ERROR_DISK_FULL, kBeside, -1, at.size - 1);
                      AnswerTarget(ws);
                    },
                    {kDiskFull}},
        OutcomeCase{"TargetOpenInAViewer",
                    [](Workstation& ws, const Layout&) {
                      ws.files().Hold(kTarget);
                      AnswerTarget(ws);
                    },
                    {"导出失败!\r\n压缩文件写入失败，文件正被其他程序使用! 错误代码 [32]"}},
        OutcomeCase{"TargetRefused",
                    [](Workstation& ws, const Layout&) {
                      ws.files().Fail(FileCall::kMove, ERROR_ACCESS_DENIED, kBeside);
                      AnswerTarget(ws);
                    },
                    {"导出失败!\r\n压缩文件写入失败，拒绝访问! 错误代码 [5]"}},
        OutcomeCase{"LogNotCreatable",
                    [](Workstation& ws, const Layout&) {
                      ws.files().Fail(FileCall::kCreate, ERROR_ACCESS_DENIED, kLog);
                      AnswerTarget(ws);
                    },
                    {"1Couldn't create the file!", "导出失败!\r\n日志文件创建失败! 错误代码 [5]"}},
        OutcomeCase{"TemporaryFolderMissing",
                    [](Workstation& ws, const Layout&) {
                      ws.files().MissingFolder(kTemp);
                      AnswerTarget(ws);
                    },
                    {"1Couldn't create the file!", "导出失败!\r\n日志文件创建失败! 错误代码 [3]"}},
        OutcomeCase{"TemporaryFolderReadOnly",
                    [](Workstation& ws, const Layout&) {
                      ws.files().Fail(FileCall::kCreateFolder, ERROR_ACCESS_DENIED);
                      AnswerTarget(ws);
                    },
                    {"1Couldn't create the file!", "导出失败!\r\n日志文件创建失败! 错误代码 [5]"}},
        OutcomeCase{
            "LogWrittenInPart",
            [](Workstation& ws, const Layout&) {
              ws.files().Fail(FileCall::kWrite, ERROR_DISK_FULL, kLog, -1, 200);
              AnswerTarget(ws);
            },
            {"Failed when save log！", "导出未完成!\r\n日志文件未能完整写入! 错误代码 [112]"},
            kBoth},
        OutcomeCase{"HotfixListNotCreated",
                    [](Workstation& ws, const Layout&) {
                      ws.files().Fail(FileCall::kCreate, ERROR_ACCESS_DENIED, kHotfixes);
                      AnswerTarget(ws);
                    },
                    {"Couldn't create the file!", "导出未完成!\r\n文件打包失败：WindowsUpdate.log"},
                    {"Vantik.log"}},
        // What the command still writes is packed as far as written; the file stays, with the
        // run's lock, for a later run to clear.
        OutcomeCase{"CaptureFileHeld",
                    [](Workstation& ws, const Layout&) {
                      ws.shell().SetHandler(HoldHotfixList);
                      AnswerTarget(ws);
                    },
                    {kDone},
                    kBoth,
                    kTarget,
                    true,
                    {kRun, kRun + "WindowsUpdate.log", kRun + "run.lock"}},
        // Nothing was exported, so nothing is claimed.
        OutcomeCase{"SaveAsCancelled",
                    [](Workstation& ws, const Layout&) { ws.AnswerSaveAs(std::nullopt); }},
        OutcomeCase{"SaveAsFails",
                    [](Workstation& ws, const Layout&) { ws.FailSaveAs(0x3002); },
                    {"导出失败!\r\n另存为对话框打开失败! 错误代码 [12290]"}},
        // Too long for the dialog's buffer, for the ANSI calls, and for the name the archive is
        // written under beside it: each is said so, and the dialog comes again.
        OutcomeCase{"PathsTooLong",
                    [](Workstation& ws, const Layout&) {
                      ws.AnswerSaveAs("C:\\" + std::string(1100, 'x'));
                      ws.AnswerSaveAs("C:\\out\\" + std::string(252, 'x') + ".zip");
                      ws.AnswerSaveAs("C:\\out\\" + std::string(240, 'x') + ".zip");
                      AnswerTarget(ws);
                    },
                    {"文件路径过长，请选择较短的路径!", "文件路径过长，请选择较短的路径!",
                     "文件路径过长，请选择较短的路径!", kDone},
                    kBoth}),
    [](const auto& info) { return std::string(info.param.name); });

// Each code the archive can fail with, told in words where the code says why.
TEST(ClosingMessage, ArchiveFailureByCode) {
  const struct {
    long code;
    const char* line;
  } cases[] = {
      {ERROR_PATH_NOT_FOUND, "压缩文件写入失败，文件夹不存在或无法访问! 错误代码 [3]"},
      {ERROR_INVALID_DRIVE, "压缩文件写入失败，文件夹不存在或无法访问! 错误代码 [15]"},
      {ERROR_BAD_NETPATH, "压缩文件写入失败，文件夹不存在或无法访问! 错误代码 [53]"},
      {ERROR_BAD_NET_NAME, "压缩文件写入失败，文件夹不存在或无法访问! 错误代码 [67]"},
      {ERROR_DISK_FULL, "压缩文件写入失败，磁盘空间不足! 错误代码 [112]"},
      {ERROR_HANDLE_DISK_FULL, "压缩文件写入失败，磁盘空间不足! 错误代码 [39]"},
      {ERROR_SHARING_VIOLATION, "压缩文件写入失败，文件正被其他程序使用! 错误代码 [32]"},
      {ERROR_LOCK_VIOLATION, "压缩文件写入失败，文件正被其他程序使用! 错误代码 [33]"},
      {ERROR_ACCESS_DENIED, "压缩文件写入失败，拒绝访问! 错误代码 [5]"},
      {ERROR_INVALID_DATA, "压缩文件写入失败! 错误代码 [13]"},
      {1450, "压缩文件写入失败! 错误代码 [1450]"},  // ERROR_NO_SYSTEM_RESOURCES
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    ExportOutcome outcome;
    outcome.pack.finished = true;
    outcome.pack.error = c.code;
    EXPECT_EQ(ClosingMessage(outcome), "导出失败!\r\n" + std::string(c.line));
  }
}

TEST(ClosingMessage, EnglishColumnWhenTheLanguageIndexSaysSo) {
  ExportOutcome outcome;
  outcome.pack.finished = true;
  outcome.pack.placed = true;
  outcome.pack.unpacked = {{"WindowsUpdate.log", ERROR_SHARING_VIOLATION}};
  const unsigned char saved = g_language;
  g_language = 1;
  const auto message = ClosingMessage(outcome);
  g_language = saved;
  EXPECT_EQ(message,
            "Export incomplete!\r\nFail to pack the file: WindowsUpdate.log Error code [32]");
}

class ExportEnds : public ExportTest {};

// The longest path that leaves room for the archive's name beside it is taken.
TEST_F(ExportEnds, LongestUsablePathIsTaken) {
  const std::string longest = "C:\\out\\" + std::string(239, 'x') + ".zip";
  ASSERT_EQ(longest.size(), 250u);
  ws_.AnswerSaveAs(longest);
  EXPECT_EQ(ExportAsTheDialogDoes(), std::vector<std::string>{kDone});
  EXPECT_TRUE(ReadArchive(ws_, longest).readable);
}

// The ANSI calls count characters, not bytes: a Chinese path of more than 259 bytes is taken
// while it has fewer characters.
TEST_F(ExportEnds, PathLengthCountsCharacters) {
  std::string chinese;
  for (int i = 0; i < 130; ++i) chinese += "中";
  const std::string path = "C:\\out\\" + chinese + ".zip";
  ASSERT_EQ(path.size(), 271u);
  ws_.AnswerSaveAs(path);
  EXPECT_EQ(ExportAsTheDialogDoes(), std::vector<std::string>{kDone});
  EXPECT_TRUE(ReadArchive(ws_, path).readable);
}

// A run stopped before its archive was in place says so, and never what an earlier run said.
TEST_F(ExportEnds, StoppedRunSaysSoAndLeavesTheTarget) {
  ws_.files().AddFile(kTarget, kOlderArchive);
  AnswerTarget(ws_);
  AnswerTarget(ws_);
  EXPECT_EQ(ExportAsTheDialogDoes(), std::vector<std::string>{kDone});
  const std::string complete = ws_.files().Contents(kTarget).value_or("");

  // The progress dialog closed after the log, then before anything ran at all.
  const bool withHotfixList = ExportCapturesHotfixList();
  RunExport(
      withHotfixList, [](const UnitList& units) { units.front().run(); }, nullptr);
  RunExport(
      withHotfixList, [](const UnitList&) {}, nullptr);
  EXPECT_EQ(ws_.MessageBoxes(), (std::vector<std::string>{kDone, "导出已停止，未写入压缩文件!",
                                                          "导出已停止，未写入压缩文件!"}));
  EXPECT_EQ(ws_.files().Contents(kTarget), complete);
  EXPECT_EQ(LeftUnder(ws_.files(), kTemp), std::vector<std::string>{});
}

// What earlier runs left is cleared once no run holds it; a run still going is left alone,
// and so is whatever is not a run's folder.
TEST_F(ExportEnds, LeftoverRunFoldersAreClearedOnceFree) {
  const std::string temp = kTemp;
  const std::string held = temp + "Vantik-0000ABCD\\";
  const std::string live = temp + "Vantik-0000BEEF\\";
  const std::string bare = temp + "Vantik-0000CAFE\\";
  const std::string crowded = temp + "Vantik-0000D00D\\";
  ws_.files()
      .AddFile(held + "run.lock", "")
      .AddFile(held + "Vantik.log", "held by a command")
      .Hold(held + "Vantik.log")
      .AddFile(live + "run.lock", "")
      .AddFile(live + "Vantik.log", "a run of another copy")
      .AddFolder(bare)
      .AddFile(crowded + "Vantik.log", "no lock")
      .AddFile(temp + "Vantik-notours\\keep.txt", "not a run's")
      .AddFile(temp + "other.tmp", "someone else's");
  platform::File liveLock;
  ASSERT_EQ(liveLock.CreateForWriting((live + "run.lock").c_str()), ERROR_SUCCESS);

  AnswerTarget(ws_);
  AnswerTarget(ws_);
  EXPECT_EQ(ExportAsTheDialogDoes(), std::vector<std::string>{kDone});
  const std::vector<std::string> untouched = {crowded + "Vantik.log", live + "Vantik.log",
                                              live + "run.lock", temp + "Vantik-notours\\keep.txt",
                                              temp + "other.tmp"};
  std::vector<std::string> expected = untouched;
  expected.push_back(held + "Vantik.log");
  expected.push_back(held + "run.lock");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(LeftUnder(ws_.files(), kTemp), expected) << "only the empty lockless folder went";

  ws_.files().Release(held + "Vantik.log");
  EXPECT_EQ(ExportAsTheDialogDoes(), (std::vector<std::string>{kDone, kDone}));
  expected = untouched;
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(LeftUnder(ws_.files(), kTemp), expected);
  EXPECT_EQ(liveLock.Close(), ERROR_SUCCESS);
}

}  // namespace
