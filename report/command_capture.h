// The command captures of the export: the system folder's cmd.exe run hidden in the system
// folder, naming each tool by its full path, its output appended to a file by the shell's own
// redirection.
//
// Each capture waits for its command at most kCaptureTimeLimit: a command still running then (a
// wmic that a broken WMI repository holds for ever) is left to finish on its own, never ended by
// force; the capture then gives 1 and names the command in *unfinished (when given), so that the
// export can say so and go on.
#pragma once

#include <cstdint>
#include <string>

namespace report {

inline constexpr std::uint32_t kCaptureTimeLimit = 120000;  // milliseconds

// How a capture's command went, for whoever reports on the run.
struct CommandRun {
  std::string program;     // the shell, by its full path; empty without a system folder
  std::string parameters;  // as the shell was given them
  bool started = false;
  std::uint32_t exitCode = 0;  // when it started and finished
  bool finished = true;        // false: still running when the capture stopped waiting
  std::string name;            // how the export's log names the command ("ipconfig /displaydns")
};

// Each capture fills *run (when given) once it has tried to start its command.

// "wmic qfe list brief" into `path`, emptied first. -1 when the path is empty, the file cannot
// be created or the command does not start (also when the system folder cannot be read); 0 for
// exit code 0; 1 otherwise.
int CaptureHotfixList(const std::string& path, CommandRun* run = nullptr);
// "ipconfig /all" and "netsh winsock show catalog" appended to `path`. -1 when the path is
// empty; 0 for exit code 0; 1 for another code or a command that does not start.
int CaptureNetworkConfig(const std::string& path, CommandRun* run = nullptr);
// "ipconfig /displaydns" appended to `path`, with the results of CaptureNetworkConfig.
int CaptureDnsCache(const std::string& path, CommandRun* run = nullptr);

}  // namespace report
