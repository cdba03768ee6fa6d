#include "report/export_run.h"

#include <cstdint>
#include <string_view>
#include <utility>

#include "platform/cp936.h"
#include "platform/files.h"
#include "platform/trace.h"
#include "platform/win32_codes.h"
#include "report/report.h"
#include "report/report_log.h"
#include "text/text_table.h"

namespace report {

using namespace text;

namespace {

constexpr char kLogName[] = "Vantik.log";
constexpr char kHotfixName[] = "WindowsUpdate.log";
constexpr std::uint32_t kTempBufferSize = 246;

// The temporary folder, or "" with the system's code in *error when it cannot be had. A folder
// longer than the usual buffer is read into one that fits rather than taken as empty (which
// would put the log in the current folder).
std::string TempFolder(long* error) {
  char buffer[kTempBufferSize] = {};
  const std::uint32_t length = platform::GetTempFolder(buffer, kTempBufferSize, error);
  if (length == 0) return {};
  if (length < kTempBufferSize) return std::string(buffer, length);
  std::vector<char> larger(length + 1, '\0');
  const std::uint32_t second = platform::GetTempFolder(larger.data(), length + 1, error);
  if (second == 0) return {};
  if (second > length) {  // it grew in between
    *error = ERROR_INSUFFICIENT_BUFFER;
    return {};
  }
  return std::string(larger.data(), second);
}

// The length in characters that the ANSI calls count: each double-byte character is one.
std::size_t CharacterCount(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t at = 0; at < text.size(); at += platform::cp936::CharLength(text, at)) ++count;
  return count;
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

}  // namespace

ExportRun::ExportRun(ExportOptions options) : options_(std::move(options)) {}

platform::SaveAsAnswer ExportRun::ChooseArchivePath(std::string* path, unsigned long* error) {
  // A given path is the one answer there is: once refused, the export is cancelled.
  bool given = options_.archivePath.has_value();
  for (;;) {
    platform::SaveAsAnswer answer = platform::SaveAsAnswer::kCancelled;
    if (!options_.archivePath) {
      answer = platform::AskSaveAsPath("Vantik.zip", "Zip Files (*.zip)|*.zip||", path, error);
    } else if (std::exchange(given, false)) {
      *path = *options_.archivePath;
      answer = platform::SaveAsAnswer::kConfirmed;
    }
    const bool tooLong = answer == platform::SaveAsAnswer::kTooLong ||
                         (answer == platform::SaveAsAnswer::kConfirmed &&
                          CharacterCount(*path) > kLongestArchivePath);
    if (!tooLong) return answer;
    platform::ShowMessageBox(GetText(TEXT_PATH_TOO_LONG));
  }
}

void ExportRun::End(ExportStatus status, long error) {
  claim_.RunWhileHeld([&] {
    state_.outcome.status = status;
    state_.outcome.error = error;
  });
}

int ExportRun::WriteLog() {
  const int result = ComposeAndWriteLog();
  platform::DebugTrace("Exporting Info\r\n");
  return result;
}

int ExportRun::ComposeAndWriteLog() {
  Report report;
  ComposeReport(report);

  long tempError = ERROR_SUCCESS;
  const std::string tempFolder = TempFolder(&tempError);
  if (tempFolder.empty()) {
    platform::ShowMessageBox("0Couldn't create the file!");
    End(ExportStatus::kLogFailed, tempError);
    return -1;
  }

  std::string archivePath;
  unsigned long dialogError = 0;
  switch (ChooseArchivePath(&archivePath, &dialogError)) {
    case platform::SaveAsAnswer::kConfirmed:
      break;
    case platform::SaveAsAnswer::kFailed:
      End(ExportStatus::kSaveAsFailed, static_cast<long>(dialogError));
      return -1;
    default:
      End(ExportStatus::kCancelled, ERROR_SUCCESS);
      return -1;
  }

  std::shared_ptr<RunFolder> folder;
  long created = RunFolder::Start(tempFolder, &folder);
  const std::string logPath = created == ERROR_SUCCESS ? folder->folder() + kLogName : "";
  platform::File log;
  if (created == ERROR_SUCCESS) created = log.CreateForWriting(logPath.c_str());
  if (created != ERROR_SUCCESS) {
    // Without a log there is nothing to pack: the target is left as it is.
    platform::ShowMessageBox("1Couldn't create the file!");
    End(ExportStatus::kLogFailed, created);
    return -1;
  }
  if (!claim_.RunWhileHeld([&] {
        folder_ = folder;
        state_.folder = folder->folder();
        state_.archivePath = archivePath;
        state_.logPath = logPath;
      })) {
    return -1;
  }

  const long written = WriteReportLog(log, report);
  if (written != ERROR_SUCCESS) platform::ShowMessageBox("Failed when save log！");
  claim_.RunWhileHeld([&] {
    state_.outcome.logWriteError = written;
    state_.files.push_back(ExportFile{logPath, kLogName});
  });
  return 0;
}

int ExportRun::CaptureHotfixList() {
  std::string folder;
  std::string logPath;
  std::shared_ptr<RunFolder> share;  // the folder stays while the command writes there
  if (!claim_.RunWhileHeld([&] {
        folder = state_.folder;
        logPath = state_.logPath;
        share = folder_;
      })) {
    return -1;
  }
  // Without the run's folder (no log, or no Save As answer) there is nothing to add to.
  const std::string path = folder.empty() ? std::string() : folder + kHotfixName;
  CommandRun command;
  const int result = report::CaptureHotfixList(path, &command);
  NoteUnfinished(logPath, command);
  if (path.empty()) return result;
  const bool produced = !platform::IsNotThere(platform::LookUpPath(path.c_str()));
  claim_.RunWhileHeld([&] {
    state_.files.push_back(ExportFile{path, kHotfixName});
    if (!produced) state_.outcome.notProduced.push_back(UnpackedFile{kHotfixName, 0});
    state_.outcome.commands.push_back(CapturedCommand{"hotfix_list", std::move(command)});
  });
  return result;
}

int ExportRun::CaptureIntoLog(int (*capture)(const std::string&, CommandRun*), const char* id,
                              const char* trace) {
  std::string logPath;
  std::shared_ptr<RunFolder> share;  // the folder stays while the command writes there
  if (!claim_.RunWhileHeld([&] {
        logPath = state_.logPath;
        share = folder_;
      })) {
    return -1;
  }
  CommandRun command;
  const int result = capture(logPath, &command);
  NoteUnfinished(logPath, command);
  platform::DebugTrace(trace);
  if (!logPath.empty()) {
    claim_.RunWhileHeld([&] {
      state_.outcome.commands.push_back(CapturedCommand{id, std::move(command)});
    });
  }
  return result;
}

int ExportRun::CaptureNetworkConfig() {
  return CaptureIntoLog(report::CaptureNetworkConfig, "network_config", "Exporting SPI Info\r\n");
}

int ExportRun::CaptureDnsCache() {
  return CaptureIntoLog(report::CaptureDnsCache, "dns_cache", "Exporting DNS Info\r\n");
}

int ExportRun::PackArchive() {
  std::string archivePath;
  std::vector<ExportFile> files;
  std::shared_ptr<RunFolder> folder;  // the run ends with this step: its folder goes on return
  if (!claim_.RunWhileHeld([&] {
        archivePath = state_.archivePath;
        files = state_.files;
        folder = std::move(folder_);
      })) {
    return 0;
  }
  // No archive without a log: the target stays as it was.
  if (archivePath.empty()) return 0;
  return PackExportFiles(archivePath, files, &state_.outcome.pack, options_.target, &claim_);
}

std::optional<std::string> ExportRun::Finish(ExportOutcome* outcome) {
  claim_.Close();
  // Nothing writes the state any more.
  folder_.reset();
  std::optional<std::string> message = ClosingMessage(state_.outcome);
  if (outcome != nullptr) *outcome = state_.outcome;
  return message;
}

ExportRun::State ExportRun::Read() {
  State state;
  if (!claim_.RunWhileHeld([&] { state = state_; })) state = state_;  // finished: nothing writes
  return state;
}

}  // namespace report
