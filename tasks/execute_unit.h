// Task units and the three task lists that the main dialog's buttons run.
#pragma once

#include <string>
#include <vector>

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

struct tagExecuteUnit {
  std::string stepText;         // shown while the unit runs; a diagnose unit's row text
  int (*taskFunc)() = nullptr;  // the task entry
  int done = 0;                 // the owner has received a result for this unit
  int result = 1;               // the last result code the owner received
  int enabled = 1;              // 0: the runner skips the entry and reports 0
  int kind = 0;                 // UNIT_DIAGNOSE, UNIT_REPAIR or UNIT_EXPORT
};

using UnitList = std::vector<tagExecuteUnit>;

// The message that carries a result of a unit of `kind`, or 0 for a kind that posts nothing.
unsigned ResultMessageForKind(int kind);

// Each appends its units at the end of `units`. Repair unit i repairs what diagnose unit i
// checks.
void BuildDiagnoseUnits(UnitList& units);
void BuildRepairUnits(UnitList& units);
void BuildExportUnits(UnitList& units);
