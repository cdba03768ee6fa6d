// The console program's command line: every command and option, and what makes it bad usage.
#include "cli/cli_arguments.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

using namespace cli;

struct ArgumentsCase {
  const char* name;
  std::vector<std::string> arguments;
  CliRequest request;    // when the line is good
  UsageProblem problem;  // kNone for a good line
  std::string argument;  // what the problem names
};

void PrintTo(const ArgumentsCase& c, std::ostream* os) { *os << c.name; }

CliRequest Request(CliCommand command, bool json = false, std::optional<std::string> out = {},
                   bool force = false) {
  return CliRequest{command, json, std::move(out), force};
}

const ArgumentsCase kCases[] = {
    // Good lines.
    {"Diagnose", {"diagnose"}, Request(CliCommand::kDiagnose), UsageProblem::kNone, ""},
    {"DiagnoseJson",
     {"diagnose", "--json"},
     Request(CliCommand::kDiagnose, true),
     UsageProblem::kNone,
     ""},
    {"JsonBeforeTheCommand",
     {"--json", "repair"},
     Request(CliCommand::kRepair, true),
     UsageProblem::kNone,
     ""},
    {"Repair", {"repair"}, Request(CliCommand::kRepair), UsageProblem::kNone, ""},
    {"ExportAlone", {"export"}, Request(CliCommand::kExport), UsageProblem::kNone, ""},
    {"ExportOutWithSpace",
     {"export", "--out", "C:\\my files\\a b.zip"},
     Request(CliCommand::kExport, false, "C:\\my files\\a b.zip"),
     UsageProblem::kNone,
     ""},
    {"ExportOutEquals",
     {"export", "--out=x.zip"},
     Request(CliCommand::kExport, false, "x.zip"),
     UsageProblem::kNone,
     ""},
    {"ExportEverything",
     {"--force", "export", "--json", "--out", "x.zip"},
     Request(CliCommand::kExport, true, "x.zip", true),
     UsageProblem::kNone,
     ""},
    {"Version", {"--version"}, Request(CliCommand::kVersion), UsageProblem::kNone, ""},
    {"VersionJson",
     {"--version", "--json"},
     Request(CliCommand::kVersion, true),
     UsageProblem::kNone,
     ""},
    {"Help", {"--help"}, Request(CliCommand::kHelp), UsageProblem::kNone, ""},
    {"ShortHelp", {"-h"}, Request(CliCommand::kHelp), UsageProblem::kNone, ""},
    {"WindowsHelp", {"/?"}, Request(CliCommand::kHelp), UsageProblem::kNone, ""},
    {"HelpWinsOverBadUsage",
     {"frobnicate", "--bogus", "--help"},
     Request(CliCommand::kHelp),
     UsageProblem::kNone,
     ""},
    // Bad usage.
    {"Nothing", {}, {}, UsageProblem::kNoCommand, ""},
    {"OptionsWithoutCommand", {"--json"}, {}, UsageProblem::kNoCommand, ""},
    {"UnknownCommand", {"diagnoze"}, {}, UsageProblem::kUnknownCommand, "diagnoze"},
    {"CommandsAreCaseSensitive", {"Diagnose"}, {}, UsageProblem::kUnknownCommand, "Diagnose"},
    {"TwoCommands", {"diagnose", "repair"}, {}, UsageProblem::kSecondCommand, "repair"},
    {"CommandAndVersion", {"export", "--version"}, {}, UsageProblem::kSecondCommand, "--version"},
    {"UnknownOption", {"diagnose", "--verbose"}, {}, UsageProblem::kUnknownOption, "--verbose"},
    {"SlashOption", {"diagnose", "/json"}, {}, UsageProblem::kUnknownCommand, "/json"},
    {"OutLast", {"export", "--out"}, {}, UsageProblem::kMissingValue, "--out"},
    {"OutBeforeAnOption", {"export", "--out", "--force"}, {}, UsageProblem::kMissingValue, "--out"},
    {"OutEmpty", {"export", "--out", ""}, {}, UsageProblem::kMissingValue, "--out"},
    {"OutEqualsEmpty", {"export", "--out="}, {}, UsageProblem::kMissingValue, "--out"},
    {"OutTwice",
     {"export", "--out", "a.zip", "--out", "b.zip"},
     {},
     UsageProblem::kRepeatedOption,
     "--out"},
    {"JsonTwice", {"diagnose", "--json", "--json"}, {}, UsageProblem::kRepeatedOption, "--json"},
    {"ForceTwice", {"export", "--force", "--force"}, {}, UsageProblem::kRepeatedOption, "--force"},
    {"OutForDiagnose",
     {"diagnose", "--out", "x.zip"},
     {},
     UsageProblem::kOptionNotForCommand,
     "--out"},
    {"ForceForRepair", {"repair", "--force"}, {}, UsageProblem::kOptionNotForCommand, "--force"},
    {"FirstProblemIsNamed", {"--bogus", "frobnicate"}, {}, UsageProblem::kUnknownOption, "--bogus"},
};

class Arguments : public ::testing::TestWithParam<ArgumentsCase> {};

TEST_P(Arguments, Parse) {
  const ArgumentsCase& c = GetParam();
  const ParsedArguments parsed = ParseArguments(c.arguments);
  EXPECT_EQ(parsed.problem, c.problem);
  EXPECT_EQ(parsed.argument, c.argument);
  if (c.problem == UsageProblem::kNone) {
    EXPECT_EQ(parsed.request, c.request);
  }
}

INSTANTIATE_TEST_SUITE_P(Cli, Arguments, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
