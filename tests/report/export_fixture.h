// What the export tests share: a simulated workstation with a temporary folder and commands
// that write a line naming themselves, an export run, and the export list run as the main
// dialog runs it.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/sim/workstation.h"
#include "report/export_run.h"
#include "report/os_kind.h"
#include "tasks/execute_unit.h"

namespace export_test {

using namespace report;
using namespace tasks;

using platform::sim::Files;
using platform::sim::ShellCall;
using platform::sim::ShellOutcome;

inline constexpr char kTemp[] = "C:\\Documents and Settings\\tester\\Local Settings\\Temp\\";
// The first run's own folder: the simulated workstation counts unique names up from 1.
inline const std::string kRun = std::string(kTemp) + "Vantik-00000001\\";
inline const std::string kLog = kRun + "Vantik.log";
inline const std::string kHotfixes = kRun + "WindowsUpdate.log";
inline const std::string kTarget = "C:\\out\\Vantik.zip";
inline const std::string kOlderArchive = "PK\x05\x06 the archive of an earlier day";

inline const platform::VersionInfo kWindowsXp{2, 5, 1, 2600, 3, 1};
inline const platform::VersionInfo kWindows7{2, 6, 1, 7601, 1, 1};

// Each command writes a line naming itself into every file its redirections name.
inline ShellOutcome EchoCommands(const ShellCall& call, Files& files) {
  std::string::size_type at = 0;
  while ((at = call.parameters.find(">> \"", at)) != std::string::npos) {
    const auto start = at + 4;
    const auto end = call.parameters.find('"', start);
    files.Append(call.parameters.substr(start, end - start), "[" + call.verb + "]\r\n");
    at = end;
  }
  return {};
}

// Runs every unit of a list in order, as the worker does when nothing stops it.
inline std::vector<int> RunEach(const UnitList& units) {
  std::vector<int> results;
  for (const auto& unit : units) results.push_back(unit.run());
  return results;
}

// The export as the main dialog runs it, every unit in order; their results.
inline std::vector<int> ExportLikeTheDialog() {
  std::vector<int> results;
  RunExport(
      ExportCapturesHotfixList(), [&results](const UnitList& units) { results = RunEach(units); },
      nullptr);
  return results;
}

// Paths left under a folder, files and folders made on purpose alike.
inline std::vector<std::string> LeftUnder(Files& files, const std::string& folder) {
  std::vector<std::string> left;
  std::vector<std::string> all = files.Paths();
  for (const std::string& made : files.Folders()) all.push_back(made + "\\");
  for (const std::string& path : all) {
    if (path.compare(0, folder.size(), folder) == 0) left.push_back(path);
  }
  std::sort(left.begin(), left.end());
  return left;
}

class ExportTest : public ::testing::Test {
 protected:
  ExportTest() {
    ForgetOSKindForTest();
    ws_.files().SetTempFolder(kTemp);
    ws_.shell().SetHandler(EchoCommands);
  }
  ~ExportTest() override { ForgetOSKindForTest(); }

  // A new run in place of the test's last one, whose folder goes.
  ExportRun& NewRun() {
    run_ = std::make_shared<ExportRun>();
    return *run_;
  }

  // A new run's list, built as the main dialog builds it, every unit run in order.
  std::vector<int> RunUnits() {
    NewRun();
    UnitList units;
    BuildExportUnits(units, run_, ExportCapturesHotfixList());
    return RunEach(units);
  }

  // The export as the main dialog runs it; the message boxes shown.
  std::vector<std::string> ExportAsTheDialogDoes() {
    ExportLikeTheDialog();
    return ws_.MessageBoxes();
  }

  std::vector<std::string> Verbs() {
    std::vector<std::string> verbs;
    for (const auto& call : ws_.shell().Calls()) verbs.push_back(call.verb);
    return verbs;
  }

  platform::sim::Workstation ws_;
  // The test's run; its folder goes before the workstation it lies on.
  std::shared_ptr<ExportRun> run_ = std::make_shared<ExportRun>();
};

}  // namespace export_test
