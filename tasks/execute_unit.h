// Task units and the three task lists that the main dialog's buttons run.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace report {
class ExportRun;
}  // namespace report

namespace diagnosis {
class FindingsBoard;
}  // namespace diagnosis

namespace tasks {

enum UnitKind : int {
  UNIT_DIAGNOSE = 1,
  UNIT_REPAIR = 2,
  UNIT_EXPORT = 3,
};

// The messages that carry a unit's result to the owner window: wParam the unit's index in its
// list, lParam its result code. WM_USER is 0x0400.
inline constexpr unsigned WM_DIAGNOSE_RESULT = 0x0400 + 1;
inline constexpr unsigned WM_REPAIR_RESULT = 0x0400 + 2;
inline constexpr unsigned WM_EXPORT_RESULT = 0x0400 + 3;

// What a unit does, by a name that stays when the lists change.
enum class UnitId {
  kNone,
  kRenegoCheck,
  kUserAgentCheck,
  kRenegoRepair,
  kUserAgentRepair,
  kDiagnosisRowCheck,   // a row of the diagnosis: its check, which records its findings
  kDiagnosisRowRepair,  // its safe repair, if any, then its check
  kExportLog,
  kExportHotfixList,
  kExportNetworkConfig,
  kExportDnsCache,
  kExportArchive,
};

struct TaskUnit {
  std::string stepText;  // shown while the unit runs; a diagnose unit's row text
  UnitId id = UnitId::kNone;
  std::function<int()> run;  // the task entry, bound to what it works on (an export's run)
  int done = 0;              // the owner has received a result for this unit
  int result = 1;            // the last result code the owner received
  int enabled = 1;           // 0: the runner skips the entry and reports 0
  int kind = 0;              // UNIT_DIAGNOSE, UNIT_REPAIR or UNIT_EXPORT
  int row = -1;              // a diagnosis row's unit: its diagnosis::RowId
};

using UnitList = std::vector<TaskUnit>;

// The message that carries a result of a unit of `kind`, or 0 for a kind that posts nothing.
unsigned ResultMessageForKind(int kind);

// Each appends its units at the end of `units`: the two checks and their repairs, then the
// diagnosis's rows. Repair unit i repairs what diagnose unit i checks. A row's units record its
// outcome on `board` (none: the outcomes are not kept).
void BuildDiagnoseUnits(UnitList& units,
                        const std::shared_ptr<diagnosis::FindingsBoard>& board = nullptr);
void BuildRepairUnits(UnitList& units,
                      const std::shared_ptr<diagnosis::FindingsBoard>& board = nullptr);
// The export's units are bound to one run of it, so a list serves one export only.
void BuildExportUnits(UnitList& units, const std::shared_ptr<report::ExportRun>& run,
                      bool withHotfixList);

// Whether the export captures the hotfix list: its command needs wmic, which Vista and later
// have. The main dialog decides it once, as it builds its lists.
bool ExportCapturesHotfixList();

// The export as the main dialog runs it: a new run, its list run by `runList` (behind the
// progress dialog), then the run's closing message, if any, in a message box owned by `owner`.
void RunExport(bool withHotfixList, const std::function<void(const UnitList&)>& runList,
               void* owner);

}  // namespace tasks
