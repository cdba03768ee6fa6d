#include "cli/cli_commands.h"

#include <cstdio>
#include <memory>
#include <string>
#include <utility>

#include "diagnosis/rows.h"
#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/console.h"
#include "platform/files.h"
#include "platform/system_info.h"
#include "platform/trace.h"
#include "platform/win32_codes.h"
#include "report/export_run.h"
#include "tasks/execute_unit.h"
#include "tasks/result_list.h"
#include "tasks/unit_runner.h"

namespace cli {

namespace {

// The checks' stable names, by their units rather than their places in the list.
std::string CheckId(tasks::UnitId id) {
  switch (id) {
    case tasks::UnitId::kRenegoCheck:
      return "tls_renegotiation";
    case tasks::UnitId::kUserAgentCheck:
      return "ie_user_agent";
    default:
      return "unknown";
  }
}

std::string CheckId(const tasks::TaskUnit& unit) {
  if (unit.id == tasks::UnitId::kDiagnosisRowCheck) {
    return diagnosis::RowKey(static_cast<diagnosis::RowId>(unit.row));
  }
  return CheckId(unit.id);
}

// The three lists, built as the main dialog builds them, and the dialog's side of a run: the
// results recorded as the dialog records its posted ones, on this thread, at once.
class ConsoleRun : private tasks::RunnerView {
 public:
  ConsoleRun() : board_(std::make_shared<diagnosis::FindingsBoard>()) {
    tasks::BuildDiagnoseUnits(diagnose_, board_);
    tasks::BuildRepairUnits(repair_, board_);
  }

  // The step texts to the standard error, "[i/n] text", as the progress dialog shows them.
  void ShowSteps() { showSteps_ = true; }

  // Runs one list through the runner, as a progress dialog would, but on this thread.
  void Run(const tasks::UnitList& units) {
    stepsShown_ = 0;
    stepCount_ = units.size();
    tasks::RunState state(units, this);
    tasks::ExecuteUnits(state);
  }

  // 一键诊断 and 一键修复: the rows are emptied and the list run.
  std::vector<CheckResult> Diagnose() {
    tasks::ResetDiagnoseResults(diagnose_);
    Run(diagnose_);
    return Rows();
  }
  // Each repair's result in *codes, and whether it was called in *ran.
  void Repair(std::vector<int>* codes, std::vector<bool>* ran) {
    tasks::ResetDiagnoseResults(diagnose_);
    repairCodes_.assign(repair_.size(), 0);
    for (const tasks::TaskUnit& unit : repair_) ran->push_back(unit.enabled != 0);
    Run(repair_);
    *codes = repairCodes_;
  }

 private:
  // The rows as the main dialog would show them now.
  std::vector<CheckResult> Rows() const {
    std::vector<CheckResult> checks;
    for (const tasks::ResultRow& row : tasks::MakeResultRows(diagnose_)) {
      const tasks::TaskUnit& unit = diagnose_[row.unit];
      CheckResult check{CheckId(unit), row.text, unit.result, row.resultText, {}, row.unit};
      if (unit.row >= 0) {
        const auto outcome = board_->Latest(static_cast<diagnosis::RowId>(unit.row));
        if (outcome) check.findings = outcome->findings;
      }
      checks.push_back(std::move(check));
    }
    return checks;
  }

  bool DialogHasWindow() override { return true; }
  void ShowStepText(const std::string& text) override {
    ++stepsShown_;
    if (!showSteps_) return;
    char counter[32];
    std::snprintf(counter, sizeof counter, "[%zu/%zu] ", stepsShown_, stepCount_);
    (void)platform::WriteText(platform::StdStream::kError,
                              counter + platform::ToUtf8(text, platform::kCodePageGbk) + "\r\n");
  }
  void PostResult(unsigned message, int index, int result) override {
    if (message == tasks::WM_REPAIR_RESULT && index >= 0 &&
        static_cast<std::size_t>(index) < repairCodes_.size()) {
      repairCodes_[static_cast<std::size_t>(index)] = result;
    }
    // The export's results go nowhere, as in the main dialog.
    if (message == tasks::WM_DIAGNOSE_RESULT || message == tasks::WM_REPAIR_RESULT) {
      tasks::HandleUnitResult(diagnose_, repair_, index, result, [] {});
    }
  }
  void SetProgressPos(int) override {}

  std::shared_ptr<diagnosis::FindingsBoard> board_;
  tasks::UnitList diagnose_;
  tasks::UnitList repair_;
  std::vector<int> repairCodes_;
  bool showSteps_ = false;
  std::size_t stepsShown_ = 0;
  std::size_t stepCount_ = 0;
};

}  // namespace

CheckState StateOfResult(int code) {
  if (code == 0) return CheckState::kNormal;
  if (code == 1) return CheckState::kAbnormal;
  return CheckState::kFailed;
}

std::vector<CheckResult> DiagnoseWorkstation() {
  ConsoleRun run;
  return run.Diagnose();
}

std::vector<RepairResult> RepairWorkstation() {
  ConsoleRun run;
  const std::vector<CheckResult> before = run.Diagnose();
  std::vector<int> codes;
  std::vector<bool> ran;
  run.Repair(&codes, &ran);
  const std::vector<CheckResult> after = run.Diagnose();
  // Each item that is shown both times, by its unit.
  std::vector<RepairResult> items;
  for (const CheckResult& was : before) {
    for (const CheckResult& now : after) {
      if (now.unit != was.unit || was.unit >= codes.size()) continue;
      items.push_back(RepairResult{was, ran[was.unit], codes[was.unit], now});
    }
  }
  return items;
}

std::string DefaultArchiveName() {
  const platform::LocalTime now = platform::GetLocalTimeNow();
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", now.year, now.month, now.day,
                now.hour, now.minute, now.second);
  std::string computer;
  if (!platform::GetComputerNameText(&computer) || computer.empty()) {
    return std::string("Vantik-") + stamp + ".zip";
  }
  return "Vantik-" + computer + "-" + stamp + ".zip";
}

ExportResult ExportArchive(const std::optional<std::string>& path, bool replace) {
  ExportResult result;
  const std::string given = path ? *path : DefaultArchiveName();
  result.pathError = platform::GetFullPath(given.c_str(), &result.archive);
  if (result.pathError != ERROR_SUCCESS) {
    result.archive = given;
    return result;
  }
  // Checked before anything is done; a file that comes meanwhile is kept all the same.
  if (!replace && platform::FileExists(result.archive.c_str())) {
    result.refused = true;
    return result;
  }

  platform::DebugTrace("export dignose Info.");
  // The archive's path answers the Save As that the export would show.
  const auto run = std::make_shared<report::ExportRun>(report::ExportOptions{
      result.archive, replace ? report::TargetPolicy::kReplace : report::TargetPolicy::kKeep});
  {
    tasks::UnitList units;
    tasks::BuildExportUnits(units, run, tasks::ExportCapturesHotfixList());
    ConsoleRun console;
    console.ShowSteps();
    console.Run(units);
  }
  result.closing = run->Finish(&result.outcome);
  return result;
}

int ExitCodeForChecks(const std::vector<CheckResult>& checks) {
  bool abnormal = false;
  for (const CheckResult& check : checks) {
    switch (StateOfResult(check.code)) {
      case CheckState::kFailed:
        return kExitFailed;
      case CheckState::kAbnormal:
        abnormal = true;
        break;
      case CheckState::kNormal:
        break;
    }
  }
  return abnormal ? kExitAbnormal : kExitNormal;
}

int ExitCodeForExport(const ExportResult& result) {
  if (result.pathError != ERROR_SUCCESS || result.refused) return kExitFailed;
  return report::ExportIsComplete(result.outcome) ? kExitNormal : kExitFailed;
}

}  // namespace cli
