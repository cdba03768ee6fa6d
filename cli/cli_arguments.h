// The console program's command line: one command per call, and its options.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace cli {

enum class CliCommand {
  kNone,
  kDiagnose,  // the two checks
  kRepair,    // the two repairs, with the checks before and after
  kExport,    // the diagnostic archive
  kHelp,      // --help: the usage
  kVersion,   // --version
};

struct CliRequest {
  CliCommand command = CliCommand::kNone;
  bool json = false;               // --json: one JSON document in place of the text lines
  std::optional<std::string> out;  // --out FILE (export): the archive, as given
  bool force = false;              // --force (export): a file at FILE may be replaced

  bool operator==(const CliRequest&) const = default;
};

// What is wrong with a command line.
enum class UsageProblem {
  kNone,
  kNoCommand,
  kUnknownCommand,       // a word that is no command
  kSecondCommand,        // a command after another one
  kUnknownOption,        // "-..." that is no option
  kMissingValue,         // --out without a file
  kRepeatedOption,       // an option given twice
  kOptionNotForCommand,  // --out or --force with a command other than export
};

struct ParsedArguments {
  CliRequest request;
  UsageProblem problem = UsageProblem::kNone;
  std::string argument;  // the argument that the problem is with, as given
};

// The arguments after the program's name. --help (or -h, /?) anywhere asks for the usage
// whatever else is there; otherwise the first problem found, in argument order, makes the
// whole line bad usage (a missing command and an option that its command does not take are
// found last). "--out FILE" and "--out=FILE" are the same.
ParsedArguments ParseArguments(const std::vector<std::string>& arguments);

}  // namespace cli
