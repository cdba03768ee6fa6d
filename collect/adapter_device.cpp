#include "collect/adapter_device.h"

#include <string_view>

#include "platform/cp936.h"
#include "platform/win32_codes.h"

namespace collect {

namespace {

constexpr std::uint32_t kHardwareIdSize = 256;

}  // namespace

AdapterWalk ForEachAdapterDevice(const char* name,
                                 const std::function<bool(platform::DeviceSet&)>& visit) {
  platform::DeviceSet devices;
  if (devices.Open("ROOT\\NET", DIGCF_PRESENT | DIGCF_ALLCLASSES) != ERROR_SUCCESS) {
    return AdapterWalk::kNotListed;
  }
  for (std::uint32_t index = 0;; ++index) {
    const long selected = devices.Select(index);
    if (selected != ERROR_SUCCESS) {
      return selected == ERROR_NO_MORE_ITEMS ? AdapterWalk::kDone : AdapterWalk::kUnreadable;
    }
    bool matches = false;
    const long read = MatchHardwareId(devices, name, &matches);
    if (read == ERROR_INVALID_DATA || (read == ERROR_SUCCESS && !matches)) continue;
    if (read != ERROR_SUCCESS) return AdapterWalk::kUnreadable;
    if (!visit(devices)) return AdapterWalk::kDone;
  }
}

long MatchHardwareId(const platform::DeviceSet& devices, const char* name, bool* matches) {
  char ids[kHardwareIdSize];
  std::uint32_t returned = 0;
  const long read = devices.GetHardwareIds(ids, sizeof(ids), &returned);
  if (read != ERROR_SUCCESS) return read;
  // The texts of the list, each within the bytes the call returned.
  std::string_view list(ids, returned < sizeof(ids) ? returned : sizeof(ids));
  *matches = false;
  while (!list.empty()) {
    const std::string_view id = list.substr(0, list.find('\0'));
    if (id.empty()) break;
    list.remove_prefix(id.size() < list.size() ? id.size() + 1 : list.size());
    if (platform::cp936::EqualsIgnoreCase(id, name)) *matches = true;
  }
  return ERROR_SUCCESS;
}

AdapterDevice FindAdapterDevice(const char* name) {
  AdapterDevice found;
  const AdapterWalk walked = ForEachAdapterDevice(name, [&](platform::DeviceSet& devices) {
    std::uint32_t status = 0;
    std::uint32_t problem = 0;
    if (devices.GetNodeStatus(&status, &problem) != CR_SUCCESS) {
      found.status = AdapterDevice::kUnreadable;
      return false;
    }
    if ((status & DN_HAS_PROBLEM) == 0) {
      found = AdapterDevice{AdapterDevice::kWorking, 0};
      return false;
    }
    if (found.status == AdapterDevice::kNotPresent) found = {AdapterDevice::kProblem, problem};
    return true;
  });
  if (walked != AdapterWalk::kDone) found.status = AdapterDevice::kUnreadable;
  return found;
}

std::uint32_t EnableAdapterDevice(const char* name) {
  std::uint32_t result = CR_SUCCESS;
  const AdapterWalk walked = ForEachAdapterDevice(name, [&](platform::DeviceSet& devices) {
    std::uint32_t status = 0;
    std::uint32_t problem = 0;
    if (devices.GetNodeStatus(&status, &problem) != CR_SUCCESS) return true;
    if ((status & DN_HAS_PROBLEM) == 0 || problem != CM_PROB_DISABLED) return true;
    result = devices.EnableNode();
    return result == CR_SUCCESS;
  });
  return walked == AdapterWalk::kDone ? result : CR_FAILURE;
}

}  // namespace collect
