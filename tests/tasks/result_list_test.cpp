#include "tasks/result_list.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "checks/result_codes.h"
#include "diagnosis/rows.h"
#include "platform/sim/workstation.h"
#include "report/export_run.h"
#include "tasks/execute_unit.h"
#include "tests/support/hex.h"

namespace {

using namespace report;
using namespace tasks;

TaskUnit Unit(const char* text, int done, int result, int enabled = 1) {
  TaskUnit unit;
  unit.stepText = text;
  unit.done = done;
  unit.result = result;
  unit.enabled = enabled;
  unit.kind = UNIT_DIAGNOSE;
  return unit;
}

TEST(ResultRows, OnlyUnitsWithAResultInListOrderNumberedWithoutGaps) {
  const UnitList units = {Unit("a", 0, 0), Unit("b", 1, 1),  Unit("c", 0, 1),
                          Unit("d", 1, 0), Unit("e", 1, -1), Unit("f", 1, 234)};
  const auto rows = MakeResultRows(units);
  ASSERT_EQ(rows.size(), 4u);
  const struct {
    int item;
    const char* text;
    int image;
    const char* resultHex;
  } expected[] = {
      {0, "b", IMAGE_ABNORMAL, "d2ecb3a3"},  // 异常
      {1, "d", IMAGE_NORMAL, "d5fdb3a3"},    // 正常
      // 检查异常，请手动检查!
      {2, "e", IMAGE_WARNING, "bcecb2e9d2ecb3a3a3acc7ebcad6b6afbcecb2e921"},
      {3, "f", IMAGE_WARNING, "bcecb2e9d2ecb3a3a3acc7ebcad6b6afbcecb2e921"},
  };
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(rows[i].item, expected[i].item);
    EXPECT_EQ(rows[i].text, expected[i].text);
    EXPECT_EQ(rows[i].image, expected[i].image);
    EXPECT_EQ(Hex(rows[i].resultText), expected[i].resultHex);
  }
  EXPECT_TRUE(MakeResultRows({Unit("a", 0, 0)}).empty());
}

// A row that another row's finding explains is not shown, not even as normal, and leaves no gap.
TEST(ResultRows, ARowNotShownIsLeftOut) {
  const UnitList units = {Unit("a", 1, 1), Unit("b", 1, checks::RESULT_NOT_SHOWN), Unit("c", 1, 0)};
  const auto rows = MakeResultRows(units);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].text, "a");
  EXPECT_EQ(rows[1].text, "c");
  EXPECT_EQ(rows[1].item, 1);
}

// Details on demand, by the row's number as the list shows it: a row not shown takes none.
TEST(ResultRows, DetailsOfARowByItsNumber) {
  TaskUnit client = Unit("client", 1, 1);
  client.row = static_cast<int>(diagnosis::RowId::kClientService);
  TaskUnit adapter = Unit("adapter", 1, checks::RESULT_NOT_SHOWN);
  adapter.row = static_cast<int>(diagnosis::RowId::kVirtualAdapter);
  TaskUnit clock = Unit("clock", 1, 0);
  clock.row = static_cast<int>(diagnosis::RowId::kSystemClock);
  const UnitList units = {Unit("检查windows补丁是否有影响", 1, 1), client, adapter, clock};
  diagnosis::FindingsBoard board;
  board.Record(diagnosis::RowId::kClientService,
               diagnosis::OutcomeOf({{diagnosis::FindingId::kClientNotInstalled, "none"}}));
  EXPECT_EQ(ResultRowDetails(units, 0, board), "检查windows补丁是否有影响\r\n\r\n异常\r\n");
  const std::string clientDetails = ResultRowDetails(units, 1, board);
  EXPECT_EQ(clientDetails.rfind("检查Tovra客户端服务是否正常\r\n\r\n[client_not_installed] ", 0),
            0u)
      << clientDetails;
  EXPECT_NE(clientDetails.find("依据：none\r\n"), std::string::npos);
  // Without findings recorded, the row's own result tells.
  EXPECT_EQ(ResultRowDetails(units, 2, board),
            "检查系统时间是否正常\r\n\r\n此项正常，未发现问题。\r\n");
  EXPECT_EQ(ResultRowDetails(units, 3, board), "");
  EXPECT_EQ(ResultRowDetails(units, -1, board), "");
}

TEST(ResultRows, ResetClearsResultsAndKeepsEnabled) {
  UnitList units = {Unit("a", 1, 0, 0), Unit("b", 1, -1)};
  ResetDiagnoseResults(units);
  for (const auto& unit : units) {
    EXPECT_EQ(unit.done, 0);
    EXPECT_EQ(unit.result, 1);
  }
  EXPECT_EQ(units[0].enabled, 0);
}

class PostedResult : public ::testing::Test {
 protected:
  PostedResult() {
    BuildDiagnoseUnits(diagnose_);
    BuildRepairUnits(repair_);
  }

  // Handles one result, noting what the redraw saw at that moment.
  void Handle(int index, int result) {
    HandleUnitResult(diagnose_, repair_, index, result, [&] {
      ++refreshes_;
      tracesAtRefresh_ = ws_.Traces().size();
      rowsAtRefresh_ = MakeResultRows(diagnose_);
      repairEnabledAtRefresh_.clear();
      for (const auto& unit : repair_) repairEnabledAtRefresh_.push_back(unit.enabled);
    });
  }

  platform::sim::Workstation ws_;
  UnitList diagnose_;
  UnitList repair_;
  int refreshes_ = 0;
  std::size_t tracesAtRefresh_ = 0;
  std::vector<ResultRow> rowsAtRefresh_;
  std::vector<int> repairEnabledAtRefresh_;
};

TEST_F(PostedResult, NormalResultIsTracedShownThenSwitchesOffItsRepair) {
  Handle(1, 0);
  EXPECT_EQ(ws_.Traces(),
            (std::vector<std::string>{"Function index: [1], and the result is [0]\r\n"}));
  EXPECT_EQ(tracesAtRefresh_, 1u) << "traced before the redraw";
  ASSERT_EQ(rowsAtRefresh_.size(), 1u);
  EXPECT_EQ(rowsAtRefresh_[0].item, 0);
  EXPECT_EQ(rowsAtRefresh_[0].text, diagnose_[1].stepText);
  EXPECT_EQ(repairEnabledAtRefresh_, std::vector<int>(repair_.size(), 1))
      << "switched off after the redraw";
  EXPECT_EQ(repair_[1].enabled, 0);
  EXPECT_EQ(repair_[0].enabled, 1);
}

TEST_F(PostedResult, AbnormalOrFailedResultKeepsTheRepair) {
  Handle(0, 1);
  Handle(1, -1);
  EXPECT_EQ(repair_[0].enabled, 1);
  EXPECT_EQ(repair_[1].enabled, 1);
  const auto rows = MakeResultRows(diagnose_);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].image, IMAGE_ABNORMAL);
  EXPECT_EQ(rows[1].image, IMAGE_WARNING);
}

// The repair follows the latest result of its item, whichever unit posted it.
TEST_F(PostedResult, RepairIsSwitchedBackOnOnceItsItemIsNotNormal) {
  const struct {
    int result;
    int enabled;
  } steps[] = {{0, 0}, {1, 1}, {0, 0}, {-1, 1}, {0, 0}, {234, 1}};
  for (const auto& step : steps) {
    SCOPED_TRACE(step.result);
    ResetDiagnoseResults(diagnose_);
    Handle(0, step.result);
    EXPECT_EQ(repair_[0].enabled, step.enabled);
    EXPECT_EQ(repair_[1].enabled, 1) << "another item's repair is left alone";
  }
}

TEST_F(PostedResult, IndexOutsideTheListsChangesNoUnitButIsTracedAndRedrawn) {
  // Just past the end, far past it, and before it.
  for (const int index : {static_cast<int>(diagnose_.size()), 99, -1}) {
    SCOPED_TRACE(index);
    const UnitList diagnoseBefore = diagnose_;
    const UnitList repairBefore = repair_;
    const int refreshesBefore = refreshes_;
    Handle(index, 0);
    EXPECT_EQ(refreshes_, refreshesBefore + 1);
    for (std::size_t i = 0; i < diagnose_.size(); ++i) {
      EXPECT_EQ(diagnose_[i].done, diagnoseBefore[i].done);
      EXPECT_EQ(repair_[i].enabled, repairBefore[i].enabled);
    }
  }
  EXPECT_EQ(ws_.Traces().back(), "Function index: [-1], and the result is [0]\r\n");
}

TEST(TaskLists, UnitsInOrderWithTheirTextsEntriesAndKinds) {
  platform::sim::Workstation ws;  // the export list asks for the Windows version
  UnitList diagnose;
  UnitList repair;
  UnitList exportUnits;
  BuildDiagnoseUnits(diagnose);
  BuildRepairUnits(repair);
  BuildExportUnits(exportUnits, std::make_shared<ExportRun>(), ExportCapturesHotfixList());
  // The two checks, then one unit per row of the diagnosis.
  ASSERT_EQ(diagnose.size(), 2u + std::size(diagnosis::kRows));
  ASSERT_EQ(repair.size(), diagnose.size());
  ASSERT_FALSE(exportUnits.empty());
  // 检查windows补丁是否有影响 / 正在修复windows补丁...
  EXPECT_EQ(Hex(diagnose[0].stepText),
            "bcecb2e9" + Hex("windows") + "b2b9b6a1cac7b7f1d3d0d3b0cfec");
  EXPECT_EQ(Hex(repair[0].stepText), "d5fdd4dad0deb8b4" + Hex("windows") + "b2b9b6a1" + Hex("..."));
  EXPECT_EQ(diagnose[1].stepText, "检查浏览器的UserAgent信息是否正常");
  EXPECT_EQ(repair[1].stepText, "正在修复浏览器的UserAgent信息...");
  EXPECT_EQ(exportUnits[0].stepText, "正在导出基本信息...");
  for (const auto* list : {&diagnose, &repair, &exportUnits}) {
    for (const auto& unit : *list) {
      EXPECT_TRUE(unit.run);
      EXPECT_EQ(unit.done, 0);
      EXPECT_EQ(unit.result, 1);
      EXPECT_EQ(unit.enabled, 1);
    }
  }
  // Repair unit i repairs what diagnose unit i checks; the console names checks by their ids.
  EXPECT_EQ(diagnose[0].id, UnitId::kRenegoCheck);
  EXPECT_EQ(diagnose[1].id, UnitId::kUserAgentCheck);
  EXPECT_EQ(repair[0].id, UnitId::kRenegoRepair);
  EXPECT_EQ(repair[1].id, UnitId::kUserAgentRepair);
  for (std::size_t i = 2; i < diagnose.size(); ++i) {
    const auto row = diagnosis::kRows[i - 2];
    EXPECT_EQ(diagnose[i].id, UnitId::kDiagnosisRowCheck);
    EXPECT_EQ(repair[i].id, UnitId::kDiagnosisRowRepair);
    EXPECT_EQ(diagnose[i].row, static_cast<int>(row));
    EXPECT_EQ(repair[i].row, static_cast<int>(row));
    EXPECT_EQ(diagnose[i].stepText, text::GetText(diagnosis::RowTitle(row)));
  }
  // 检查Tovra客户端服务是否正常 / 正在修复Tovra客户端服务...
  EXPECT_EQ(Hex(diagnose[2].stepText),
            "bcecb2e9" + Hex("Tovra") + "bfcdbba7b6cbb7fecef1cac7b7f1d5fdb3a3");
  EXPECT_EQ(Hex(repair[2].stepText),
            "d5fdd4dad0deb8b4" + Hex("Tovra") + "bfcdbba7b6cbb7fecef1" + Hex("..."));
  EXPECT_EQ(exportUnits.front().id, UnitId::kExportLog);
  EXPECT_EQ(exportUnits.back().id, UnitId::kExportArchive);
  for (const auto& unit : diagnose) EXPECT_EQ(unit.kind, UNIT_DIAGNOSE);
  for (const auto& unit : repair) EXPECT_EQ(unit.kind, UNIT_REPAIR);
  for (const auto& unit : exportUnits) EXPECT_EQ(unit.kind, UNIT_EXPORT);
  EXPECT_EQ(ResultMessageForKind(UNIT_DIAGNOSE), 0x401u);
  EXPECT_EQ(ResultMessageForKind(UNIT_REPAIR), 0x402u);
  EXPECT_EQ(ResultMessageForKind(UNIT_EXPORT), 0x403u);
  EXPECT_EQ(ResultMessageForKind(4), 0u);
}

}  // namespace
