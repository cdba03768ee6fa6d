// One export: what its run chose, made and found, and the steps that the export list's units
// run, in list order. Nothing of an export is process-wide: each run is an object of its own,
// shared by the units bound to it, so an abandoned run and a later one never meet.
//
// The run's owner (the main dialog, the console) ends it with Finish once the list has run or
// been stopped. From then on a unit of the run that is still busy (its worker abandoned by the
// progress dialog) writes nothing more: the run's claim is closed, and every step writes what it
// found only while holding it.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/prompt.h"
#include "report/archive_packer.h"
#include "report/command_capture.h"
#include "report/export_outcome.h"
#include "report/run_claim.h"
#include "report/run_folder.h"

namespace report {

// How an export chooses its archive and treats what is already there.
struct ExportOptions {
  // Given: the archive's path, taken as the Save As dialog's answer would be (nobody is asked).
  // Not given: the user chooses it with the Save As dialog.
  std::optional<std::string> archivePath;
  // The Save As dialog has asked the user before a file is replaced; a program that asks
  // nobody keeps a file that is there.
  TargetPolicy target = TargetPolicy::kReplace;
};

class ExportRun {
 public:
  explicit ExportRun(ExportOptions options = {});
  ExportRun(const ExportRun&) = delete;
  ExportRun& operator=(const ExportRun&) = delete;

  // The steps, each a unit's task entry.
  // Composes the report, chooses the archive, makes the run's folder and writes "Vantik.log"
  // there: nine banners, each followed by its section. 0 when the log was written (even
  // partly), -1 when no log could be started.
  int WriteLog();
  int CaptureHotfixList();     // "WindowsUpdate.log" beside the log; Vista and later only
  int CaptureNetworkConfig();  // appended to the log
  int CaptureDnsCache();       // appended to the log
  // Packs the listed files into the archive; the run's folder goes when it returns.
  int PackArchive();

  // Ends the run: none of its steps writes anything after this. The closing message, if there
  // is one to show, and the whole outcome in *outcome (when given). The run's folder goes now,
  // or with the last abandoned unit that still works in it.
  std::optional<std::string> Finish(ExportOutcome* outcome = nullptr);

  // What the run has chosen, made and found so far.
  struct State {
    std::string folder;             // the run's own folder, with its trailing backslash
    std::string archivePath;        // the archive chosen, once the log exists
    std::string logPath;            // folder + "Vantik.log"
    std::vector<ExportFile> files;  // the files to pack, in packing order
    ExportOutcome outcome;
  };
  State Read();

 private:
  // The target, as the Save As dialog answers: the path given, or asked for until it is one the
  // archive can be written to.
  platform::SaveAsAnswer ChooseArchivePath(std::string* path, unsigned long* error);
  // WriteLog's work, whatever its end, before its trace.
  int ComposeAndWriteLog();
  // How the run ended, when it ends before the archive.
  void End(ExportStatus status, long error);
  // A capture into the log: the log's path, the command's note, the command's outcome.
  int CaptureIntoLog(int (*capture)(const std::string&, CommandRun*), const char* id,
                     const char* trace);

  const ExportOptions options_;
  RunClaim claim_;  // held for every write of state_ and folder_
  State state_;
  std::shared_ptr<RunFolder> folder_;  // shared with a step whose command may write there
};

}  // namespace report
