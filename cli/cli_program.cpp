#include "cli/cli_program.h"

#include <functional>

#include "cli/cli_arguments.h"
#include "cli/cli_commands.h"
#include "cli/cli_output.h"
#include "cli/elevation.h"
#include "platform/console.h"
#include "platform/settings_user.h"

namespace cli {

namespace {

using platform::StdStream;
using Json = nlohmann::ordered_json;

void Write(StdStream stream, const std::string& text) {
  // Nowhere to say that the output is gone: the exit code still tells.
  (void)platform::WriteText(stream, text);
}

// The command's results: the JSON document, or its text lines. The document is made only when
// it is asked for, as it asks Windows for its version and the process's rights.
void Report(const CliRequest& request, const std::function<Json()>& document,
            const std::string& text) {
  if (request.json) {
    (void)platform::WriteBytes(StdStream::kOutput, JsonText(document()));
  } else {
    Write(StdStream::kOutput, text);
  }
}

// The checks, the repairs and the export read and write the per-user settings of the desktop's
// user: each command finds them first, as the dialog program does when it starts.
int Diagnose(const CliRequest& request) {
  const platform::FollowDesktopUser desktopUser;
  const std::vector<CheckResult> checks = DiagnoseWorkstation();
  const int exitCode = ExitCodeForChecks(checks);
  const auto document = [&] {
    Json json = JsonDocument("diagnose", ProcessIsElevated(), exitCode, "");
    AddChecks(json, checks);
    return json;
  };
  Report(request, document, DiagnoseText(checks));
  return exitCode;
}

int Repair(const CliRequest& request) {
  const platform::FollowDesktopUser desktopUser;
  // Asked once: the document says what the command went by.
  const bool elevated = ProcessIsElevated();
  if (!elevated) {
    // Nothing is checked or changed: the repairs would only fail half way.
    const std::string message = NeedsAdminText();
    Write(StdStream::kError, MessageLine(message));
    if (request.json) {
      Report(
          request, [&] { return JsonDocument("repair", elevated, kExitNeedsAdmin, message); }, "");
    }
    return kExitNeedsAdmin;
  }
  const std::vector<RepairResult> items = RepairWorkstation();
  std::vector<CheckResult> after;
  for (const RepairResult& item : items) after.push_back(item.after);
  const int exitCode = ExitCodeForChecks(after);
  const auto document = [&] {
    Json json = JsonDocument("repair", elevated, exitCode, "");
    AddRepairs(json, items);
    return json;
  };
  Report(request, document, RepairText(items));
  return exitCode;
}

int Export(const CliRequest& request) {
  const platform::FollowDesktopUser desktopUser;
  const ExportResult result = ExportArchive(request.out, request.force);
  const int exitCode = ExitCodeForExport(result);
  const std::string refusal = ExportRefusalText(result);
  if (!refusal.empty()) Write(StdStream::kError, MessageLine(refusal));
  const auto document = [&] {
    Json json = JsonDocument("export", ProcessIsElevated(), exitCode, refusal);
    AddExport(json, result);
    return json;
  };
  Report(request, document, refusal.empty() ? ExportText(result) : "");
  return exitCode;
}

}  // namespace

int RunCli(const std::vector<std::string>& arguments) {
  const ParsedArguments parsed = ParseArguments(arguments);
  if (parsed.problem != UsageProblem::kNone) {
    Write(StdStream::kError, UsageProblemText(parsed) + UsageText());
    return kExitUsage;
  }
  const CliRequest& request = parsed.request;
  switch (request.command) {
    case CliCommand::kHelp:
      Write(StdStream::kOutput, UsageText());
      return kExitNormal;
    case CliCommand::kVersion:
      Report(
          request, [] { return JsonDocument("version", ProcessIsElevated(), kExitNormal, ""); },
          VersionText());
      return kExitNormal;
    case CliCommand::kDiagnose:
      return Diagnose(request);
    case CliCommand::kRepair:
      return Repair(request);
    case CliCommand::kExport:
      return Export(request);
    case CliCommand::kNone:
      break;
  }
  return kExitUsage;
}

}  // namespace cli
