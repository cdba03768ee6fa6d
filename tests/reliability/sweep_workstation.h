// The full workstation that both programs' roads run on in the fault sweeps, and what a run
// leaves on it for the checks that hold for either program.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/workstation.h"
#include "tests/reliability/registry_changes.h"

namespace sweep {

inline constexpr char kTemp[] = "C:\\Documents and Settings\\tester\\Local Settings\\Temp\\";
inline constexpr char kOutFolder[] = "C:\\out\\";
inline constexpr char kTarget[] = "C:\\out\\Vantik.zip";
inline constexpr char kOlderArchive[] = "PK\x05\x06 the archive of an earlier day";

// What one run left behind, whichever program it was.
struct Aftermath {
  registry_changes::Snapshot registryBefore;
  registry_changes::Snapshot registryAfter;
  std::optional<std::string> target;           // what lies at kTarget afterwards
  std::vector<std::string> leftInTemp;         // under the temporary folder afterwards
  std::vector<std::string> leftAfterCleaning;  // and once a later export has cleared it
  std::vector<std::string> besideTarget;       // an archive's scratch copies left in kOutFolder
  std::vector<std::string> openHandles;        // handle kinds left open, with their counts
  std::vector<platform::sim::PlatformCall> calls;
  bool faultMade = false;  // the call told to fail was made
};

// Makes `ws` the full workstation, run by an administrator for the user at its desktop, with both
// items abnormal, an older archive at kTarget and
// commands that write a line naming themselves; forgets what an earlier run's export left in
// the process, takes the registry as it was, and tells call `failAt` (when not 0) to fail with
// its own most likely failure.
void Prepare(platform::sim::Workstation& ws, std::size_t failAt, Aftermath& out);

// Once the road has run: the rest of `out`; then the run's leftovers are cleared as a later
// export would clear them, and the process forgets the export.
void Collect(platform::sim::Workstation& ws, Aftermath& out);

// Whether each item of the diagnosis is in its normal state (0) or not (1), as the checks define
// it, read from the simulated workstation directly (the two checks, then the diagnosis's rows):
// once with the desktop user's per-user settings,
// which the program follows, and once with its own account's, which it follows when a fault kept
// it from finding the desktop's user.
struct ItemTruths {
  std::vector<int> desktopUser;
  std::vector<int> programUser;

  const std::vector<int>& Of(bool followedDesktopUser) const {
    return followedDesktopUser ? desktopUser : programUser;
  }
};
ItemTruths ItemTruth(platform::sim::Workstation& ws);

// The calls of finding and following the desktop's user that `calls` lacks: the shell's owner,
// the tokens' users, the hive's check, the account's name, a key in the hive and the
// application-data folder asked with the user's token. A road without them sweeps none of them.
std::vector<std::string> DesktopUserCallsMissing(
    const std::vector<platform::sim::PlatformCall>& calls);

// Whether the calls after the first `first` read or wrote the desktop user's hive.
bool FollowedDesktopUser(const platform::sim::CallLog& calls, std::size_t first);

}  // namespace sweep
