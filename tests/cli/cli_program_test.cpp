// The console program on the simulated workstation, as a script runs it: its exit codes, its
// text lines and messages as the console receives them, and its JSON document as python3's json
// module reads it.
#include "cli/cli_program.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "diagnosis/rows.h"
#include "platform/console.h"
#include "platform/sim/workstation.h"
#include "platform/win32_codes.h"
#include "tests/cli/json_reader.h"
#include "tests/report/export_fixture.h"
#include "tests/report/zip_reader.h"
#include "tests/support/healthy_client.h"
#include "tests/support/hex.h"

namespace {

using namespace cli;

using namespace report;
using namespace tasks;

using export_test::ExportTest;
using platform::RegRoot;
using platform::StdStream;
using platform::sim::RegCall;
using platform::sim::ShellCall;
using platform::sim::ShellOutcome;

constexpr char kSchannel[] = "System\\CurrentControlSet\\Control\\SecurityProviders\\SCHANNEL";
constexpr char kRenego[] = "DisableRenegoOnClient";
constexpr char kUserAgent[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\5.0\\User Agent";

// The two diagnose rows' texts, as the main dialog shows them.
constexpr char kRenegoTitle[] = "检查windows补丁是否有影响";
constexpr char kUserAgentTitle[] = "检查浏览器的UserAgent信息是否正常";

// The diagnosis's rows, after the two checks.
constexpr std::size_t kItems = 2 + std::size(diagnosis::kRows);

// The text lines of the diagnosis's rows, all normal: "正常", or as a repair shows them.
std::string NormalRowLines(const char* state = "正常") {
  std::string lines;
  for (const diagnosis::RowId row : diagnosis::kRows) {
    lines += std::string(text::GetText(diagnosis::RowTitle(row))) + ": " + state + "\r\n";
  }
  return lines;
}

// On a workstation whose VPN client is in order, so that the two checks decide.
class Cli : public ExportTest {
 protected:
  Cli() {
    healthy_client::Seed(ws_);
    ws_.registry().AddKey(RegRoot::kLocalMachine, kSchannel);
  }

  void SeedAbnormalRenego() {
    ws_.registry().SetDword(RegRoot::kLocalMachine, kSchannel, kRenego, 1);
  }
  void SeedAbnormalUserAgent() {
    ws_.registry().SetString(RegRoot::kCurrentUser, kUserAgent, "Compatible", "Mozilla/4.0");
  }
  // A member of the Administrators group whose token is not elevated holds the group for
  // denying only.
  void DropElevation() {
    ws_.identity().SetTokenGroups(
        {{"S-1-1-0", 7}, {"S-1-5-32-544", SE_GROUP_USE_FOR_DENY_ONLY}, {"S-1-5-32-545", 7}});
  }

  std::string Out() { return ws_.console().Bytes(StdStream::kOutput); }
  std::string Err() { return ws_.console().Bytes(StdStream::kError); }
  // The document on the standard output, from byte `from` on.
  JsonFields Json(std::size_t from = 0) {
    const std::string document = Out().substr(from);
    JsonFields fields = ReadJson(document);
    EXPECT_TRUE(fields.parsed) << fields.error << "\n" << document;
    return fields;
  }
  std::vector<std::string> ExportTraces() {
    std::vector<std::string> traces;
    for (const std::string& line : ws_.Traces()) {
      if (line.rfind("Export", 0) == 0 || line.rfind("export", 0) == 0) traces.push_back(line);
    }
    return traces;
  }
};

// ---- diagnose -------------------------------------------------------------------------------

struct DiagnoseCase {
  const char* name;
  bool renegoAbnormal;
  bool userAgentAbnormal;
  bool schannelMissing;  // the first check cannot be made
  const char* renegoState;
  const char* userAgentState;
  int exitCode;
};

void PrintTo(const DiagnoseCase& c, std::ostream* os) { *os << c.name; }

const DiagnoseCase kDiagnoseCases[] = {
    {"BothNormal", false, false, false, "normal", "normal", 0},
    {"OneAbnormal", false, true, false, "normal", "abnormal", 1},
    {"BothAbnormal", true, true, false, "abnormal", "abnormal", 1},
    {"CheckFails", false, false, true, "failed", "normal", 2},
    {"FailedOutranksAbnormal", false, true, true, "failed", "abnormal", 2},
};

class Diagnose : public Cli, public ::testing::WithParamInterface<DiagnoseCase> {};

TEST_P(Diagnose, ExitCodeAndStates) {
  const DiagnoseCase& c = GetParam();
  if (c.renegoAbnormal) SeedAbnormalRenego();
  if (c.userAgentAbnormal) SeedAbnormalUserAgent();
  if (c.schannelMissing)
    ws_.registry().DenyOpen(RegRoot::kLocalMachine, kSchannel, ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RunCli({"diagnose", "--json"}), c.exitCode);
  const JsonFields json = Json();
  EXPECT_EQ(json["exit_code"], std::to_string(c.exitCode));
  EXPECT_EQ(json["checks.#"], std::to_string(kItems));
  EXPECT_EQ(json["checks.0.state"], "s:" + std::string(c.renegoState));
  EXPECT_EQ(json["checks.1.state"], "s:" + std::string(c.userAgentState));
}

INSTANTIATE_TEST_SUITE_P(Cli, Diagnose, ::testing::ValuesIn(kDiagnoseCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Cli, DiagnoseJsonDocument) {
  SeedAbnormalRenego();
  EXPECT_EQ(RunCli({"--json", "diagnose"}), 1);
  const JsonFields json = Json();
  EXPECT_EQ(json["program"], "s:vantik-cli");
  EXPECT_EQ(json["version"], "s:1.0.0.0");
  EXPECT_EQ(json["command"], "s:diagnose");
  EXPECT_EQ(json["windows.name"], "s:Microsoft Windows 7 Service Pack 1");
  EXPECT_EQ(json["windows.major"], "6");
  EXPECT_EQ(json["windows.minor"], "1");
  EXPECT_EQ(json["windows.build"], "7601");
  EXPECT_EQ(json["windows.service_pack"], "1");
  EXPECT_EQ(json["elevated"], "true");
  EXPECT_EQ(json["exit_code"], "1");
  EXPECT_EQ(json["error"], "(absent)");
  EXPECT_EQ(json["checks.0.id"], "s:tls_renegotiation");
  EXPECT_EQ(json["checks.0.title"], JsonString(u8"检查windows补丁是否有影响"));
  EXPECT_EQ(json["checks.0.code"], "1");
  EXPECT_EQ(json["checks.0.text"], JsonString(u8"异常"));
  EXPECT_EQ(json["checks.1.id"], "s:ie_user_agent");
  EXPECT_EQ(json["checks.1.title"], JsonString(u8"检查浏览器的UserAgent信息是否正常"));
  EXPECT_EQ(json["checks.1.state"], "s:normal");
  EXPECT_EQ(json["checks.1.code"], "0");
  EXPECT_EQ(json["checks.1.text"], JsonString(u8"正常"));
  EXPECT_EQ(Err(), "") << "a diagnosis shows no steps";
  // The checks' and the results' traces, as under the main dialog.
  const std::vector<std::string> traces = ws_.Traces();
  EXPECT_NE(std::find(traces.begin(), traces.end(), "CheckKB977377\r\n"), traces.end());
  EXPECT_NE(
      std::find(traces.begin(), traces.end(), "Function index: [1], and the result is [0]\r\n"),
      traces.end());
}

// The console's code page, or its window: the text is converted from the program's code page
// 936, never passed on as its bytes.
TEST_F(Cli, DiagnoseTextInAChineseConsole) {
  SeedAbnormalRenego();
  EXPECT_EQ(RunCli({"diagnose"}), 1);
  EXPECT_EQ(Out(), std::string(kRenegoTitle) + ": 异常\r\n" + kUserAgentTitle + ": 正常\r\n" +
                       NormalRowLines());
  EXPECT_EQ(Hex(Out().substr(std::string(kRenegoTitle).size(), 6)), "3a20d2ecb3a3");  // ": 异常"
}

// The JSON document asks Windows for its version and the process's rights; text lines need
// neither, so a text command does not ask.
TEST_F(Cli, OnlyTheJsonDocumentAsksForTheVersionAndTheRights) {
  // The rights are the token's groups; its user is asked by every command, to find whose
  // settings to follow.
  const auto asked = [this](const char* name) {
    std::size_t count = 0;
    for (const platform::sim::PlatformCall& call : ws_.calls().Calls()) {
      if (std::string(call.name) == name && call.detail != "TokenUser") ++count;
    }
    return count;
  };
  const char* const questions[] = {"GetTokenInformation", "GetVersionExA"};
  EXPECT_EQ(RunCli({"diagnose"}), 0);
  for (const char* name : questions) EXPECT_EQ(asked(name), 0u) << name;
  EXPECT_EQ(RunCli({"diagnose", "--json"}), 0);
  for (const char* name : questions) EXPECT_GT(asked(name), 0u) << name;
}

TEST(CliConsole, EnglishCodePageGetsQuestionMarksAndAWindowGetsCharacters) {
  for (const bool window : {false, true}) {
    SCOPED_TRACE(window ? "a console window" : "a file in code page 437");
    platform::sim::Workstation ws;
    healthy_client::Seed(ws);
    ws.registry().AddKey(RegRoot::kLocalMachine, kSchannel);
    ws.console().SetOutputCodePage(437).SetConsoleWindow(StdStream::kOutput, window);
    EXPECT_EQ(RunCli({"diagnose"}), 0);
    // The first two lines; the diagnosis's rows follow alike.
    if (window) {
      EXPECT_EQ(ws.console().Characters(StdStream::kOutput).substr(0, 49),
                u"检查windows补丁是否有影响: 正常\r\n检查浏览器的UserAgent信息是否正常: 正常\r\n");
      EXPECT_EQ(ws.console().Bytes(StdStream::kOutput), "");
    } else {
      EXPECT_EQ(ws.console().Bytes(StdStream::kOutput).substr(0, 49),
                "??windows???????: ??\r\n??????UserAgent??????: ??\r\n");
    }
  }
}

// The document is UTF-8 however the console would take text: 异常 is e5 bc 82 e5 b8 b8 there,
// not code page 936's d2 ec b3 a3 nor question marks.
TEST(CliConsole, JsonIsUtf8WhateverTheConsole) {
  for (const bool window : {false, true}) {
    SCOPED_TRACE(window ? "a console window" : "a file in code page 437");
    platform::sim::Workstation ws;
    healthy_client::Seed(ws);
    ws.registry().SetDword(RegRoot::kLocalMachine, kSchannel, kRenego, 1);
    ws.console().SetOutputCodePage(437).SetConsoleWindow(StdStream::kOutput, window);
    EXPECT_EQ(RunCli({"diagnose", "--json"}), 1);
    const std::string document = ws.console().Bytes(StdStream::kOutput);
    EXPECT_NE(document.find("\xe5\xbc\x82\xe5\xb8\xb8"), std::string::npos);
    EXPECT_TRUE(ReadJson(document).parsed);
  }
}

// Output that cannot be written changes nothing of what the command does or returns.
TEST_F(Cli, LostOutputLeavesTheExitCode) {
  SeedAbnormalRenego();
  ws_.console()
      .FailWrites(StdStream::kOutput, ERROR_NO_DATA)
      .FailWrites(StdStream::kError, ERROR_NO_DATA);
  EXPECT_EQ(RunCli({"diagnose"}), 1);
  EXPECT_EQ(RunCli({"diagnose", "--json"}), 1);
  EXPECT_EQ(RunCli({"diagnose", "--bogus"}), 64);
  EXPECT_EQ(Out(), "");
}

// ---- repair ---------------------------------------------------------------------------------

TEST_F(Cli, RepairPutsBothItemsRightAndReportsBeforeAndAfter) {
  SeedAbnormalRenego();
  SeedAbnormalUserAgent();
  EXPECT_EQ(RunCli({"repair", "--json"}), 0);
  EXPECT_EQ(ws_.registry().Value(RegRoot::kLocalMachine, kSchannel, kRenego),
            (platform::sim::RegValue{REG_DWORD, std::string(4, '\0')}));
  EXPECT_EQ(ws_.registry().Value(RegRoot::kCurrentUser, kUserAgent, "Compatible"),
            (platform::sim::RegValue{REG_SZ, std::string("compatible;Mozilla/4.0", 23)}));
  const JsonFields json = Json();
  EXPECT_EQ(json["command"], "s:repair");
  EXPECT_EQ(json["exit_code"], "0");
  EXPECT_EQ(json["repairs.#"], std::to_string(kItems));
  for (const std::string item : {"repairs.0.", "repairs.1."}) {
    SCOPED_TRACE(item);
    EXPECT_EQ(json[item + "before.state"], "s:abnormal");
    EXPECT_EQ(json[item + "before.code"], "1");
    EXPECT_EQ(json[item + "before.text"], JsonString(u8"异常"));
    EXPECT_EQ(json[item + "repair.ran"], "true");
    EXPECT_EQ(json[item + "repair.code"], "0");
    EXPECT_EQ(json[item + "after.state"], "s:normal");
    EXPECT_EQ(json[item + "after.text"], JsonString(u8"正常"));
  }
  EXPECT_EQ(json["repairs.0.id"], "s:tls_renegotiation");
  EXPECT_EQ(json["repairs.1.title"], JsonString(u8"检查浏览器的UserAgent信息是否正常"));
}

TEST_F(Cli, RepairTextShowsEachItemBeforeAndAfter) {
  SeedAbnormalUserAgent();
  EXPECT_EQ(RunCli({"repair"}), 0);
  EXPECT_EQ(Out(), std::string(kRenegoTitle) + ": 正常 -> 正常\r\n" + kUserAgentTitle +
                       ": 异常 -> 正常\r\n" + NormalRowLines("正常 -> 正常"));
  // As after 一键诊断 in the dialog, a repair whose item was normal is not called.
  const std::vector<std::string> traces = ws_.Traces();
  EXPECT_EQ(std::count(traces.begin(), traces.end(), "FixKB977377\r\n"), 0);
  EXPECT_EQ(std::count(traces.begin(), traces.end(), "FixIEUserAgent\r\n"), 1);
}

TEST_F(Cli, RepairThatCannotWriteLeavesItsItemAbnormal) {
  SeedAbnormalRenego();
  ws_.registry().Fail(RegCall::kSetValue, ERROR_ACCESS_DENIED, kSchannel);
  EXPECT_EQ(RunCli({"repair", "--json"}), 1);
  const JsonFields json = Json();
  EXPECT_EQ(json["repairs.0.repair.ran"], "true");
  EXPECT_EQ(json["repairs.0.repair.code"], "1");
  EXPECT_EQ(json["repairs.0.after.state"], "s:abnormal");
  EXPECT_EQ(json["repairs.1.repair.ran"], "false");
  EXPECT_EQ(json["repairs.1.repair.code"], "0");
}

// The repair's message box goes to the standard error, and the repair goes on as after OK.
TEST_F(Cli, RepairMessageBoxGoesToStandardError) {
  ws_.registry().SetString(RegRoot::kCurrentUser, kUserAgent, "Compatible", std::string(300, 'x'));
  EXPECT_EQ(RunCli({"repair", "--json"}), 1);
  EXPECT_EQ(Err(),
            "waring:The length of compatible is more than 260,please check by yourself!\r\n");
  EXPECT_TRUE(ws_.MessageBoxes().empty()) << "no box on the desktop";
  const JsonFields json = Json();
  EXPECT_EQ(json["repairs.1.repair.code"], "-1");
  EXPECT_EQ(json["repairs.1.after.state"], "s:abnormal");
}

struct NoRightsCase {
  const char* name;
  std::vector<platform::TokenGroup> groups;
};

void PrintTo(const NoRightsCase& c, std::ostream* os) { *os << c.name; }

const NoRightsCase kNoRightsCases[] = {
    {"NotElevated", {{"S-1-1-0", 7}, {"S-1-5-32-544", SE_GROUP_USE_FOR_DENY_ONLY}}},
    {"NoAdministrator", {{"S-1-1-0", 7}, {"S-1-5-32-545", 7}}},
    {"GroupPresentButDisabled", {{"S-1-1-0", 7}, {"S-1-5-32-544", 0}}},
};

class RepairWithoutRights : public Cli, public ::testing::WithParamInterface<NoRightsCase> {};

TEST_P(RepairWithoutRights, ChangesNothingAndSaysSo) {
  SeedAbnormalRenego();
  SeedAbnormalUserAgent();
  ws_.identity().SetTokenGroups(GetParam().groups);
  const int writesBefore = ws_.registry().WriteCount();
  EXPECT_EQ(RunCli({"repair", "--json"}), 3);
  EXPECT_EQ(ws_.registry().WriteCount(), writesBefore);
  EXPECT_TRUE(ws_.Traces().empty()) << "no check or repair ran";
  EXPECT_EQ(Err(), "需要管理员权限：请以管理员身份运行。没有做任何修改。\r\n");
  const JsonFields json = Json();
  EXPECT_EQ(json["elevated"], "false");
  EXPECT_EQ(json["exit_code"], "3");
  EXPECT_EQ(json["error"], JsonString(u8"需要管理员权限：请以管理员身份运行。没有做任何修改。"));
  EXPECT_EQ(json["repairs.#"], "(absent)");
}

INSTANTIATE_TEST_SUITE_P(Cli, RepairWithoutRights, ::testing::ValuesIn(kNoRightsCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Whichever read of the token fails, the document says the rights that the repair went by:
// elevated with the repairs made, or not elevated with nothing changed.
TEST(CliRights, RepairDocumentSaysTheRightsTheRepairWentBy) {
  std::vector<std::size_t> tokenReads;
  {
    platform::sim::Workstation ws;
    healthy_client::Seed(ws);
    ws.registry().SetDword(RegRoot::kLocalMachine, kSchannel, kRenego, 1);
    EXPECT_EQ(RunCli({"repair", "--json"}), 0);
    const std::vector<platform::sim::PlatformCall> calls = ws.calls().Calls();
    for (std::size_t n = 1; n <= calls.size(); ++n) {
      const std::string name = calls[n - 1].name;
      if (name == "OpenProcessToken" || name == "GetTokenInformation") tokenReads.push_back(n);
    }
  }
  ASSERT_FALSE(tokenReads.empty());
  for (const std::size_t n : tokenReads) {
    SCOPED_TRACE("call " + std::to_string(n) + " failing");
    platform::sim::Workstation ws;
    healthy_client::Seed(ws);
    ws.registry().SetDword(RegRoot::kLocalMachine, kSchannel, kRenego, 1);
    ws.calls().FailCall(n);
    const int exitCode = RunCli({"repair", "--json"});
    EXPECT_TRUE(ws.calls().FailedCallMade());
    const JsonFields json = ReadJson(ws.console().Bytes(StdStream::kOutput));
    EXPECT_EQ(json["exit_code"], std::to_string(exitCode));
    EXPECT_EQ(json["elevated"], exitCode == 3 ? "false" : "true");
    EXPECT_EQ(ws.registry().WriteCount() != 0, exitCode != 3);
  }
}

// ---- export ---------------------------------------------------------------------------------

constexpr char kTarget[] = "C:\\support files\\Vantik export.zip";

TEST_F(Cli, ExportWritesTheArchiveAndReportsItsEntriesAndCommands) {
  EXPECT_EQ(RunCli({"export", "--json", "--out", kTarget}), 0);
  const Archive archive = ReadArchive(ws_, kTarget);
  ASSERT_TRUE(archive.readable) << archive.error;
  EXPECT_TRUE(archive.unzipOk);
  ASSERT_EQ(Names(archive), (std::vector<std::string>{"Vantik.log", "WindowsUpdate.log"}));

  const JsonFields json = Json();
  EXPECT_EQ(json["command"], "s:export");
  EXPECT_EQ(json["exit_code"], "0");
  EXPECT_EQ(json["export.archive"], std::string("s:") + kTarget);
  EXPECT_EQ(json["export.written"], "true");
  EXPECT_EQ(json["export.complete"], "true");
  EXPECT_EQ(json["export.message"], JsonString(u8"导出完毕!"));
  ASSERT_EQ(json["export.entries.#"], "2");
  for (std::size_t i = 0; i < 2; ++i) {
    const std::string entry = "export.entries." + std::to_string(i) + ".";
    SCOPED_TRACE(entry);
    EXPECT_EQ(json[entry + "name"], "s:" + archive.entries[i].name);
    EXPECT_EQ(json[entry + "size"], std::to_string(archive.entries[i].size));
    EXPECT_EQ(json[entry + "crc32"], std::to_string(archive.entries[i].crc));
  }
  const std::vector<ShellCall> calls = ws_.shell().Calls();
  ASSERT_EQ(calls.size(), 3u);
  ASSERT_EQ(json["export.commands.#"], "3");
  const char* const ids[] = {"hotfix_list", "network_config", "dns_cache"};
  for (std::size_t i = 0; i < 3; ++i) {
    const std::string command = "export.commands." + std::to_string(i) + ".";
    SCOPED_TRACE(command);
    EXPECT_EQ(json[command + "id"], std::string("s:") + ids[i]);
    EXPECT_EQ(json[command + "command_line"],
              "s:\"C:\\WINDOWS\\system32\\cmd.exe\" " + calls[i].parameters);
    EXPECT_EQ(json[command + "started"], "true");
    EXPECT_EQ(json[command + "finished"], "true");
    EXPECT_EQ(json[command + "exit_code"], "0");
    // Nobody is there to answer a request for elevation, even on Windows 7.
    EXPECT_EQ(calls[i].verb, "open");
  }
  // The steps as the progress dialog shows them, in the console's code page.
  EXPECT_EQ(Err(),
            "[1/5] 正在导出基本信息...\r\n[2/5] 正在导出补丁信息...\r\n[3/5] 正在导出SPI信息...\r\n"
            "[4/5] 正在导出DNS信息...\r\n[5/5] 正在生成报告...\r\n");
  EXPECT_TRUE(ws_.SaveAsCalls().empty()) << "no dialog: the path was the answer";
  EXPECT_EQ(ExportTraces(),
            (std::vector<std::string>{"export dignose Info.", "Exporting Info\r\n",
                                      "Exporting SPI Info\r\n", "Exporting DNS Info\r\n"}));
}

// A command that does not start, or is still running when its capture stops waiting, has no
// exit code to report; the rest of the export goes on.
TEST_F(Cli, ExportReportsCommandsThatDidNotStartOrFinish) {
  ws_.shell().SetHandler([](const ShellCall& call, platform::sim::Files& files) {
    if (call.parameters.find("displaydns") != std::string::npos) return ShellOutcome{2, 0};
    ShellOutcome outcome = export_test::EchoCommands(call, files);
    if (call.parameters.find("wmic") != std::string::npos) {
      outcome.runsMilliseconds = platform::sim::kRunsForever;
    }
    return outcome;
  });
  EXPECT_EQ(RunCli({"export", "--json", "--out", kTarget}), 0);
  const JsonFields json = Json();
  const std::vector<std::vector<std::string>> expected = {
      // id, started, finished, exit_code
      {"s:hotfix_list", "true", "false", "null"},
      {"s:network_config", "true", "true", "0"},
      {"s:dns_cache", "false", "false", "null"},
  };
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const std::string command = "export.commands." + std::to_string(i) + ".";
    SCOPED_TRACE(command);
    EXPECT_EQ(json[command + "id"], expected[i][0]);
    EXPECT_EQ(json[command + "started"], expected[i][1]);
    EXPECT_EQ(json[command + "finished"], expected[i][2]);
    EXPECT_EQ(json[command + "exit_code"], expected[i][3]);
  }
}

TEST_F(Cli, ExportWithoutOutNamesTheComputerAndTheTimeInTheCurrentFolder) {
  ws_.files().SetCurrentFolder("D:\\field work\\");
  EXPECT_EQ(RunCli({"export"}), 0);
  const std::string archive = "D:\\field work\\Vantik-VANTIK-PC-20260314-092653.zip";
  EXPECT_TRUE(ReadArchive(ws_, archive).readable);
  const std::string text = "导出完毕!\r\n" + archive + "\r\n";
  EXPECT_EQ(Out(), text);

  ws_.SetComputerName(std::nullopt);
  ws_.SetLocalTime(platform::LocalTime{2027, 1, 2, 3, 4, 5});
  EXPECT_EQ(RunCli({"export", "--json"}), 0);
  EXPECT_EQ(Json(text.size())["export.archive"], "s:D:\\field work\\Vantik-20270102-030405.zip");
}

TEST_F(Cli, ExportOutIsTakenFromTheCurrentFolder) {
  ws_.files().SetCurrentFolder("C:\\work\\");
  EXPECT_EQ(RunCli({"export", "--out=out.zip", "--json"}), 0);
  EXPECT_EQ(Json()["export.archive"], "s:C:\\work\\out.zip");
  EXPECT_TRUE(ReadArchive(ws_, "C:\\work\\out.zip").readable);
}

// An existing file stays, and nothing else happens either: no report, no command, no folder.
TEST_F(Cli, ExportRefusesToOverwrite) {
  ws_.files().AddFile(kTarget, export_test::kOlderArchive);
  const std::vector<std::string> before = ws_.files().Paths();
  EXPECT_EQ(RunCli({"export", "--out", kTarget, "--json"}), 2);
  EXPECT_EQ(ws_.files().Contents(kTarget), export_test::kOlderArchive);
  EXPECT_EQ(ws_.files().Paths(), before);
  EXPECT_TRUE(ws_.files().Folders().empty());
  EXPECT_TRUE(ws_.shell().Calls().empty());
  EXPECT_TRUE(ExportTraces().empty());
  const std::string message = std::string("文件已存在：") + kTarget +
                              "\r\n没有导出，已有的文件保持不变；要替换它，请加 --force。\r\n";
  EXPECT_EQ(Err(), message);
  const JsonFields json = Json();
  EXPECT_EQ(json["exit_code"], "2");
  EXPECT_EQ(json["error"],
            JsonString(Utf8(u8"文件已存在：") + kTarget +
                       Utf8(u8"\r\n没有导出，已有的文件保持不变；要替换它，请加 --force。")));
  EXPECT_EQ(json["export.written"], "false");
  EXPECT_EQ(json["export.message"], "null");

  // Told to, it replaces the file.
  EXPECT_EQ(RunCli({"export", "--out", kTarget, "--force"}), 0);
  EXPECT_TRUE(ReadArchive(ws_, kTarget).readable);
}

// A file that appears at the target while the export runs is kept as well.
TEST_F(Cli, ExportKeepsAFileThatAppearedMeanwhile) {
  ws_.shell().SetHandler([](const ShellCall& call, platform::sim::Files& files) {
    files.AddFile(kTarget, "someone else's");
    return export_test::EchoCommands(call, files);
  });
  EXPECT_EQ(RunCli({"export", "--out", kTarget, "--json"}), 2);
  EXPECT_EQ(ws_.files().Contents(kTarget), "someone else's");
  const JsonFields json = Json();
  EXPECT_EQ(json["export.written"], "false");
  EXPECT_EQ(json["export.entries.#"], "0");
  EXPECT_EQ(json["export.message"],
            JsonString(u8"导出失败!\r\n压缩文件写入失败，文件已存在! 错误代码 [183]"));
  for (const std::string& path : ws_.files().Paths()) {
    EXPECT_EQ(path.find("Vantik export.zip~"), std::string::npos) << path << " left behind";
  }
}

// A path the export refuses is not asked for again: the command ends, it does not hang.
TEST_F(Cli, ExportOfAPathTooLongEnds) {
  const std::string target = "C:\\" + std::string(300, 'a') + ".zip";
  EXPECT_EQ(RunCli({"export", "--out", target}), 2);
  EXPECT_FALSE(ws_.files().Contents(target).has_value());
  const std::string tooLong = "文件路径过长，请选择较短的路径!\r\n";
  const std::size_t said = Err().find(tooLong);
  EXPECT_NE(said, std::string::npos) << Err();
  EXPECT_EQ(Err().find(tooLong, said + tooLong.size()), std::string::npos) << "said once";
  EXPECT_EQ(Out(), "导出已停止，未写入压缩文件!\r\n");
}

// ---- usage ----------------------------------------------------------------------------------

TEST(CliUsage, BadUsageWritesTheUsageAndDoesNothing) {
  const struct {
    std::vector<std::string> arguments;
    const char* problem;
  } cases[] = {
      {{"diagnose", "--verbose"}, "未知的选项：--verbose\r\n"},
      {{"export", "--out"}, "选项缺少值：--out\r\n"},
      {{"repair", "--json", "--force"}, "只有 export 命令有这个选项：--force\r\n"},
      {{}, "缺少命令。\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.problem);
    platform::sim::Workstation ws;
    EXPECT_EQ(RunCli(c.arguments), 64);
    const std::string err = ws.console().Bytes(StdStream::kError);
    EXPECT_EQ(err.substr(0, std::string(c.problem).size()), c.problem);
    EXPECT_NE(err.find("用法: vantik-cli <命令> [选项]"), std::string::npos);
    EXPECT_EQ(ws.console().Bytes(StdStream::kOutput), "");
    EXPECT_TRUE(ws.Traces().empty());
    EXPECT_EQ(ws.registry().WriteCount(), 0);
    EXPECT_TRUE(ws.shell().Calls().empty());
  }
}

TEST(CliHelp, NamesEveryCommandOptionAndExitCode) {
  platform::sim::Workstation ws;
  EXPECT_EQ(RunCli({"--help"}), 0);
  const std::string usage = ws.console().Bytes(StdStream::kOutput);
  for (const char* word :
       {" diagnose ", " repair ", " export ", " --help ", " --version ", " --json ", " --out FILE ",
        " --force ", "\r\n  0 ", "\r\n  1 ", "\r\n  2 ", "\r\n  3 ", "\r\n  64 "}) {
    EXPECT_NE(usage.find(word), std::string::npos) << word;
  }
  EXPECT_EQ(ws.console().Bytes(StdStream::kError), "");
}

TEST(CliVersion, TextAndJson) {
  platform::sim::Workstation ws;
  EXPECT_EQ(RunCli({"--version"}), 0);
  EXPECT_EQ(ws.console().Bytes(StdStream::kOutput), "vantik-cli 1.0.0.0\r\n");
}

TEST_F(Cli, VersionJson) {
  DropElevation();
  EXPECT_EQ(RunCli({"--version", "--json"}), 0);
  const JsonFields json = Json();
  EXPECT_EQ(json["command"], "s:version");
  EXPECT_EQ(json["version"], "s:1.0.0.0");
  EXPECT_EQ(json["elevated"], "false");
  EXPECT_EQ(json["exit_code"], "0");
}

}  // namespace
