#include "tasks/execute_unit.h"

#include "checks/renego_check.h"
#include "checks/user_agent_check.h"
#include "report/export_units.h"
#include "report/os_kind.h"

namespace {

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
  // The hotfix list needs wmic, which Vista and later have; decided once, here.
  int kind = 0;
  int servicePack = 0;
  const bool withPatches = GetOSKind(kind, servicePack) == 0 && kind >= OS_WINDOWS_VISTA;
  Append(units, "正在导出基本信息...", ExportBasicInfo, UNIT_EXPORT);
  if (withPatches) Append(units, "正在导出补丁信息...", ExportPatchInfo, UNIT_EXPORT);
  Append(units, "正在导出SPI信息...", ExportSpiInfo, UNIT_EXPORT);
  Append(units, "正在导出DNS信息...", ExportDnsInfo, UNIT_EXPORT);
  Append(units, "正在生成报告...", ExportPackage, UNIT_EXPORT);
}
