#include "cli/cli_output.h"

#include "collect/system_section.h"
#include "platform/code_page.h"
#include "platform/settings_user.h"
#include "platform/system_info.h"
#include "platform/win32_codes.h"
#include "res/version.h"
#include "text/text_table.h"

namespace cli {

using namespace text;

namespace {

using Json = nlohmann::ordered_json;

constexpr char kLineEnd[] = "\r\n";

// The program's own texts are code page 936; what the system gave is in its ANSI code page.
std::string Program(const std::string& text) {
  return platform::ToUtf8(text, platform::kCodePageGbk);
}
std::string System(const std::string& text) {
  return platform::ToUtf8(text, platform::AnsiCodePage());
}

const char* StateName(CheckState state) {
  switch (state) {
    case CheckState::kNormal:
      return "normal";
    case CheckState::kAbnormal:
      return "abnormal";
    case CheckState::kFailed:
      break;
  }
  return "failed";
}

// What a row found: each finding with its texts in the program's code page, its evidence in the
// system's (it quotes names and paths the system gave).
Json Findings(const CheckResult& check) {
  Json list = Json::array();
  for (const diagnosis::Finding& finding : check.findings) {
    const diagnosis::FindingKind& kind = diagnosis::KindOf(finding.id);
    list.push_back(Json{{"id", kind.key},
                        {"severity", diagnosis::SeverityKey(kind.severity)},
                        {"breaks_vpn", kind.breaksVpn},
                        {"title", Program(GetText(kind.title))},
                        {"evidence", System(finding.evidence)},
                        {"next_step", Program(GetText(kind.nextStep))}});
  }
  return list;
}

// A check's result alone, and with what it is.
Json CheckOutcome(const CheckResult& check) {
  return Json{{"state", StateName(StateOfResult(check.code))},
              {"code", check.code},
              {"text", Program(check.resultText)},
              {"findings", Findings(check)}};
}
Json Check(const CheckResult& check) {
  Json json{{"id", check.id}, {"title", Program(check.title)}};
  json.update(CheckOutcome(check));
  return json;
}

// As ShellExecuteEx puts the command line together.
std::string CommandLine(const report::CommandRun& run) {
  if (run.program.empty()) return {};
  return "\"" + run.program + "\" " + run.parameters;
}

}  // namespace

std::string UsageText() {
  return Program(
      "用法: vantik-cli <命令> [选项]\r\n"
      "\r\n"
      "命令（每次一个）:\r\n"
      "  diagnose     运行各项检查（同“一键诊断”），每项一行：检查项和结果\r\n"
      "  repair       运行各项修复（同“一键修复”），再检查一次，列出每项修复前后的状态；\r\n"
      "               需要管理员权限\r\n"
      "  export       导出诊断信息压缩包（同“导出信息”），默认写到当前文件夹中的\r\n"
      "               Vantik-<计算机名>-<yyyyMMdd-HHmmss>.zip\r\n"
      "  --help       显示本说明\r\n"
      "  --version    显示版本\r\n"
      "\r\n"
      "选项:\r\n"
      "  --json       在标准输出上写一个 UTF-8 的 JSON 文档，代替文本行\r\n"
      "  --out FILE   export: 压缩包写到 FILE（也可写作 --out=FILE）\r\n"
      "  --force      export: FILE 已存在时覆盖它；不加时保留已有的文件，导出失败\r\n"
      "\r\n"
      "退出码:\r\n"
      "  0   每项检查都正常（diagnose、repair），或压缩包已完整写入（export）\r\n"
      "  1   至少一项检查异常\r\n"
      "  2   检查或导出无法完成\r\n"
      "  3   需要管理员权限，但没有\r\n"
      "  64  用法错误（未知的命令或选项、缺少值）；什么也不做\r\n");
}

std::string UsageProblemText(const ParsedArguments& parsed) {
  std::string message;
  switch (parsed.problem) {
    case UsageProblem::kNone:
      return {};
    case UsageProblem::kNoCommand:
      return Program("缺少命令。") + kLineEnd;
    case UsageProblem::kUnknownCommand:
      message = "未知的命令：";
      break;
    case UsageProblem::kSecondCommand:
      message = "每次只能执行一个命令：";
      break;
    case UsageProblem::kUnknownOption:
      message = "未知的选项：";
      break;
    case UsageProblem::kMissingValue:
      message = "选项缺少值：";
      break;
    case UsageProblem::kRepeatedOption:
      message = "选项重复：";
      break;
    case UsageProblem::kOptionNotForCommand:
      message = "只有 export 命令有这个选项：";
      break;
  }
  return Program(message) + System(parsed.argument) + kLineEnd;
}

std::string VersionText() { return std::string("vantik-cli ") + VANTIK_VERSION_TEXT + kLineEnd; }

std::string DiagnoseText(const std::vector<CheckResult>& checks) {
  std::string text;
  for (const CheckResult& check : checks) {
    text += Program(check.title + ": " + check.resultText) + kLineEnd;
  }
  return text;
}

std::string RepairText(const std::vector<RepairResult>& items) {
  std::string text;
  for (const RepairResult& item : items) {
    text += Program(item.before.title + ": " + item.before.resultText + " -> " +
                    item.after.resultText) +
            kLineEnd;
  }
  return text;
}

std::string ExportText(const ExportResult& result) {
  // An export that never came to its archive (a path refused by the export) says so too.
  std::string text =
      Program(result.closing ? *result.closing : GetText(TEXT_EXPORT_STOPPED)) + kLineEnd;
  if (result.outcome.pack.placed) text += System(result.archive) + kLineEnd;
  return text;
}

std::string NeedsAdminText() {
  return Program("需要管理员权限：请以管理员身份运行。没有做任何修改。");
}

std::string ExportRefusalText(const ExportResult& result) {
  if (result.pathError != ERROR_SUCCESS) {
    return Program("无法确定压缩包的位置：") + System(result.archive) + " " +
           Program(GetText(TEXT_ERROR_CODE)) + " [" + std::to_string(result.pathError) + "]";
  }
  if (result.refused) {
    return Program("文件已存在：") + System(result.archive) + kLineEnd +
           Program("没有导出，已有的文件保持不变；要替换它，请加 --force。");
  }
  return {};
}

std::string MessageLine(const std::string& message) { return message + kLineEnd; }

Json JsonDocument(const char* command, bool elevated, int exitCode, const std::string& error) {
  Json document{{"program", "vantik-cli"}, {"version", VANTIK_VERSION_TEXT}, {"command", command}};
  platform::VersionInfo version;
  if (platform::GetWindowsVersion(&version)) {
    document["windows"] = Json{{"name", System(collect::WindowsVersionText(version))},
                               {"major", version.major},
                               {"minor", version.minor},
                               {"build", version.build},
                               {"service_pack", version.servicePackMajor}};
  } else {
    document["windows"] = nullptr;
  }
  document["elevated"] = elevated;
  // Whose per-user settings the command read and wrote, when not simply the process's own.
  if (const platform::SettingsUser& user = platform::CurrentSettingsUser(); !user.IsPlain()) {
    document["user"] =
        Json{{"name", user.account.empty() ? Json(nullptr) : Json(System(user.account))},
             {"sid", user.sid.empty() ? Json(nullptr) : Json(user.sid)},
             {"from_desktop", user.fromDesktop}};
  }
  document["exit_code"] = exitCode;
  if (!error.empty()) document["error"] = error;
  return document;
}

void AddChecks(Json& document, const std::vector<CheckResult>& checks) {
  Json list = Json::array();
  for (const CheckResult& check : checks) list.push_back(Check(check));
  document["checks"] = std::move(list);
}

void AddRepairs(Json& document, const std::vector<RepairResult>& items) {
  Json list = Json::array();
  for (const RepairResult& item : items) {
    list.push_back(Json{{"id", item.before.id},
                        {"title", Program(item.before.title)},
                        {"before", CheckOutcome(item.before)},
                        {"repair", Json{{"ran", item.ran}, {"code", item.code}}},
                        {"after", CheckOutcome(item.after)}});
  }
  document["repairs"] = std::move(list);
}

void AddExport(Json& document, const ExportResult& result) {
  const report::PackOutcome& pack = result.outcome.pack;
  Json entries = Json::array();
  for (const report::ArchiveEntry& entry : pack.entries) {
    entries.push_back(
        Json{{"name", System(entry.name)}, {"size", entry.size}, {"crc32", entry.crc32}});
  }
  Json commands = Json::array();
  for (const report::CapturedCommand& command : result.outcome.commands) {
    // A command still running at the time limit has no exit code yet: never a 0 that reads
    // as success.
    const bool ended = command.run.started && command.run.finished;
    commands.push_back(Json{{"id", command.id},
                            {"command_line", System(CommandLine(command.run))},
                            {"started", command.run.started},
                            {"finished", ended},
                            {"exit_code", ended ? Json(command.run.exitCode) : Json(nullptr)}});
  }
  document["export"] = Json{
      {"archive", System(result.archive)},
      {"written", pack.placed},
      {"complete", report::ExportIsComplete(result.outcome)},
      {"message", result.closing ? Json(Program(*result.closing)) : Json(nullptr)},
      {"entries", std::move(entries)},
      {"commands", std::move(commands)},
  };
}

std::string JsonText(const Json& document) {
  return document.dump(2, ' ', false, Json::error_handler_t::replace) + kLineEnd;
}

}  // namespace cli
