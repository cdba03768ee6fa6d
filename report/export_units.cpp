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

// The log's line for a command that was still running when its capture stopped waiting, after an
// empty line: what the command wrote may end anywhere. Appended beside the command, which may
// still be writing there too; traced as well, for a shell that lets no one else write there.
static_assert(kCaptureTimeLimit == 120000, "the note and its trace say 120 seconds");

void NoteUnfinished(const std::string& logPath, const std::string& command) {
  if (command.empty()) return;
  platform::DebugTrace(("Command not finished within 120 seconds: " + command + "\r\n").c_str());
  if (logPath.empty()) return;
  const std::string line =
      std::string("\r\n") + GetText(TEXT_COMMAND_NOT_FINISHED) + " " + command + "\r\n";
  platform::File log;
  if (log.OpenForAppending(logPath.c_str()) != ERROR_SUCCESS) return;
  (void)log.Write(line.data(), static_cast<std::uint32_t>(line.size()));
  (void)log.Close();
}

int CaptureIntoLog(int (*capture)(const std::string&, std::string*), const char* trace) {
  std::string logPath;
  std::shared_ptr<ExportRun> run;
  if (!ReadLogPath(logPath, run)) return -1;
  std::string unfinished;
  const int result = capture(logPath, &unfinished);
  NoteUnfinished(logPath, unfinished);
  platform::DebugTrace(trace);
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
  std::string unfinished;
  const int result = CaptureHotfixList(path, &unfinished);
  NoteUnfinished(logPath, unfinished);
  if (path.empty()) return result;
  const bool produced = !platform::IsNotThere(platform::LookUpPath(path.c_str()));
  platform::RunWhileClaimed([&] {
    g_exportFiles.push_back(ExportFile{path, kHotfixName});
    if (!produced) g_exportOutcome.notProduced.push_back(UnpackedFile{kHotfixName, 0});
  });
  return result;
}

int ExportSpiInfo() { return CaptureIntoLog(CaptureNetworkConfig, "Exporting SPI Info\r\n"); }

int ExportDnsInfo() { return CaptureIntoLog(CaptureDnsCache, "Exporting DNS Info\r\n"); }

int ExportPackage() {
  std::string zipPath;
  std::vector<ExportFile> files;
  std::shared_ptr<ExportRun> run;  // the run ends with this unit: its folder goes on return
  if (!platform::RunWhileClaimed([&] {
        zipPath = g_strExportZipPath;
        files = g_exportFiles;
        run = std::move(g_exportRun);
      })) {
    return 0;
  }
  // No archive without a log: the target stays as it was.
  if (zipPath.empty()) return 0;
  return PackExportFiles(zipPath, files, &g_exportOutcome.pack);
}

void BeginExport() {
  platform::RunWhileClaimed([] { g_exportOutcome = ExportOutcome{}; });
}

std::optional<std::string> FinishExport() {
  std::shared_ptr<ExportRun> run;
  ExportOutcome outcome;
  platform::RunWhileClaimed([&] {
    run = std::move(g_exportRun);
    outcome = g_exportOutcome;
  });
  run.reset();
  return ClosingMessage(outcome);
}

void RunExport(const std::function<void()>& runList, void* owner) {
  BeginExport();
  runList();
  // The run's real outcome; a cancelled Save As exported nothing and claims nothing.
  if (const auto message = FinishExport()) platform::ShowMessageBox(message->c_str(), owner);
}
