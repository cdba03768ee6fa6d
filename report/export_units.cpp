#include "report/export_units.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "platform/prompt.h"
#include "platform/task_claim.h"
#include "platform/trace.h"
#include "platform/win32_codes.h"
#include "report/archive_packer.h"
#include "report/command_capture.h"
#include "report/export_state.h"
#include "report/page_info.h"
#include "text/text_table.h"

std::string g_strExportTempDir;
std::string g_strExportZipPath;
std::string g_strExportLogPath;
std::vector<ExportFile> g_exportFiles;
std::shared_ptr<ExportRun> g_exportRun;
ExportOutcome g_exportOutcome;
ExportOptions g_exportOptions;

namespace {

constexpr char kHotfixName[] = "WindowsUpdate.log";

// The log path as the units before left it, and a share of the run, so that its folder stays
// while the unit's command writes there; nothing when this run has been abandoned.
bool ReadLogPath(std::string& path, std::shared_ptr<ExportRun>& run) {
  return platform::RunWhileClaimed([&] {
    path = g_strExportLogPath;
    run = g_exportRun;
  });
}

// What a capture that tried its command did, for the run's outcome.
void NoteCommand(const char* id, CommandRun command) {
  platform::RunWhileClaimed([&] {
    g_exportOutcome.commands.push_back(CapturedCommand{id, std::move(command)});
  });
}

// The log's line for a command that was still running when its capture stopped waiting, after an
// empty line: what the command wrote may end anywhere. Appended beside the command, which may
// still be writing there too; traced as well, for a shell that lets no one else write there.
static_assert(kCaptureTimeLimit == 120000, "the note and its trace say 120 seconds");

void NoteUnfinished(const std::string& logPath, const CommandRun& command) {
  if (command.finished) return;
  platform::DebugTrace(
      ("Command not finished within 120 seconds: " + command.name + "\r\n").c_str());
  if (logPath.empty()) return;
  const std::string line =
      std::string("\r\n") + GetText(TEXT_COMMAND_NOT_FINISHED) + " " + command.name + "\r\n";
  platform::File log;
  if (log.OpenForAppending(logPath.c_str()) != ERROR_SUCCESS) return;
  (void)log.Write(line.data(), static_cast<std::uint32_t>(line.size()));
  (void)log.Close();
}

int CaptureIntoLog(int (*capture)(const std::string&, CommandRun*), const char* id,
                   const char* trace) {
  std::string logPath;
  std::shared_ptr<ExportRun> run;
  if (!ReadLogPath(logPath, run)) return -1;
  CommandRun command;
  const int result = capture(logPath, &command);
  NoteUnfinished(logPath, command);
  platform::DebugTrace(trace);
  if (!logPath.empty()) NoteCommand(id, std::move(command));
  return result;
}

}  // namespace

int ExportBasicInfo() {
  CPageInfo page;
  const int result = page.ExportLog();
  platform::DebugTrace("Exporting Info\r\n");
  return result;
}

int ExportPatchInfo() {
  std::string folder;
  std::string logPath;
  std::shared_ptr<ExportRun> run;
  if (!platform::RunWhileClaimed([&] {
        folder = g_strExportTempDir;
        logPath = g_strExportLogPath;
        run = g_exportRun;
      })) {
    return -1;
  }
  // Without the run's folder (no log, or no Save As answer) there is nothing to add to.
  const std::string path = folder.empty() ? std::string() : folder + kHotfixName;
  CommandRun command;
  const int result = CaptureHotfixList(path, &command);
  NoteUnfinished(logPath, command);
  if (path.empty()) return result;
  const bool produced = !platform::IsNotThere(platform::LookUpPath(path.c_str()));
  platform::RunWhileClaimed([&] {
    g_exportFiles.push_back(ExportFile{path, kHotfixName});
    if (!produced) g_exportOutcome.notProduced.push_back(UnpackedFile{kHotfixName, 0});
    g_exportOutcome.commands.push_back(CapturedCommand{"hotfix_list", std::move(command)});
  });
  return result;
}

int ExportSpiInfo() {
  return CaptureIntoLog(CaptureNetworkConfig, "network_config", "Exporting SPI Info\r\n");
}

int ExportDnsInfo() {
  return CaptureIntoLog(CaptureDnsCache, "dns_cache", "Exporting DNS Info\r\n");
}

int ExportPackage() {
  std::string zipPath;
  std::vector<ExportFile> files;
  TargetPolicy target = TargetPolicy::kReplace;
  std::shared_ptr<ExportRun> run;  // the run ends with this unit: its folder goes on return
  if (!platform::RunWhileClaimed([&] {
        zipPath = g_strExportZipPath;
        files = g_exportFiles;
        target = g_exportOptions.target;
        run = std::move(g_exportRun);
      })) {
    return 0;
  }
  // No archive without a log: the target stays as it was.
  if (zipPath.empty()) return 0;
  return PackExportFiles(zipPath, files, &g_exportOutcome.pack, target);
}

void BeginExport(const ExportOptions& options) {
  platform::RunWhileClaimed([&] {
    g_exportOutcome = ExportOutcome{};
    g_exportOptions = options;
  });
}

std::optional<std::string> FinishExport(ExportOutcome* outcome) {
  std::shared_ptr<ExportRun> run;
  ExportOutcome finished;
  platform::RunWhileClaimed([&] {
    run = std::move(g_exportRun);
    finished = g_exportOutcome;
  });
  run.reset();
  std::optional<std::string> message = ClosingMessage(finished);
  if (outcome != nullptr) *outcome = std::move(finished);
  return message;
}

void RunExport(const std::function<void()>& runList, void* owner) {
  BeginExport();
  runList();
  // The run's real outcome; a cancelled Save As exported nothing and claims nothing.
  if (const auto message = FinishExport()) platform::ShowMessageBox(message->c_str(), owner);
}
