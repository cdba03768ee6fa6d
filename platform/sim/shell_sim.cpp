// Shell commands on the simulated workstation.
#include "platform/shell.h"

#include "platform/sim/workstation.h"

namespace platform {
namespace {

std::string Text(const char* text) { return text != nullptr ? text : ""; }

}  // namespace

int RunHiddenAndWait(const char* verb, const char* file, const char* parameters,
                     const char* directory, std::uint32_t waitMilliseconds, std::uint32_t* exitCode,
                     bool* finished) {
  // The user refuses the elevation that "runas" asks for.
  constexpr int kAccessDenied = 5;  // SE_ERR_ACCESSDENIED
  if (sim::EnterCall("ShellExecuteExA", Text(file) + Text(parameters), kAccessDenied) != 0) {
    if (exitCode != nullptr) *exitCode = 0xFFFFFFFFu;
    if (finished != nullptr) *finished = false;
    return kAccessDenied;
  }
  sim::Workstation& ws = sim::Workstation::Current();
  return ws.shell().Run(
      sim::ShellCall{Text(verb), Text(file), Text(parameters), Text(directory), waitMilliseconds},
      ws.files(), ws.clock(), exitCode, finished);
}

}  // namespace platform
