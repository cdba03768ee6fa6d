// Every single failure of every platform call that the console program's whole road makes is
// survived, and its exit codes and output still say what is. A recording run of the road
// (cli_road.h) lists the calls; then the road runs once more for each call, with that call
// failing as Windows makes it fail most likely, and each run is held to these rules: every exit
// code is one that the usage gives for its command and agrees with the workstation (a diagnosis
// says 0 only of two normal items, a repair 0 only once both are normal, and only a command one
// of whose own calls failed may say that it could not work or take an item it could not read
// for abnormal); whenever the standard output was written, it is one JSON document that
// python3's json module reads, with the exit code returned and each item as it is, or the text
// lines of the same; an export says 0 only for an archive that reads back with every entry, and
// otherwise leaves the older archive as it was or a new one that reads back as it says; the
// registry, the temporary folder and the handles are held to what the dialog's sweep holds
// them to. The sanitizer build runs it too.
#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "diagnosis/rows.h"
#include "platform/code_page.h"
#include "report/export_outcome.h"
#include "tests/cli/json_reader.h"
#include "tests/reliability/cli_road.h"
#include "tests/reliability/sweep_checks.h"

namespace {

using namespace report;

using cli_road::Command;
using cli_road::Step;
using platform::sim::PlatformCall;
using sweep::Findings;
using sweep::Written;

// The two checks, then the diagnosis's rows.
constexpr std::size_t kItems = 2 + std::size(diagnosis::kRows);

// Item i's title, as its line shows it.
std::string TitleOf(std::size_t i);

// The diagnosis rows' titles and result texts, as the text lines show them.
const char* const kTitles[] = {"检查windows补丁是否有影响", "检查浏览器的UserAgent信息是否正常"};
const char* const kStateNames[] = {"normal", "abnormal", "failed"};
const char* const kStateTexts[] = {"正常", "异常", "检查异常，请手动检查!"};

std::string TitleOf(std::size_t i) {
  return i < 2 ? kTitles[i] : text::GetText(diagnosis::RowTitle(diagnosis::kRows[i - 2]));
}

std::string Label(std::size_t index, const Step& step) {
  std::string label = "command " + std::to_string(index + 1) + " (";
  for (const std::string& argument : step.arguments) {
    label += (label.back() == '(' ? "" : " ") + argument;
  }
  return label + ")";
}

// What the failed call was to the command that made it.
struct Hit {
  bool any = false;           // one of the command's own calls failed
  bool output = false;        // a write to the standard output: what it printed may be lost
  bool conversion = false;    // a code page conversion: a text of it may be empty
  bool computerName = false;  // the computer's name could not be had
};

Hit HitOf(std::size_t number, const PlatformCall& call, const Step& step) {
  Hit hit;
  hit.any = step.firstCall < number && number <= step.lastCall;
  if (!hit.any) return hit;
  const std::string name = call.name;
  hit.output = (name == "WriteFile" || name == "WriteConsoleW") && call.detail == "standard output";
  hit.conversion = name == "MultiByteToWideChar" || name == "WideCharToMultiByte";
  hit.computerName = name == "GetComputerNameA";
  return hit;
}

std::string StateOf(int truth) { return truth == 0 ? "normal" : "abnormal"; }

// A check's state against its item: as the item is, unless one of the command's calls failed;
// then it may have failed, or taken an item that it could not read for abnormal, as the checks'
// rules have it; never may it call an abnormal item normal.
bool StateAllowed(const std::string& state, int truth, bool hit) {
  if (!hit) return state == StateOf(truth);
  return state == "failed" || state == "abnormal" || (state == "normal" && truth == 0);
}

// The exit code that the checks' states make: one failed, 2; else one abnormal, 1; else 0.
int ExitOfStates(const std::vector<std::string>& states) {
  if (std::find(states.begin(), states.end(), "failed") != states.end()) return 2;
  return std::find(states.begin(), states.end(), "abnormal") != states.end() ? 1 : 0;
}

bool AllNormal(const std::vector<int>& truth) {
  return std::all_of(truth.begin(), truth.end(), [](int item) { return item == 0; });
}

void CheckExitCode(const std::string& label, const Step& step, const Hit& hit, Findings& found) {
  const int code = step.exitCode;
  const std::vector<int> documented = step.command == Command::kDiagnose ? std::vector{0, 1, 2}
                                      : step.command == Command::kRepair ? std::vector{0, 1, 2, 3}
                                                                         : std::vector{0, 2};
  if (std::find(documented.begin(), documented.end(), code) == documented.end()) {
    found.Add(label + ": exit code " + std::to_string(code) + ", which it does not have");
    return;
  }
  // What it says when none of its calls fails.
  int expected = 0;
  switch (step.command) {
    case Command::kDiagnose:
      expected = AllNormal(step.truthBefore) ? 0 : 1;
      if (code == 0 && expected != 0) found.Add(label + ": exit code 0 of an abnormal item");
      break;
    case Command::kRepair:
      if (code == 0 && !AllNormal(step.truthAfter)) {
        found.Add(label + ": exit code 0 with an item still abnormal");
      }
      if (code == 3 && step.registryWrites != 0) {
        found.Add(label + ": exit code 3, yet it wrote to the registry");
      }
      break;
    case Command::kExport:
      break;
  }
  if (!hit.any && code != expected) {
    found.Add(label + ": exit code " + std::to_string(code) + " though none of its calls failed");
  }
}

// The archive that an export made at `path`, if it changed anything there.
const std::optional<std::string>* ArchiveAt(const Step& step, const std::string& path) {
  const auto found = step.archives.find(path);
  return found != step.archives.end() ? &found->second : nullptr;
}

// An export that put no archive in place: it did not say 0, and it deleted none of its run's
// files early.
void CheckUnplaced(const std::string& label, const Step& step,
                   const std::vector<PlatformCall>& calls, Findings& found) {
  if (step.exitCode == 0) found.Add(label + ": exit code 0, yet no archive was put in place");
  Findings early;
  sweep::CheckNothingDeletedUnplaced(
      std::span(calls).subspan(step.firstCall, step.lastCall - step.firstCall), early);
  for (const std::string& problem : early.problems()) found.Add(label + ": " + problem);
}

// The text lines of a diagnosis: one per check, its title and its result text, and the exit
// code that they make.
void CheckDiagnoseText(const std::string& label, const Step& step, const Hit& hit,
                       Findings& found) {
  if (hit.output || hit.conversion) return;
  std::vector<std::string> states;
  std::size_t at = 0;
  for (std::size_t i = 0; i < kItems; ++i) {
    const std::size_t end = step.out.find("\r\n", at);
    const std::string line = step.out.substr(at, end == std::string::npos ? end : end - at);
    at = end == std::string::npos ? step.out.size() : end + 2;
    const std::string title = TitleOf(i) + ": ";
    std::string state;
    for (std::size_t s = 0; s < 3; ++s) {
      if (line == title + kStateTexts[s]) state = kStateNames[s];
    }
    if (state.empty()) {
      found.Add(label + ": line " + std::to_string(i + 1) + " reads \"" + line + "\"");
      return;
    }
    if (!StateAllowed(state, step.truthBefore[i], hit.any)) {
      found.Add(label + ": check " + std::to_string(i) + " said " + state + " of an item that is " +
                StateOf(step.truthBefore[i]));
    }
    states.push_back(state);
  }
  if (at != step.out.size()) found.Add(label + ": more lines than items");
  if (ExitOfStates(states) != step.exitCode) {
    found.Add(label + ": exit code " + std::to_string(step.exitCode) + " for lines that make " +
              std::to_string(ExitOfStates(states)));
  }
}

// The text export to its default name: the archive it made, if any, where the name says, and
// its closing message and path on the standard output.
void CheckExportText(const std::string& where, const std::string& label, const Step& step,
                     const Hit& hit, const std::vector<PlatformCall>& calls, Findings& found,
                     std::vector<Written>& written) {
  std::string path;
  for (const auto& [changed, bytes] : step.archives) {
    const bool named = changed == cli_road::kDefaultArchive ||
                       (hit.computerName && changed == cli_road::kNamelessArchive);
    if (!named || !bytes || !path.empty()) {
      found.Add(label + ": changed " + changed);
      return;
    }
    path = changed;
  }
  if (path.empty()) {
    CheckUnplaced(label, step, calls, found);
    if (hit.output || hit.conversion || step.out.empty()) return;
    const std::string message = step.out.substr(0, step.out.size() - 2);
    if (sweep::SaysPlaced(message)) found.Add(label + ": said \"" + message + "\", placed nothing");
    return;
  }
  const std::string& bytes = **ArchiveAt(step, path);
  const std::string tail = "\r\n" + path + "\r\n";
  if (hit.output || hit.conversion) {
    // The export itself went as it should.
    written.push_back(sweep::SaidArchive(where, kExportDone, bytes));
    return;
  }
  if (step.out.size() < tail.size() ||
      step.out.compare(step.out.size() - tail.size(), tail.size(), tail) != 0) {
    found.Add(label + ": the standard output does not end with the archive's path");
    return;
  }
  const std::string message = step.out.substr(0, step.out.size() - tail.size());
  if (!sweep::SaysPlaced(message) || (message == kExportDone) != (step.exitCode == 0)) {
    found.Add(label + ": said \"" + message + "\" with exit code " + std::to_string(step.exitCode));
    return;
  }
  written.push_back(sweep::SaidArchive(where, message, bytes));
}

// A JSON document to be read once every run is done, with what it is to agree with.
struct Document {
  std::string where;
  Step step;
  Hit hit;
};

// The state at "<list>.<i>.<field>" of each item, each against the item's truth.
std::vector<std::string> CheckStates(const JsonFields& json, const std::string& list,
                                     const std::string& field, const std::vector<int>& truth,
                                     const Hit& hit, Findings& found) {
  std::vector<std::string> states;
  for (std::size_t i = 0; i < truth.size(); ++i) {
    const std::string path = list + "." + std::to_string(i) + "." + field;
    const std::string value = json[path];
    const std::string state = value.rfind("s:", 0) == 0 ? value.substr(2) : value;
    if (!StateAllowed(state, truth[i], hit.any)) {
      found.Add(path + " is " + state + " of an item that is " + StateOf(truth[i]));
    }
    states.push_back(state);
  }
  return states;
}

// The closing message of a JSON export, in code page 936 as the program made it.
std::string MessageOf(const JsonFields& json) {
  const std::string value = json["export.message"];
  if (value.rfind("s:", 0) != 0) return {};
  return platform::FromUtf16(platform::ToUtf16(value.substr(2), platform::kCodePageUtf8),
                             platform::kCodePageGbk);
}

std::size_t Number(const std::string& value) {
  return value.find_first_not_of("0123456789") == std::string::npos && !value.empty()
             ? std::stoul(value)
             : 0;
}

// The export's part: complete only with exit code 0, written only with an archive in place,
// and the entries listed those that the archive holds.
void CheckExportDocument(const Document& document, const JsonFields& json, Findings& found,
                         std::vector<Written>& written) {
  const Step& step = document.step;
  const std::optional<std::string>* archive = ArchiveAt(step, sweep::kTarget);
  const bool placed = archive != nullptr && archive->has_value();
  if (json["export.complete"] != (step.exitCode == 0 ? "true" : "false")) {
    found.Add("export.complete is " + json["export.complete"]);
  }
  if (json["export.written"] != (placed ? "true" : "false")) {
    found.Add("export.written is " + json["export.written"]);
  }
  if ((json["error"] != "(absent)") != (json["export.message"] == "null")) {
    found.Add("an error said of an export that ran, or none of one that did not");
  }
  const std::string message = MessageOf(json);
  if (!placed) {
    if (json["export.entries.#"] != "0") found.Add("entries listed of no archive");
    if (sweep::SaysPlaced(message)) found.Add("said \"" + message + "\", placed nothing");
    return;
  }
  if (step.exitCode == 0 && message != kExportDone && !document.hit.conversion) {
    found.Add("exit code 0 with the message \"" + message + "\"");
  }
  Written said =
      sweep::SaidArchive(document.where, step.exitCode == 0 ? kExportDone : message, **archive);
  std::vector<std::string> names;
  for (std::size_t i = 0; i < Number(json["export.entries.#"]); ++i) {
    const std::string entry = "export.entries." + std::to_string(i) + ".";
    names.push_back(json[entry + "name"].substr(2));
    said.crcs.push_back(static_cast<std::uint32_t>(Number(json[entry + "crc32"])));
  }
  // A name that could not be converted is empty; the CRCs still tell the entries.
  if (names != said.entries && !document.hit.conversion) {
    found.Add("the entries listed are not those the message says");
  }
  written.push_back(std::move(said));
}

void CheckDocument(const Document& document, const JsonFields& json, Findings& found,
                   std::vector<Written>& written) {
  const Step& step = document.step;
  if (!json.parsed) {
    found.Add("the standard output is not one JSON document: " + json.error);
    return;
  }
  if (json["exit_code"] != std::to_string(step.exitCode)) {
    found.Add("exit_code " + json["exit_code"] + " of exit code " + std::to_string(step.exitCode));
  }
  // The command is the first argument.
  if (json["command"] != "s:" + step.arguments.front()) {
    found.Add("command " + json["command"]);
  }
  std::vector<std::string> states;
  switch (step.command) {
    case Command::kDiagnose:
      if (json["checks.#"] != std::to_string(kItems)) found.Add("checks.# " + json["checks.#"]);
      states = CheckStates(json, "checks", "state", step.truthBefore, document.hit, found);
      break;
    case Command::kRepair:
      // What the document says of the process's rights is what the command went by.
      if (json["elevated"] != (step.exitCode == 3 ? "false" : "true")) {
        found.Add("elevated " + json["elevated"] + " with exit code " +
                  std::to_string(step.exitCode));
      }
      if (step.exitCode == 3) {
        if (json["repairs.#"] != "(absent)") found.Add("repairs listed though none could run");
        return;
      }
      if (json["repairs.#"] != std::to_string(kItems)) {
        found.Add("repairs.# " + json["repairs.#"]);
      }
      (void)CheckStates(json, "repairs", "before.state", step.truthBefore, document.hit, found);
      for (std::size_t i = 0; i < kItems; ++i) {
        // As after 一键诊断: the repair of an item found normal is not called.
        const std::string item = "repairs." + std::to_string(i) + ".";
        const bool ran = json[item + "before.code"] != "0";
        if (json[item + "repair.ran"] != (ran ? "true" : "false")) {
          found.Add(item + "repair.ran " + json[item + "repair.ran"] + " after code " +
                    json[item + "before.code"]);
        }
      }
      states = CheckStates(json, "repairs", "after.state", step.truthAfter, document.hit, found);
      break;
    case Command::kExport:
      CheckExportDocument(document, json, found, written);
      return;
  }
  if (ExitOfStates(states) != step.exitCode) {
    found.Add("exit code " + std::to_string(step.exitCode) + " for states that make " +
              std::to_string(ExitOfStates(states)));
  }
}

// Reads every document with python3's json module, in one run, and checks each.
void CheckDocuments(const std::vector<Document>& documents, std::vector<Written>& written,
                    std::vector<std::string>& problems) {
  std::vector<std::string> texts;
  for (const Document& document : documents) texts.push_back(document.step.out);
  const std::vector<JsonFields> read = ReadJsonDocuments(texts);
  for (std::size_t i = 0; i < documents.size(); ++i) {
    Findings found;
    CheckDocument(documents[i], read[i], found, written);
    for (const std::string& problem : found.problems()) {
      problems.push_back(documents[i].where + ": " + problem);
    }
  }
}

// The JSON export's archive, as far as it can be told before its document is read: the target
// alone changed, and an export that placed nothing deleted nothing of its own early.
void CheckExportJson(const std::string& where, const std::string& label, const Step& step,
                     const Hit& hit, const std::vector<PlatformCall>& calls, Findings& found,
                     std::vector<Written>& written) {
  for (const auto& [changed, bytes] : step.archives) {
    if (changed != sweep::kTarget || !bytes) found.Add(label + ": changed " + changed);
  }
  const std::optional<std::string>* archive = ArchiveAt(step, sweep::kTarget);
  if (archive == nullptr || !archive->has_value()) {
    CheckUnplaced(label, step, calls, found);
  } else if (step.out.empty() && hit.output) {
    // No document says what it holds: the export itself went as it should.
    written.push_back(sweep::SaidArchive(where, kExportDone, **archive));
  }
}

// The whole of one run but its documents and archives, which are read once all runs are done.
void CheckRun(const sweep::FaultPoint& point, const cli_road::Outcome& out, Findings& found,
              std::vector<Document>& documents, std::vector<Written>& written) {
  sweep::CheckRegistry(out, found);
  sweep::CheckLeftovers(out, found);
  for (std::size_t i = 0; i < out.steps.size(); ++i) {
    const Step& step = out.steps[i];
    const std::string label = Label(i, step);
    const std::string where = point.where + ": " + label;
    const Hit hit = HitOf(point.number, point.call, step);
    CheckExitCode(label, step, hit, found);
    if (step.json && !step.out.empty()) {
      documents.push_back(Document{where, step, hit});
    } else if (step.json && !hit.output) {
      found.Add(label + ": nothing on the standard output");
    }
    switch (step.command) {
      case Command::kDiagnose:
      case Command::kRepair:
        if (!step.archives.empty()) found.Add(label + ": changed an archive");
        if (!step.json) CheckDiagnoseText(label, step, hit, found);
        break;
      case Command::kExport:
        if (step.json) {
          CheckExportJson(where, label, step, hit, out.calls, found, written);
        } else {
          CheckExportText(where, label, step, hit, out.calls, found, written);
        }
        break;
    }
  }
}

// The sweep in shards, each a test of its own: the road is recorded and checked in each.
class ConsoleFaultSweep : public ::testing::TestWithParam<std::size_t> {};

TEST_P(ConsoleFaultSweep, NoSingleFailureOfAnyCallMakesAnExitCodeOrItsOutputUntrue) {
  const double start = sweep::Seconds();
  const cli_road::Outcome recorded = cli_road::Run(0);

  // The road itself, with nothing failing.
  std::vector<int> codes;
  for (const Step& step : recorded.steps) codes.push_back(step.exitCode);
  EXPECT_EQ(codes, (std::vector<int>{1, 0, 0, 0, 0, 0}));
  ASSERT_EQ(recorded.steps.size(), 6u);
  std::string allNormal;
  for (std::size_t i = 0; i < kItems; ++i) allNormal += TitleOf(i) + ": 正常\r\n";
  EXPECT_EQ(recorded.steps[3].out, allNormal);
  EXPECT_EQ(recorded.steps[5].out,
            std::string("导出完毕!\r\n") + cli_road::kDefaultArchive + "\r\n");
  EXPECT_NE(recorded.registryAfter, recorded.registryBefore) << "the repairs wrote";
  EXPECT_EQ(sweep::DesktopUserCallsMissing(recorded.calls), std::vector<std::string>{});
  std::vector<std::string> problems;
  std::vector<Document> documents;
  std::vector<Written> written;
  Findings clean;
  CheckRun(sweep::FaultPoint{0, {}, "the road without a fault"}, recorded, clean, documents,
           written);
  for (const std::string& problem : clean.problems()) {
    problems.push_back("the road without a fault: " + problem);
  }
  EXPECT_EQ(documents.size(), 4u);
  CheckDocuments(documents, written, problems);
  EXPECT_EQ(written.size(), 2u) << "both exports' archives";
  documents.clear();

  const std::vector<sweep::FaultPoint> points =
      sweep::ShardOf(sweep::FaultPoints(recorded.calls), GetParam());
  for (const sweep::FaultPoint& point : points) {
    const cli_road::Outcome out = cli_road::Run(point.number);
    Findings found;
    if (sweep::MadeAgain(point, out, found)) CheckRun(point, out, found, documents, written);
    for (const std::string& problem : found.problems()) {
      problems.push_back(point.where + ": " + problem);
    }
  }
  CheckDocuments(documents, written, problems);
  sweep::CheckArchives(written, problems);

  sweep::PrintSwept(points.size(), "console fault points", GetParam(), start);
  EXPECT_TRUE(problems.empty()) << problems.size() << " problems, the first:\n"
                                << sweep::FirstProblems(problems);
}

INSTANTIATE_TEST_SUITE_P(Shards, ConsoleFaultSweep,
                         ::testing::Range<std::size_t>(0, sweep::kShards));

}  // namespace
