// What the main dialog's result list shows: one row for each diagnose unit that has a result,
// in list order, and what a posted result changes in the task lists.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "diagnosis/rows.h"
#include "tasks/execute_unit.h"

namespace tasks {

// Indexes into the list's image list, in the order the icons are added.
enum ResultImage : int {
  IMAGE_NORMAL = 0,    // icon 139, a green tick
  IMAGE_WARNING = 1,   // icon 133, a yellow warning triangle
  IMAGE_ABNORMAL = 2,  // icon 141, a red cross
};

struct ResultRow {
  int item = 0;            // row number, counting only units with a result
  std::size_t unit = 0;    // the index of the diagnose unit that it shows
  int image = 0;           // ResultImage
  std::string text;        // the diagnose unit's step text
  std::string resultText;  // "正常", "异常" or "检查异常，请手动检查!"
};

// The rows for the diagnose units that have a result.
std::vector<ResultRow> MakeResultRows(const UnitList& diagnoseUnits);

// What a double-click or Enter on the row numbered `item` shows (code page 936): a diagnosis
// row's findings with their evidence and next steps, or that it is normal, or that it could not
// be checked; one of the two first checks, its title and result. Empty when no row has that
// number.
std::string ResultRowDetails(const UnitList& diagnoseUnits, int item,
                             const diagnosis::FindingsBoard& board);

// Before a diagnosis or a repair: no unit has a result.
void ResetDiagnoseResults(UnitList& diagnoseUnits);

// One posted result, diagnose or repair alike: traced, recorded in the diagnose unit at
// `index` (repair unit i reports into diagnose row i), the list redrawn by `refresh`; then a
// result 0 switches off the repair at `index`, and any other result switches it on again. An
// index outside the lists changes no unit but is still traced and redrawn.
void HandleUnitResult(UnitList& diagnoseUnits, UnitList& repairUnits, int index, int result,
                      const std::function<void()>& refresh);

}  // namespace tasks
