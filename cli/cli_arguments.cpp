#include "cli/cli_arguments.h"

#include <algorithm>
#include <string_view>

namespace cli {

namespace {

constexpr std::string_view kOutOption = "--out";

std::optional<CliCommand> CommandNamed(std::string_view word) {
  if (word == "diagnose") return CliCommand::kDiagnose;
  if (word == "repair") return CliCommand::kRepair;
  if (word == "export") return CliCommand::kExport;
  return std::nullopt;
}

bool IsHelp(std::string_view argument) {
  return argument == "--help" || argument == "-h" || argument == "/?";
}

// Records the first problem only.
void Refuse(ParsedArguments& parsed, UsageProblem problem, std::string_view argument) {
  if (parsed.problem != UsageProblem::kNone) return;
  parsed.problem = problem;
  parsed.argument = argument;
}

void SetCommand(ParsedArguments& parsed, CliCommand command, std::string_view argument) {
  if (parsed.request.command != CliCommand::kNone) {
    Refuse(parsed, UsageProblem::kSecondCommand, argument);
    return;
  }
  parsed.request.command = command;
}

}  // namespace

ParsedArguments ParseArguments(const std::vector<std::string>& arguments) {
  ParsedArguments parsed;
  if (std::any_of(arguments.begin(), arguments.end(), IsHelp)) {
    parsed.request.command = CliCommand::kHelp;
    return parsed;
  }
  std::string outOption;  // as given, for a message about it
  std::string forceOption;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--json") {
      if (parsed.request.json) Refuse(parsed, UsageProblem::kRepeatedOption, argument);
      parsed.request.json = true;
    } else if (argument == "--force") {
      if (parsed.request.force) Refuse(parsed, UsageProblem::kRepeatedOption, argument);
      parsed.request.force = true;
      forceOption = argument;
    } else if (argument == "--version") {
      SetCommand(parsed, CliCommand::kVersion, argument);
    } else if (argument == kOutOption || argument.starts_with("--out=")) {
      if (parsed.request.out) Refuse(parsed, UsageProblem::kRepeatedOption, kOutOption);
      outOption = kOutOption;
      std::string value;
      if (argument == kOutOption) {
        // A following option is not taken for the file: "--out --force" lacks one.
        if (i + 1 < arguments.size() && !arguments[i + 1].starts_with("-")) value = arguments[++i];
      } else {
        value = argument.substr(kOutOption.size() + 1);
      }
      if (value.empty()) Refuse(parsed, UsageProblem::kMissingValue, kOutOption);
      parsed.request.out = value;
    } else if (argument.starts_with("-")) {
      Refuse(parsed, UsageProblem::kUnknownOption, argument);
    } else if (const std::optional<CliCommand> command = CommandNamed(argument)) {
      SetCommand(parsed, *command, argument);
    } else {
      Refuse(parsed, UsageProblem::kUnknownCommand, argument);
    }
  }
  if (parsed.request.command == CliCommand::kNone) Refuse(parsed, UsageProblem::kNoCommand, "");
  if (parsed.request.command != CliCommand::kExport) {
    if (parsed.request.out) Refuse(parsed, UsageProblem::kOptionNotForCommand, outOption);
    if (parsed.request.force) Refuse(parsed, UsageProblem::kOptionNotForCommand, forceOption);
  }
  return parsed;
}

}  // namespace cli
