// Every single failure of every platform call that the whole road makes is survived. A recording
// run of the road (diagnose, repair, diagnose, export, on a workstation with something in every
// section) lists the calls; then the road runs once more for each call, with that call failing
// as Windows makes it fail most likely, and each run is held to the same rules: every unit
// posts one result and the rows say what really is; the registry holds nothing but what the
// repairs write, each whole; an archive reported written reads back with every entry, and a
// failure leaves the target as it was; nothing of the run is left behind for good; no handle
// stays open; every worker ends. The sanitizer build runs it too.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "diagnosis/rows.h"
#include "tests/reliability/road.h"
#include "tests/reliability/sweep_checks.h"
#include "tests/report/zip_reader.h"

namespace {

using sweep::Findings;
using sweep::Written;

// The two checks, then the diagnosis's rows.
constexpr std::size_t kItems = 2 + std::size(diagnosis::kRows);

std::vector<std::string> Rows(std::vector<std::string> abnormalFirst) {
  abnormalFirst.resize(kItems, "正常");
  return abnormalFirst;
}

std::string RowText(int result) {
  if (result == 0) return "正常";
  if (result == 1) return "异常";
  return "检查异常，请手动检查!";
}

// The unit of a list in which call `n` was made, or -1.
int UnitOf(const road::ListRun& run, std::size_t n) {
  for (std::size_t i = 0; i < run.units.size(); ++i) {
    if (run.units[i].firstCall < n && n <= run.units[i].lastCall) return static_cast<int>(i);
  }
  return -1;
}

// Every unit that ran posted exactly one result, and the worker ended; a worker that could not
// start ran nothing.
void CheckPosts(const char* list, const road::ListRun& run, std::size_t expectedUnits,
                Findings& found) {
  if (!run.ended) found.Add(std::string(list) + ": a unit was left running");
  if (!run.started) {
    if (!run.units.empty()) found.Add(std::string(list) + ": units ran without a worker");
    return;
  }
  if (run.units.size() != expectedUnits) {
    found.Add(std::string(list) + ": " + std::to_string(run.units.size()) + " of " +
              std::to_string(expectedUnits) + " units ran");
  }
  for (std::size_t i = 0; i < run.units.size(); ++i) {
    if (run.units[i].posted.size() != 1) {
      found.Add(std::string(list) + ": unit " + std::to_string(i) + " posted " +
                std::to_string(run.units[i].posted.size()) + " results");
    }
  }
}

// A check says what is: normal or abnormal as the item is. Only a check whose own call failed
// may say that it failed (-1), or take an item it could not read for abnormal, as its rules say;
// none may call an abnormal item normal.
void CheckDiagnosis(const char* list, const road::ListRun& run, std::size_t n, Findings& found) {
  std::vector<std::string> rows;
  for (std::size_t i = 0; i < run.units.size(); ++i) {
    if (run.units[i].posted.size() != 1) continue;
    const int result = run.units[i].posted[0];
    rows.push_back(RowText(result));
    const int truth = run.truthBefore[i];
    const bool hit = UnitOf(run, n) == static_cast<int>(i);
    const bool allowed =
        hit ? (result == -1 || result == 1 || (result == 0 && truth == 0)) : result == truth;
    if (!allowed) {
      found.Add(std::string(list) + ": check " + std::to_string(i) + " said " +
                std::to_string(result) + " of an item that is " +
                (truth == 0 ? "normal" : "abnormal"));
    }
  }
  if (run.rows != rows) found.Add(std::string(list) + ": the rows are not the results posted");
}

// A repair says done only when the item is now right; a repair whose calls all succeeded is done.
void CheckRepair(const road::ListRun& run, std::size_t n, Findings& found) {
  std::vector<std::string> rows;
  for (std::size_t i = 0; i < run.units.size(); ++i) {
    if (run.units[i].posted.size() != 1) continue;
    const int result = run.units[i].posted[0];
    rows.push_back(RowText(result));
    const bool hit = UnitOf(run, n) == static_cast<int>(i);
    if (result == 0 && run.truthAfter[i] != 0) {
      found.Add("repair " + std::to_string(i) + " said done of an item still abnormal");
    }
    // The two settings, the client's service and its adapter have safe repairs; the other rows
    // only check again and stay as they were.
    const bool repairable = i < 4;
    if (!hit && repairable && result != 0 && run.truthBefore[i] != 0) {
      found.Add("repair " + std::to_string(i) + " failed (" + std::to_string(result) +
                ") though none of its calls did");
    }
  }
  if (run.rows != rows) found.Add("repair: the rows are not the results posted");
}

void CheckExport(const std::string& where, const road::Outcome& out, Findings& found,
                 std::vector<Written>& written) {
  if (!out.closingMessage) {
    found.Add("export: no closing message");
    return;
  }
  const std::string& message = *out.closingMessage;
  if (!sweep::SaysPlaced(message)) {
    if (out.target != std::string(sweep::kOlderArchive)) {
      found.Add("export: said \"" + message + "\" but the target changed");
    }
    sweep::CheckNothingDeletedUnplaced(out.calls, found);
    return;
  }
  if (!out.target || *out.target == sweep::kOlderArchive) {
    found.Add("export: said \"" + message + "\" but wrote no archive");
    return;
  }
  written.push_back(sweep::SaidArchive(where, message, *out.target));
}

// The whole of one fault run.
void CheckRun(const sweep::FaultPoint& point, const road::Outcome& out, Findings& found,
              std::vector<Written>& written) {
  if (!sweep::MadeAgain(point, out, found)) return;
  const std::size_t n = point.number;
  CheckPosts("diagnosis", out.diagnose, kItems, found);
  CheckPosts("repair", out.repair, kItems, found);
  CheckPosts("second diagnosis", out.diagnoseAgain, kItems, found);
  CheckPosts("export", out.exportList, 5, found);
  CheckDiagnosis("diagnosis", out.diagnose, n, found);
  CheckRepair(out.repair, n, found);
  CheckDiagnosis("second diagnosis", out.diagnoseAgain, n, found);
  sweep::CheckRegistry(out, found);
  CheckExport(point.where, out, found, written);
  sweep::CheckLeftovers(out, found);
}

// The sweep in shards, each a test of its own: the road is recorded and checked in each.
class FaultSweep : public ::testing::TestWithParam<std::size_t> {};

TEST_P(FaultSweep, NoSingleFailureOfAnyCallIsLostOrReportedAsSuccess) {
  const double start = sweep::Seconds();
  const road::Outcome recorded = road::Run(0);

  // The road itself, with nothing failing.
  // The two checks, the client's service and its adapter are abnormal until repaired.
  EXPECT_EQ(recorded.diagnose.rows, Rows({"异常", "异常", "异常", "异常"}));
  EXPECT_EQ(recorded.repair.rows, Rows({}));
  EXPECT_EQ(recorded.diagnoseAgain.rows, Rows({}));
  EXPECT_EQ(recorded.closingMessage, "导出完毕!");
  ASSERT_TRUE(recorded.target);
  const Archive plain = ReadArchiveBytes(*recorded.target);
  ASSERT_TRUE(plain.readable) << plain.error;
  EXPECT_EQ(Names(plain), sweep::kEntries);
  Findings clean;
  std::vector<Written> written;
  sweep::CheckRegistry(recorded, clean);
  sweep::CheckLeftovers(recorded, clean);
  EXPECT_EQ(clean.problems(), std::vector<std::string>{});
  EXPECT_NE(recorded.registryAfter, recorded.registryBefore) << "the repairs wrote";
  EXPECT_EQ(sweep::DesktopUserCallsMissing(recorded.calls), std::vector<std::string>{});

  std::vector<std::string> problems;
  const std::vector<sweep::FaultPoint> points =
      sweep::ShardOf(sweep::FaultPoints(recorded.calls), GetParam());
  for (const sweep::FaultPoint& point : points) {
    const road::Outcome out = road::Run(point.number);
    Findings found;
    CheckRun(point, out, found, written);
    for (const std::string& problem : found.problems()) {
      problems.push_back(point.where + ": " + problem);
    }
  }
  sweep::CheckArchives(written, problems);

  sweep::PrintSwept(points.size(), "fault points", GetParam(), start);
  EXPECT_TRUE(problems.empty()) << problems.size() << " problems, the first:\n"
                                << sweep::FirstProblems(problems);
}

INSTANTIATE_TEST_SUITE_P(Shards, FaultSweep, ::testing::Range<std::size_t>(0, sweep::kShards));

}  // namespace
