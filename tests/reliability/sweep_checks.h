// What the fault sweeps of both programs hold every run to, and how they go through the calls:
// the registry changed only as the repairs change it, nothing left behind for good and no
// handle open, an export deleting nothing of its own before its archive is in place, and every
// archive said to be written read back, with python3's zipfile, once all the runs are done.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "platform/sim/call_log_model.h"
#include "tests/reliability/sweep_workstation.h"

namespace sweep {

// The entries of a complete archive, in order.
extern const std::vector<std::string> kEntries;

// One fault run's problems, in words.
class Findings {
 public:
  void Add(std::string problem) { problems_.push_back(std::move(problem)); }
  const std::vector<std::string>& problems() const { return problems_; }

 private:
  std::vector<std::string> problems_;
};

// One call to fail, and how the problems of its run are introduced.
struct FaultPoint {
  std::size_t number = 0;  // the call's number in the recorded run, from 1
  platform::sim::PlatformCall call;
  std::string where;  // "call N name(detail) failing with code"
};

// Every call of a recorded run that can fail, in order.
std::vector<FaultPoint> FaultPoints(const std::vector<platform::sim::PlatformCall>& recorded);

// A sweep runs as this many tests, which the test command runs side by side: shard s takes
// every kShards-th point from the s-th on.
inline constexpr std::size_t kShards = 4;
std::vector<FaultPoint> ShardOf(const std::vector<FaultPoint>& points, std::size_t shard);

// The run made the same call `point` again, and it failed.
bool MadeAgain(const FaultPoint& point, const Aftermath& out, Findings& found);

// The registry holds nothing but what the repairs write, each whole.
void CheckRegistry(const Aftermath& out, Findings& found);
// What is left lies in a locked run folder for a later export to clear; nothing beside the
// target; no handle open.
void CheckLeftovers(const Aftermath& out, Findings& found);

// An archive at a target that an export said it wrote, to be read back.
struct Written {
  std::string where;
  std::string bytes;
  std::vector<std::string> entries;  // expected, in order
  bool logComplete = true;           // the log holds every banner
  std::vector<std::uint32_t> crcs;   // each entry's CRC as the program reported it, if it did
};

// The closing message (code page 936) says that an archive was put at the target.
bool SaysPlaced(const std::string& message);
// The archive that the closing message says is at the target: every entry but those it names
// as not packed, the log whole unless it says otherwise.
Written SaidArchive(std::string where, const std::string& message, std::string bytes);

// Without an archive in place, the export whose calls are `calls` deleted none of its run's
// files before its folder's own clearing at the run's end (which lists the folder first).
void CheckNothingDeletedUnplaced(std::span<const platform::sim::PlatformCall> calls,
                                 Findings& found);

// Reads every written archive back with python3's zipfile, in one run.
void CheckArchives(const std::vector<Written>& written, std::vector<std::string>& problems);

// A monotonic clock, in seconds.
double Seconds();
// "N <what> swept in S s (shard K of M)" since `start`, the line that the test command brings
// out.
void PrintSwept(std::size_t count, const char* what, std::size_t shard, double start);
// The first problems, one a line, for the failure message.
std::string FirstProblems(const std::vector<std::string>& problems);

}  // namespace sweep
