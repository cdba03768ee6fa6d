#include "tasks/result_list.h"

#include <cstdio>

#include "checks/result_codes.h"
#include "diagnosis/findings_text.h"
#include "platform/trace.h"

namespace tasks {

namespace {

// Shown as a row: it has a result, and no other row's finding explains it.
bool IsShown(const TaskUnit& unit) { return unit.done && unit.result != checks::RESULT_NOT_SHOWN; }

bool InRange(const UnitList& units, int index) {
  return index >= 0 && static_cast<std::size_t>(index) < units.size();
}

}  // namespace

std::vector<ResultRow> MakeResultRows(const UnitList& diagnoseUnits) {
  std::vector<ResultRow> rows;
  for (std::size_t i = 0; i < diagnoseUnits.size(); ++i) {
    const TaskUnit& unit = diagnoseUnits[i];
    // A row that another row's finding explains is not shown at all.
    if (!IsShown(unit)) continue;
    ResultRow row;
    row.item = static_cast<int>(rows.size());
    row.unit = i;
    row.text = unit.stepText;
    if (unit.result == 0) {
      row.image = IMAGE_NORMAL;
      row.resultText = "正常";
    } else if (unit.result == 1) {
      row.image = IMAGE_ABNORMAL;
      row.resultText = "异常";
    } else {
      row.image = IMAGE_WARNING;
      row.resultText = "检查异常，请手动检查!";
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

std::string ResultRowDetails(const UnitList& diagnoseUnits, int item,
                             const diagnosis::FindingsBoard& board) {
  const std::vector<ResultRow> rows = MakeResultRows(diagnoseUnits);
  if (item < 0 || static_cast<std::size_t>(item) >= rows.size()) return {};
  const ResultRow& row = rows[static_cast<std::size_t>(item)];
  const TaskUnit& unit = diagnoseUnits[row.unit];
  if (unit.row < 0) return unit.stepText + "\r\n\r\n" + row.resultText + "\r\n";
  const auto id = static_cast<diagnosis::RowId>(unit.row);
  // The row shows the latest result posted; the board holds the latest findings, which a
  // repair skipped for a normal row left as they were.
  const std::optional<diagnosis::RowOutcome> outcome = board.Latest(id);
  return diagnosis::RowDetailsText(id, outcome ? *outcome : diagnosis::RowOutcome{unit.result, {}});
}

void ResetDiagnoseResults(UnitList& diagnoseUnits) {
  for (TaskUnit& unit : diagnoseUnits) {
    unit.done = 0;
    unit.result = 1;
  }
}

void HandleUnitResult(UnitList& diagnoseUnits, UnitList& repairUnits, int index, int result,
                      const std::function<void()>& refresh) {
  char trace[96];
  std::snprintf(trace, sizeof(trace), "Function index: [%d], and the result is [%d]\r\n", index,
                result);
  platform::DebugTrace(trace);
  if (InRange(diagnoseUnits, index)) {
    diagnoseUnits[index].done = 1;
    diagnoseUnits[index].result = result;
  }
  refresh();
  // A repair follows the latest word on its item: off while it is normal, on again as soon as
  // it is not, so that a row showing 异常 is never left without its repair.
  if (InRange(repairUnits, index)) repairUnits[index].enabled = result == 0 ? 0 : 1;
}

}  // namespace tasks
