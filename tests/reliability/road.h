// The whole road of the program on the full workstation, as the main dialog runs it: its three
// lists built, then one-click diagnosis, one-click repair, diagnosis again and the export, each
// list on a worker thread of its own behind the progress dialog's runner, with the posted
// results handled as the main dialog handles them. What each run did is kept for the checks.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "tests/reliability/sweep_workstation.h"

namespace road {

// One unit's run: the platform calls it made (numbers first + 1 to last) and what it posted.
struct UnitRun {
  std::size_t firstCall = 0;  // calls made before the unit began
  std::size_t lastCall = 0;   // calls made by the time it posted
  std::vector<int> posted;    // its results, as posted (one, for a unit that ran)
};

// One run of a list behind the progress dialog.
struct ListRun {
  bool started = false;           // the worker thread was made
  bool ended = false;             // the worker ended, and the dialog with it
  std::vector<UnitRun> units;     // by index
  std::vector<std::string> rows;  // the result list's texts once the run is over
  std::vector<int> truthBefore;   // each item normal (0) or abnormal (1) before the run
  std::vector<int> truthAfter;    // and after it
};

struct Outcome : sweep::Aftermath {
  ListRun diagnose;
  ListRun repair;
  ListRun diagnoseAgain;
  ListRun exportList;
  std::optional<std::string> closingMessage;  // the message box after the export, if any
  std::vector<std::string> messageBoxes;      // every box the road tried to show, in order
};

// Runs the road on a fresh full workstation; `failAt` (when not 0) is the number of the one call
// that fails, with its own most likely failure.
Outcome Run(std::size_t failAt);

}  // namespace road
