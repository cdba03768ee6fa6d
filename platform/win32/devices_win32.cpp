// Device information sets (setupapi.dll) and device node status (cfgmgr32.dll) of the real
// system, both from the system folder.
#include "platform/win32/windows_api.h"

#include <cfgmgr32.h>
#include <setupapi.h>

#include "platform/devices.h"
#include "platform/win32/system_library.h"

namespace platform {
namespace {

constexpr char kSetup[] = "setupapi.dll";
// Windows 2000 has CM_Get_DevNode_Status in cfgmgr32.dll alone.
constexpr char kConfigManager[] = "cfgmgr32.dll";

}  // namespace

#ifndef _WIN64
// The size that the shipped 32-bit program passes.
static_assert(sizeof(SP_DEVINFO_DATA) == 28);
#endif

struct DeviceSet::State {
  HDEVINFO set = INVALID_HANDLE_VALUE;
  SP_DEVINFO_DATA device = {};
  bool selected = false;

  ~State() {
    const auto destroy = win32::GetSystemFunction<decltype(&SetupDiDestroyDeviceInfoList)>(
        kSetup, "SetupDiDestroyDeviceInfoList");
    // The set came from the same DLL, which is never unloaded: the function is there.
    if (destroy != nullptr) destroy(set);
  }
};

DeviceSet::DeviceSet() = default;
DeviceSet::~DeviceSet() = default;
DeviceSet::DeviceSet(DeviceSet&& other) noexcept = default;
DeviceSet& DeviceSet::operator=(DeviceSet&& other) noexcept = default;

bool DeviceSet::IsOpen() const { return state_ != nullptr; }

long DeviceSet::Open(const char* enumerator, std::uint32_t flags) {
  state_.reset();
  const auto getClassDevs =
      win32::GetSystemFunction<decltype(&SetupDiGetClassDevsA)>(kSetup, "SetupDiGetClassDevsA");
  if (getClassDevs == nullptr) return ERROR_PROC_NOT_FOUND;
  const HDEVINFO set = getClassDevs(nullptr, enumerator, nullptr, flags);
  if (set == INVALID_HANDLE_VALUE) return static_cast<long>(GetLastError());
  state_ = std::make_unique<State>();
  state_->set = set;
  return ERROR_SUCCESS;
}

long DeviceSet::Select(std::uint32_t index) {
  if (!state_) return ERROR_INVALID_HANDLE;
  state_->selected = false;
  const auto enumDeviceInfo =
      win32::GetSystemFunction<decltype(&SetupDiEnumDeviceInfo)>(kSetup, "SetupDiEnumDeviceInfo");
  if (enumDeviceInfo == nullptr) return ERROR_PROC_NOT_FOUND;
  ZeroMemory(&state_->device, sizeof(state_->device));
  state_->device.cbSize = sizeof(SP_DEVINFO_DATA);
  if (!enumDeviceInfo(state_->set, index, &state_->device)) {
    return static_cast<long>(GetLastError());
  }
  state_->selected = true;
  return ERROR_SUCCESS;
}

long DeviceSet::GetHardwareIds(char* buffer, std::uint32_t size, std::uint32_t* returned) const {
  if (!state_ || !state_->selected) return ERROR_INVALID_PARAMETER;
  const auto getProperty = win32::GetSystemFunction<decltype(&SetupDiGetDeviceRegistryPropertyA)>(
      kSetup, "SetupDiGetDeviceRegistryPropertyA");
  if (getProperty == nullptr) return ERROR_PROC_NOT_FOUND;
  DWORD required = 0;
  const BOOL read = getProperty(state_->set, &state_->device, SPDRP_HARDWAREID, nullptr,
                                reinterpret_cast<BYTE*>(buffer), size, &required);
  *returned = required;
  return read ? ERROR_SUCCESS : static_cast<long>(GetLastError());
}

std::uint32_t DeviceSet::GetNodeStatus(std::uint32_t* status, std::uint32_t* problem) const {
  if (!state_ || !state_->selected) return CR_INVALID_DEVNODE;
  const auto getStatus = win32::GetSystemFunction<decltype(&CM_Get_DevNode_Status)>(
      kConfigManager, "CM_Get_DevNode_Status");
  if (getStatus == nullptr) return CR_FAILURE;
  ULONG nodeStatus = 0;
  ULONG nodeProblem = 0;
  const CONFIGRET result = getStatus(&nodeStatus, &nodeProblem, state_->device.DevInst, 0);
  if (result == CR_SUCCESS) {
    *status = nodeStatus;
    *problem = nodeProblem;
  }
  return result;
}

std::uint32_t DeviceSet::EnableNode() {
  if (!state_ || !state_->selected) return CR_INVALID_DEVNODE;
  const auto enable =
      win32::GetSystemFunction<decltype(&CM_Enable_DevNode)>(kConfigManager, "CM_Enable_DevNode");
  if (enable == nullptr) return CR_FAILURE;
  return enable(state_->device.DevInst, 0);
}

}  // namespace platform
