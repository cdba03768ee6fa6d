#include "tasks/execute_unit.h"

#include <utility>

#include "checks/renego_check.h"
#include "checks/user_agent_check.h"
#include "diagnosis/rows.h"
#include "platform/prompt.h"
#include "report/export_run.h"
#include "report/os_kind.h"

namespace tasks {

namespace {

void Append(UnitList& units, const char* stepText, UnitId id, std::function<int()> run, int kind) {
  TaskUnit unit;
  unit.stepText = stepText;
  unit.id = id;
  unit.run = std::move(run);
  unit.kind = kind;
  units.push_back(std::move(unit));
}

// A unit of the export: a step of `run`.
void AppendExport(UnitList& units, const char* stepText, UnitId id,
                  const std::shared_ptr<report::ExportRun>& run, int (report::ExportRun::*step)()) {
  Append(
      units, stepText, id, [run, step] { return (*run.*step)(); }, UNIT_EXPORT);
}

// The diagnosis's rows, each a unit of `kind` that records its outcome on the board.
void AppendDiagnosisRows(UnitList& units, const std::shared_ptr<diagnosis::FindingsBoard>& board,
                         int kind) {
  for (const diagnosis::RowId row : diagnosis::kRows) {
    const bool check = kind == UNIT_DIAGNOSE;
    Append(
        units, check ? text::GetText(diagnosis::RowTitle(row)) : diagnosis::RepairStepText(row),
        check ? UnitId::kDiagnosisRowCheck : UnitId::kDiagnosisRowRepair,
        [board, row, check] {
          diagnosis::RowOutcome outcome =
              check ? diagnosis::CheckRow(row) : diagnosis::RepairRow(row);
          const int result = outcome.result;
          if (board) board->Record(row, std::move(outcome));
          return result;
        },
        kind);
    units.back().row = static_cast<int>(row);
  }
}

}  // namespace

unsigned ResultMessageForKind(int kind) {
  switch (kind) {
    case UNIT_DIAGNOSE:
      return WM_DIAGNOSE_RESULT;
    case UNIT_REPAIR:
      return WM_REPAIR_RESULT;
    case UNIT_EXPORT:
      return WM_EXPORT_RESULT;
    default:
      return 0;
  }
}

void BuildDiagnoseUnits(UnitList& units, const std::shared_ptr<diagnosis::FindingsBoard>& board) {
  Append(units, "检查windows补丁是否有影响", UnitId::kRenegoCheck, checks::CheckKB977377,
         UNIT_DIAGNOSE);
  Append(units, "检查浏览器的UserAgent信息是否正常", UnitId::kUserAgentCheck,
         checks::CheckIEUserAgent, UNIT_DIAGNOSE);
  AppendDiagnosisRows(units, board, UNIT_DIAGNOSE);
}

void BuildRepairUnits(UnitList& units, const std::shared_ptr<diagnosis::FindingsBoard>& board) {
  Append(units, "正在修复windows补丁...", UnitId::kRenegoRepair, checks::FixKB977377, UNIT_REPAIR);
  Append(units, "正在修复浏览器的UserAgent信息...", UnitId::kUserAgentRepair,
         checks::FixIEUserAgent, UNIT_REPAIR);
  AppendDiagnosisRows(units, board, UNIT_REPAIR);
}

bool ExportCapturesHotfixList() {
  int kind = 0;
  int servicePack = 0;
  return report::GetOSKind(kind, servicePack) == 0 && kind >= report::OS_WINDOWS_VISTA;
}

void BuildExportUnits(UnitList& units, const std::shared_ptr<report::ExportRun>& run,
                      bool withHotfixList) {
  AppendExport(units, "正在导出基本信息...", UnitId::kExportLog, run, &report::ExportRun::WriteLog);
  if (withHotfixList) {
    AppendExport(units, "正在导出补丁信息...", UnitId::kExportHotfixList, run,
                 &report::ExportRun::CaptureHotfixList);
  }
  AppendExport(units, "正在导出SPI信息...", UnitId::kExportNetworkConfig, run,
               &report::ExportRun::CaptureNetworkConfig);
  AppendExport(units, "正在导出DNS信息...", UnitId::kExportDnsCache, run,
               &report::ExportRun::CaptureDnsCache);
  AppendExport(units, "正在生成报告...", UnitId::kExportArchive, run,
               &report::ExportRun::PackArchive);
}

void RunExport(bool withHotfixList, const std::function<void(const UnitList&)>& runList,
               void* owner) {
  const auto run = std::make_shared<report::ExportRun>();
  UnitList units;
  BuildExportUnits(units, run, withHotfixList);
  runList(units);
  // The run's real outcome; a cancelled Save As exported nothing and claims nothing.
  if (const auto message = run->Finish()) platform::ShowMessageBox(message->c_str(), owner);
}

}  // namespace tasks
