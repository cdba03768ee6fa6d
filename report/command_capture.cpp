#include "report/command_capture.h"

#include <cstdint>

#include "platform/files.h"
#include "platform/folders.h"
#include "platform/prompt.h"
#include "platform/shell.h"
#include "platform/win32_codes.h"
#include "report/os_kind.h"

namespace report {

namespace {

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

// Elevation is asked for where the system knows it (Vista and later), and only where someone
// can answer the request: the same command started from an elevated program is elevated
// anyway.
const char* ShellVerb() {
  int kind = 0;
  int servicePack = 0;
  return GetOSKind(kind, servicePack) == 0 && kind >= OS_WINDOWS_VISTA && platform::CanAskUser()
             ? "runas"
             : "open";
}

// The program runs elevated, often from the Downloads folder: a program named by its bare name
// would be looked for in the current folder first. So cmd.exe and every tool it runs are named
// by their full paths in the system folder, and cmd.exe starts there.

// The system folder without a trailing backslash; empty when it cannot be read.
std::string SystemFolder() {
  char folder[260];
  const std::uint32_t length = platform::GetSystemFolder(folder, sizeof(folder));
  if (length == 0 || length >= sizeof(folder)) return {};
  return std::string(folder, length);
}

// A tool under the system folder, quoted: the folder may hold spaces.
std::string Tool(const std::string& system, const char* name) {
  return Quoted(system + "\\" + name);
}

// cmd.exe /C strips the first and the last quote of a command that begins with one, so the
// whole command goes between one more pair of quotes and its own quoted paths stay whole.
std::string ShellCommand(const char* cmdSwitch, const std::string& command) {
  return cmdSwitch + Quoted(command);
}

// The system folder's cmd.exe; empty without a system folder.
std::string Shell(const std::string& system) {
  return system.empty() ? std::string() : system + "\\cmd.exe";
}

// Starts the command and waits for it, at most the time limit: true when it started, with its
// exit code in *exitCode when it also finished (a command still running keeps the preset code,
// which is not 0). Without a system folder nothing is started: never a cmd.exe from anywhere
// else. *run (when given) tells how it went.
bool RunCommand(const std::string& system, const std::string& parameters, const char* name,
                std::uint32_t* exitCode, CommandRun* run) {
  const std::string shell = Shell(system);
  bool finished = false;
  const bool started =
      !system.empty() &&
      platform::RunHiddenAndWait(ShellVerb(), shell.c_str(), parameters.c_str(), system.c_str(),
                                 kCaptureTimeLimit, exitCode, &finished) > 32;
  if (run != nullptr) {
    *run = CommandRun{
        shell, parameters, started, started && finished ? *exitCode : 0, !started || finished,
        name};
  }
  return started;
}

int AppendCapture(const std::string& path, const std::string& system, const std::string& parameters,
                  const char* name, CommandRun* run) {
  if (path.empty()) return -1;
  std::uint32_t exitCode = 0xFFFFFFFFu;
  if (!RunCommand(system, parameters, name, &exitCode, run)) return 1;
  return exitCode == 0 ? 0 : 1;
}

}  // namespace

int CaptureHotfixList(const std::string& path, CommandRun* run) {
  if (path.empty()) return -1;
  const std::string system = SystemFolder();
  const std::string parameters =
      ShellCommand("/c  ", Tool(system, "wbem\\wmic.exe") + " qfe list brief >> " + Quoted(path));
  {
    platform::File file;
    if (file.CreateForWriting(path.c_str()) != ERROR_SUCCESS) {
      platform::ShowMessageBox("Couldn't create the file!");
      if (run != nullptr)
        *run = CommandRun{Shell(system), parameters, false, 0, true, "wmic qfe list brief"};
      return -1;
    }
  }
  std::uint32_t exitCode = 0xFFFFFFFFu;
  if (!RunCommand(system, parameters, "wmic qfe list brief", &exitCode, run)) return -1;
  return exitCode == 0 ? 0 : 1;
}

int CaptureNetworkConfig(const std::string& path, CommandRun* run) {
  const std::string system = SystemFolder();
  return AppendCapture(path, system,
                       ShellCommand(" /C ", Tool(system, "ipconfig.exe") + " /all >> " +
                                                Quoted(path) + " && " + Tool(system, "netsh.exe") +
                                                " winsock show catalog >> " + Quoted(path)),
                       "ipconfig /all && netsh winsock show catalog", run);
}

int CaptureDnsCache(const std::string& path, CommandRun* run) {
  const std::string system = SystemFolder();
  return AppendCapture(
      path, system,
      ShellCommand(" /C ", Tool(system, "ipconfig.exe") + " /displaydns >> " + Quoted(path)),
      "ipconfig /displaydns", run);
}

}  // namespace report
