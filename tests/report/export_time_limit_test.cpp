// A command capture waits at most two minutes of the workstation's simulated time: a command
// still running then is left to run on, the log says which one did not finish, and the export
// goes on to an archive as usual. What the command still holds stays, with the run's lock, for a
// later export to clear.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/sim/workstation.h"
#include "report/command_capture.h"
#include "tests/report/export_fixture.h"
#include "tests/report/zip_reader.h"

namespace {

using namespace report;
using namespace tasks;

using namespace export_test;
using platform::sim::kRunsForever;

const std::string kNote = "\r\n命令在120秒内未结束： ";
const std::string kWmic = "wbem\\wmic.exe\" qfe";
const std::string kNetwork = "ipconfig.exe\" /all";
const std::string kDns = "ipconfig.exe\" /displaydns";

// Commands that write what EchoCommands writes; the one whose command line holds `slow` runs
// `runs` milliseconds, and one that outlives the wait still holds what `hold` says.
struct SlowCommand {
  std::string slow;
  std::uint32_t runs = kRunsForever;
  std::function<void(Files&)> hold = [](Files&) {};
};

struct LimitCase {
  const char* name;
  std::vector<SlowCommand> slow;
  std::uint64_t waited;                 // simulated milliseconds the export spent on commands
  std::vector<int> results;             // of the five units
  std::vector<std::string> notes;       // the commands the log names, in order
  std::vector<std::string> leftInTemp;  // what a command still holds, and the run's lock
};

void PrintTo(const LimitCase& c, std::ostream* os) { *os << c.name; }

class CaptureTimeLimit : public ExportTest, public ::testing::WithParamInterface<LimitCase> {};

TEST_P(CaptureTimeLimit, ExportGoesOnAndTheLogSaysWhichCommandDidNotFinish) {
  const LimitCase& c = GetParam();
  ws_.shell().SetHandler([&c](const ShellCall& call, Files& files) {
    ShellOutcome outcome = EchoCommands(call, files);
    for (const SlowCommand& slow : c.slow) {
      if (call.parameters.find(slow.slow) == std::string::npos) continue;
      outcome.runsMilliseconds = slow.runs;
      if (slow.runs > call.waitMilliseconds) slow.hold(files);
    }
    return outcome;
  });
  ws_.AnswerSaveAs(kTarget);

  const std::vector<int> results = ExportLikeTheDialog();

  EXPECT_EQ(ws_.clock().Milliseconds(), c.waited);
  EXPECT_EQ(results, c.results);
  for (const ShellCall& call : ws_.shell().Calls()) EXPECT_EQ(call.waitMilliseconds, 120000u);
  EXPECT_EQ(ws_.MessageBoxes(), std::vector<std::string>{"导出完毕!"});
  const Archive archive = ReadArchive(ws_, kTarget);
  ASSERT_TRUE(archive.readable) << archive.error;
  ASSERT_EQ(Names(archive), (std::vector<std::string>{"Vantik.log", "WindowsUpdate.log"}));
  const std::string& log = archive.entries[0].contents;
  std::size_t at = 0;
  for (const std::string& command : c.notes) {
    at = log.find(kNote + command + "\r\n", at);
    EXPECT_NE(at, std::string::npos) << command;
  }
  std::size_t notes = 0;
  for (std::size_t found = log.find(kNote); found != std::string::npos;
       found = log.find(kNote, found + 1)) {
    ++notes;
  }
  EXPECT_EQ(notes, c.notes.size());
  std::vector<std::string> traced;
  for (const std::string& command : c.notes) {
    traced.push_back("Command not finished within 120 seconds: " + command + "\r\n");
  }
  std::vector<std::string> traces = ws_.Traces();
  std::erase_if(traces, [](const std::string& line) { return line.rfind("Command ", 0) != 0; });
  EXPECT_EQ(traces, traced);
  EXPECT_EQ(LeftUnder(ws_.files(), kTemp), c.leftInTemp);
}

const auto kHoldsHotfixes = [](Files& files) { files.Hold(kHotfixes); };
const auto kAppendsToLog = [](Files& files) { files.HoldAppending(kLog); };

INSTANTIATE_TEST_SUITE_P(
    Commands, CaptureTimeLimit,
    ::testing::Values(
        LimitCase{"WithinTheLimit", {{kWmic, 120000}}, 120000, {0, 0, 0, 0, 1}, {}, {}},
        // A broken WMI repository: wmic never ends and goes on holding its output.
        LimitCase{"WmicNeverEnds",
                  {{kWmic, kRunsForever, kHoldsHotfixes}},
                  120000,
                  {0, 1, 0, 0, 1},
                  {"wmic qfe list brief"},
                  {kRun, kHotfixes, kRun + "run.lock"}},
        LimitCase{"JustPastTheLimit",
                  {{kWmic, 120001, kHoldsHotfixes}},
                  120000,
                  {0, 1, 0, 0, 1},
                  {"wmic qfe list brief"},
                  {kRun, kHotfixes, kRun + "run.lock"}},
        // Its redirection still appends to the log, which the note and the next command share.
        LimitCase{"NetworkConfigurationNeverEnds",
                  {{kNetwork, kRunsForever, kAppendsToLog}},
                  120000,
                  {0, 0, 1, 0, 1},
                  {"ipconfig /all && netsh winsock show catalog"},
                  {kRun, kLog, kRun + "run.lock"}},
        LimitCase{"EveryCommandNeverEnds",
                  {{kWmic, kRunsForever, kHoldsHotfixes},
                   {kNetwork, kRunsForever, kAppendsToLog},
                   {kDns, kRunsForever, kAppendsToLog}},
                  360000,
                  {0, 1, 1, 1, 1},
                  {"wmic qfe list brief", "ipconfig /all && netsh winsock show catalog",
                   "ipconfig /displaydns"},
                  {kRun, kLog, kHotfixes, kRun + "run.lock"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
