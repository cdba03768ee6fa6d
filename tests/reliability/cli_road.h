// The whole road of the console program on the full workstation, as a support script runs it,
// one command after another in one process: vantik-cli diagnose --json, repair --json,
// diagnose --json, diagnose (text lines), export --json --force --out kTarget over the older
// archive, and export (text lines) to its default name in the current folder. What each
// command did is kept for the checks.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/reliability/sweep_workstation.h"

namespace cli_road {

enum class Command { kDiagnose, kRepair, kExport };

// The default archive in the current folder (kOutFolder), named with the computer's name and,
// when the name cannot be had, without it.
inline constexpr char kDefaultArchive[] = "C:\\out\\Vantik-VANTIK-PC-20260314-092653.zip";
inline constexpr char kNamelessArchive[] = "C:\\out\\Vantik-20260314-092653.zip";

// One command.
struct Step {
  Command command = Command::kDiagnose;
  std::vector<std::string> arguments;
  bool json = false;
  int exitCode = -1;
  std::string out;               // what reached the standard output meanwhile
  std::size_t firstCall = 0;     // calls made before the command began
  std::size_t lastCall = 0;      // by the time it returned
  int registryWrites = 0;        // registry writes it made
  std::vector<int> truthBefore;  // each item normal (0) or abnormal (1) before the command
  std::vector<int> truthAfter;   // and after it
  // The archives in kOutFolder that it changed or made, with what they hold now (nullopt: gone).
  std::map<std::string, std::optional<std::string>> archives;
};

struct Outcome : sweep::Aftermath {
  std::vector<Step> steps;
};

// Runs the road on a fresh full workstation; `failAt` (when not 0) is the number of the one call
// that fails, with its own most likely failure.
Outcome Run(std::size_t failAt);

}  // namespace cli_road
