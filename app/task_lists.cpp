#include "app/execute_unit.h"

#include "checks/renego_check.h"
#include "checks/user_agent_check.h"
#include "platform/trace.h"

namespace {

// Stands in for the export's first unit until the export itself is built: it only says so
// in the trace, and its result is not shown anywhere.
int ExportBasicInfo() {
  platform::DebugTrace("ExportBasicInfo: the export is not built yet\r\n");
  return 0;
}

void Append(UnitList& units, const char* stepText, int (*taskFunc)(), int kind) {
  tagExecuteUnit unit;
  unit.stepText = stepText;
  unit.taskFunc = taskFunc;
  unit.kind = kind;
  units.push_back(std::move(unit));
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

void BuildDiagnoseUnits(UnitList& units) {
  Append(units, "检查windows补丁是否有影响", CheckKB977377, UNIT_DIAGNOSE);
  Append(units, "检查浏览器的UserAgent信息是否正常", CheckIEUserAgent, UNIT_DIAGNOSE);
}

void BuildRepairUnits(UnitList& units) {
  Append(units, "正在修复windows补丁...", FixKB977377, UNIT_REPAIR);
  Append(units, "正在修复浏览器的UserAgent信息...", FixIEUserAgent, UNIT_REPAIR);
}

void BuildExportUnits(UnitList& units) {
  Append(units, "正在导出基本信息...", ExportBasicInfo, UNIT_EXPORT);
}
