// How an export ended, and the closing message that tells the user: "导出完毕!" only for a
// complete archive at the place they chose.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "report/archive_packer.h"
#include "report/command_capture.h"

namespace report {

enum class ExportStatus {
  kUnderway,      // nothing has ended it: the packer's outcome says how it went, if it ran
  kCancelled,     // the Save As dialog was cancelled: nothing was exported
  kSaveAsFailed,  // the Save As dialog could not be shown
  kLogFailed,     // the log, or the run's folder for it, could not be created
};

// One command capture of the run, by what it captures: "hotfix_list", "network_config" or
// "dns_cache".
struct CapturedCommand {
  std::string id;
  CommandRun run;
};

struct ExportOutcome {
  ExportStatus status = ExportStatus::kUnderway;
  long error = 0;          // the Windows code of what ended it, 0 when there is none
  long logWriteError = 0;  // the log stopped short: the code of the write that failed
  std::vector<UnpackedFile> notProduced;  // files the run was to make and could not
  std::vector<CapturedCommand> commands;  // the captures that tried their command, in order
  PackOutcome pack;                       // filled by the packer, if it ran to its end
};

// The closing message of a complete archive at the place the user chose.
inline constexpr char kExportDone[] = "导出完毕!";

// What the main dialog shows once the export list has run or been stopped; nothing after a
// cancelled Save As. Every message but kExportDone comes from the text table and says what
// failed, with the Windows code where there is one.
std::optional<std::string> ClosingMessage(const ExportOutcome& outcome);

// The run ended with a complete archive at the target: its closing message is kExportDone.
bool ExportIsComplete(const ExportOutcome& outcome);

}  // namespace report
