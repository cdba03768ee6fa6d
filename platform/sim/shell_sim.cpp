// Shell commands on the simulated workstation.
#include "platform/shell.h"

#include "platform/sim/workstation.h"

namespace platform {
namespace {

std::string Text(const char* text) { return text != nullptr ? text : ""; }

}  // namespace

int RunHiddenAndWait(const char* verb, const char* file, const char* parameters,
                     const char* directory, std::uint32_t* exitCode) {
  sim::Workstation& ws = sim::Workstation::Current();
  return ws.shell().Run(
      sim::ShellCall{Text(verb), Text(file), Text(parameters), Text(directory)}, ws.files(),
      exitCode);
}

}  // namespace platform
