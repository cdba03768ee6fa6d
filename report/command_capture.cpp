#include "report/command_capture.h"

#include <cstdint>

#include "platform/files.h"
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

// Returns the command's exit code, or nothing when it did not start.
bool RunCommand(const std::string& parameters, std::uint32_t* exitCode) {
  return platform::RunHiddenAndWait(ShellVerb(), "cmd.exe", parameters.c_str(), exitCode) > 32;
}

int AppendCapture(const std::string& path, const std::string& parameters) {
  if (path.empty()) return -1;
  std::uint32_t exitCode = 0xFFFFFFFFu;
  if (!RunCommand(parameters, &exitCode)) return 1;
  return exitCode == 0 ? 0 : 1;
}

}  // namespace

int CaptureHotfixList(const std::string& path) {
  if (path.empty()) return -1;
  {
    platform::File file;
    if (file.CreateForWriting(path.c_str()) != ERROR_SUCCESS) {
      platform::ShowMessageBox("Couldn't create the file!");
      return -1;
    }
  }
  std::uint32_t exitCode = 0xFFFFFFFFu;
  if (!RunCommand("/c  wmic qfe list brief >> " + Quoted(path), &exitCode)) return -1;
  return exitCode == 0 ? 0 : 1;
}

int CaptureNetworkConfig(const std::string& path) {
  return AppendCapture(path, " /C ipconfig /all >> " + Quoted(path) +
                                 " && netsh winsock show catalog >> " + Quoted(path));
}

int CaptureDnsCache(const std::string& path) {
  return AppendCapture(path, " /C ipconfig /displaydns >> " + Quoted(path));
}
