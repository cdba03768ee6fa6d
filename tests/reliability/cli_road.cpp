#include "tests/reliability/cli_road.h"

#include <algorithm>
#include <utility>

#include "cli/cli_program.h"
#include "platform/console.h"
#include "tests/report/export_fixture.h"

namespace cli_road {
namespace {

using namespace cli;

using namespace report;
using namespace tasks;

using platform::StdStream;
using platform::sim::Workstation;

// The archives in kOutFolder with their contents; the packer's scratch copies aside.
std::map<std::string, std::string> Archives(Workstation& ws) {
  std::map<std::string, std::string> archives;
  for (const std::string& path : export_test::LeftUnder(ws.files(), sweep::kOutFolder)) {
    if (path.find('~') != std::string::npos) continue;
    if (const std::optional<std::string> bytes = ws.files().Contents(path)) {
      archives[path] = *bytes;
    }
  }
  return archives;
}

Step RunStep(Workstation& ws, Command command, std::vector<std::string> arguments) {
  Step step;
  step.command = command;
  step.json = std::find(arguments.begin(), arguments.end(), "--json") != arguments.end();
  step.arguments = std::move(arguments);
  const sweep::ItemTruths before = sweep::ItemTruth(ws);
  const std::size_t outBefore = ws.console().Bytes(StdStream::kOutput).size();
  const int writesBefore = ws.registry().WriteCount();
  const std::map<std::string, std::string> archivesBefore = Archives(ws);
  step.firstCall = ws.calls().Count();

  step.exitCode = RunCli(step.arguments);

  step.lastCall = ws.calls().Count();
  step.out = ws.console().Bytes(StdStream::kOutput).substr(outBefore);
  step.registryWrites = ws.registry().WriteCount() - writesBefore;
  const bool desktopUser = sweep::FollowedDesktopUser(ws.calls(), step.firstCall);
  step.truthBefore = before.Of(desktopUser);
  step.truthAfter = sweep::ItemTruth(ws).Of(desktopUser);
  const std::map<std::string, std::string> archivesAfter = Archives(ws);
  for (const auto& [path, bytes] : archivesAfter) {
    const auto was = archivesBefore.find(path);
    if (was == archivesBefore.end() || was->second != bytes) step.archives[path] = bytes;
  }
  for (const auto& [path, bytes] : archivesBefore) {
    if (!archivesAfter.contains(path)) step.archives[path] = std::nullopt;
  }
  return step;
}

}  // namespace

Outcome Run(std::size_t failAt) {
  Workstation ws;
  Outcome out;
  sweep::Prepare(ws, failAt, out);
  ws.files().SetCurrentFolder(sweep::kOutFolder);

  const std::pair<Command, std::vector<std::string>> road[] = {
      {Command::kDiagnose, {"diagnose", "--json"}},
      {Command::kRepair, {"repair", "--json"}},
      {Command::kDiagnose, {"diagnose", "--json"}},
      {Command::kDiagnose, {"diagnose"}},
      {Command::kExport, {"export", "--json", "--force", "--out", sweep::kTarget}},
      {Command::kExport, {"export"}},
  };
  for (const auto& [command, arguments] : road) {
    out.steps.push_back(RunStep(ws, command, arguments));
  }
  sweep::Collect(ws, out);
  return out;
}

}  // namespace cli_road
