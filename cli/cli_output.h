// What the console program writes: its text lines, its messages and its JSON document. All
// of it UTF-8 here; the console service turns text into what the console reads.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/cli_arguments.h"
#include "cli/cli_commands.h"

namespace cli {

// The usage: every command and option, and the exit codes.
std::string UsageText();
// One line saying what is wrong with the command line.
std::string UsageProblemText(const ParsedArguments& parsed);
std::string VersionText();

// One line per check: its title and its result text, as the main dialog's row shows them.
std::string DiagnoseText(const std::vector<CheckResult>& checks);
// One line per item: its title, its result text before and after the repair.
std::string RepairText(const std::vector<RepairResult>& items);
// The closing message, then the archive's path when it was written.
std::string ExportText(const ExportResult& result);

// The messages of a command that did not run, without a line end of their own.
std::string NeedsAdminText();
// Why the export did not start (the path could not be made full, or a file is there), or "".
std::string ExportRefusalText(const ExportResult& result);

// A message as the standard error takes it: its own line.
std::string MessageLine(const std::string& message);

// The JSON document: what every command reports (the program, its version, the Windows
// version, whether the process is elevated, whose per-user settings it followed when that is
// not simply the process's own account, the exit code), then the command's own results.
// `elevated` is what the command found of its rights (ProcessIsElevated), so that the document
// says what the command went by. `error` (UTF-8, may be empty) says why the command did not run.
nlohmann::ordered_json JsonDocument(const char* command, bool elevated, int exitCode,
                                    const std::string& error);
void AddChecks(nlohmann::ordered_json& document, const std::vector<CheckResult>& checks);
void AddRepairs(nlohmann::ordered_json& document, const std::vector<RepairResult>& items);
void AddExport(nlohmann::ordered_json& document, const ExportResult& result);

// The document as it is written: UTF-8 whatever the texts held.
std::string JsonText(const nlohmann::ordered_json& document);

}  // namespace cli
