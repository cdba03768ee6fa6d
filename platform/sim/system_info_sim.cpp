// The Windows version and the computer's name on the simulated workstation.
#include "platform/system_info.h"

#include "platform/sim/workstation.h"
#include "platform/win32_codes.h"

namespace platform {

bool GetWindowsVersion(VersionInfo* version) {
  sim::Workstation& ws = sim::Workstation::Current();
  VersionInfo answer;
  // As the real backend: the extended structure first, the basic one when it is refused.
  const auto query = [&ws, &answer](bool extended) {
    if (sim::EnterCall("GetVersionExA", extended ? "extended" : "basic", ERROR_INVALID_PARAMETER)) {
      return false;
    }
    return ws.QueryWindowsVersion(extended, &answer);
  };
  if (!query(true) && !query(false)) return false;
  *version = answer;
  return true;
}

bool GetComputerNameText(std::string* name) {
  if (sim::EnterCall("GetComputerNameA", "", ERROR_BUFFER_OVERFLOW) != 0) return false;
  const std::optional<std::string> answer = sim::Workstation::Current().ComputerName();
  if (!answer) return false;
  *name = *answer;
  return true;
}

}  // namespace platform
