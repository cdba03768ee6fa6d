// The Windows version and the computer's name on the simulated workstation.
#include "platform/system_info.h"

#include "platform/sim/workstation.h"

namespace platform {

bool GetWindowsVersion(VersionInfo* version) {
  sim::Workstation& ws = sim::Workstation::Current();
  VersionInfo answer;
  // As the real backend: the extended structure first, the basic one when it is refused.
  if (!ws.QueryWindowsVersion(true, &answer) && !ws.QueryWindowsVersion(false, &answer)) {
    return false;
  }
  *version = answer;
  return true;
}

bool GetComputerNameText(std::string* name) {
  const std::optional<std::string> answer = sim::Workstation::Current().ComputerName();
  if (!answer) return false;
  *name = *answer;
  return true;
}

}  // namespace platform
