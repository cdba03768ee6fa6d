#include "report/command_capture.h"

#include <cstdint>

#include "platform/files.h"
#include "platform/folders.h"
#include "platform/prompt.h"
#include "platform/shell.h"
#include "platform/win32_codes.h"
#include "report/os_kind.h"

namespace {

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

// Elevation is asked for where the system knows it (Vista and later).
const char* ShellVerb() {
  int kind = 0;
  int servicePack = 0;
  return GetOSKind(kind, servicePack) == 0 && kind >= OS_WINDOWS_VISTA ? "runas" : "open";
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

// A command to run, and how the export's log names it should it not end in time.
struct Command {
  std::string parameters;
  const char* name;
};

// False when the command did not start. Without a system folder nothing is started: never a
// cmd.exe from anywhere else. A command still running after the time limit keeps its exit code
// preset (not 0) and is named in *unfinished.
bool RunCommand(const std::string& system, const Command& command, std::uint32_t* exitCode,
                std::string* unfinished) {
  if (system.empty()) return false;
  const std::string shell = system + "\\cmd.exe";
  bool finished = false;
  if (platform::RunHiddenAndWait(ShellVerb(), shell.c_str(), command.parameters.c_str(),
                                 system.c_str(), kCaptureTimeLimit, exitCode, &finished) <= 32) {
    return false;
  }
  if (!finished && unfinished != nullptr) *unfinished = command.name;
  return true;
}

int AppendCapture(const std::string& path, const std::string& system, const Command& command,
                  std::string* unfinished) {
  if (path.empty()) return -1;
  std::uint32_t exitCode = 0xFFFFFFFFu;
  if (!RunCommand(system, command, &exitCode, unfinished)) return 1;
  return exitCode == 0 ? 0 : 1;
}

}  // namespace

int CaptureHotfixList(const std::string& path, std::string* unfinished) {
  if (path.empty()) return -1;
  {
    platform::File file;
    if (file.CreateForWriting(path.c_str()) != ERROR_SUCCESS) {
      platform::ShowMessageBox("Couldn't create the file!");
      return -1;
    }
  }
  const std::string system = SystemFolder();
  std::uint32_t exitCode = 0xFFFFFFFFu;
  const Command wmic{
      ShellCommand("/c  ", Tool(system, "wbem\\wmic.exe") + " qfe list brief >> " + Quoted(path)),
      "wmic qfe list brief"};
  if (!RunCommand(system, wmic, &exitCode, unfinished)) return -1;
  return exitCode == 0 ? 0 : 1;
}

int CaptureNetworkConfig(const std::string& path, std::string* unfinished) {
  const std::string system = SystemFolder();
  const Command commands{
      ShellCommand(" /C ", Tool(system, "ipconfig.exe") + " /all >> " + Quoted(path) + " && " +
                               Tool(system, "netsh.exe") + " winsock show catalog >> " +
                               Quoted(path)),
      "ipconfig /all && netsh winsock show catalog"};
  return AppendCapture(path, system, commands, unfinished);
}

int CaptureDnsCache(const std::string& path, std::string* unfinished) {
  const std::string system = SystemFolder();
  const Command ipconfig{
      ShellCommand(" /C ", Tool(system, "ipconfig.exe") + " /displaydns >> " + Quoted(path)),
      "ipconfig /displaydns"};
  return AppendCapture(path, system, ipconfig, unfinished);
}
