// What the console program's commands do: the main dialog's three task lists, run on the
// calling thread with no window, and what came of them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "diagnosis/finding.h"
#include "report/export_outcome.h"

namespace cli {

// The exit codes.
enum CliExit : int {
  kExitNormal = 0,      // every check normal, or the archive written whole
  kExitAbnormal = 1,    // at least one check abnormal
  kExitFailed = 2,      // a check or the export could not run (or the program not start)
  kExitNeedsAdmin = 3,  // administrator rights needed and missing
  kExitUsage = 64,      // bad usage
};

enum class CheckState { kNormal, kAbnormal, kFailed };

// A check's result code as the main dialog reads it: 0 normal, 1 abnormal, else failed.
CheckState StateOfResult(int code);

// One check, as a row of the main dialog shows it.
struct CheckResult {
  std::string id;          // stable: "tls_renegotiation", "ie_user_agent", "vpn_client_service"...
  std::string title;       // the row's text, the diagnose unit's step text (code page 936)
  int code = 1;            // the check's result code
  std::string resultText;  // the row's result text (code page 936)
  std::vector<diagnosis::Finding> findings;  // a diagnosis row's; none for the two checks
  std::size_t unit = 0;                      // the diagnose unit's index in its list
};

// One item of a repair: its check before, its repair, its check after.
struct RepairResult {
  CheckResult before;
  bool ran = false;  // the repair was called (not when the check before found the item normal)
  int code = 0;      // what the repair returned; 0 when it did not run
  CheckResult after;
};

// The export's run.
struct ExportResult {
  std::string archive;   // the archive's full path, in the ANSI code page
  long pathError = 0;    // the path could not be made full: nothing was done
  bool refused = false;  // a file is at the path and may not be replaced: nothing was done
  std::optional<std::string> closing;  // the run's closing message, when it ran
  report::ExportOutcome outcome;
};

// 一键诊断: the diagnose list, one result per row it shows, in list order (a row that another
// row's finding explains is not shown).
std::vector<CheckResult> DiagnoseWorkstation();

// 一键诊断, 一键修复 and 一键诊断 again, as a user at the dialog would: a repair whose check
// found its item normal is skipped. The caller has made sure of administrator rights.
std::vector<RepairResult> RepairWorkstation();

// "Vantik-<computer name>-<yyyyMMdd-HHmmss>.zip" for now; without the computer's name,
// "Vantik-<yyyyMMdd-HHmmss>.zip".
std::string DefaultArchiveName();

// 导出信息 into `path` (relative to the current folder; DefaultArchiveName when not given). A
// file already there is kept unless `replace`: then nothing at all is done. Each step's text
// goes to the standard error as the progress dialog would show it.
ExportResult ExportArchive(const std::optional<std::string>& path, bool replace);

// The exit code of a diagnosis or repair, by the checks' states: kExitFailed when one failed,
// else kExitAbnormal when one is abnormal, else kExitNormal.
int ExitCodeForChecks(const std::vector<CheckResult>& checks);

// kExitNormal only for a complete archive at the path.
int ExitCodeForExport(const ExportResult& result);

}  // namespace cli
