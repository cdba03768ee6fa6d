// Devices: a SetupAPI device information set (setupapi.dll) and the device node status of the
// configuration manager (cfgmgr32.dll), both loaded at run time from the system folder.
//
// Calls return ERROR_SUCCESS or the Win32 code (GetLastError), except GetNodeStatus, which
// returns the configuration manager's own code (CR_SUCCESS 0). A missing DLL or function fails
// the call that needs it: ERROR_PROC_NOT_FOUND, or CR_FAILURE for the node status.
#pragma once

#include <cstdint>
#include <memory>

namespace platform {

// One device information set and the device of it at hand. Move-only; the destructor destroys
// the set (SetupDiDestroyDeviceInfoList), once.
class DeviceSet {
 public:
  DeviceSet();
  ~DeviceSet();
  DeviceSet(DeviceSet&& other) noexcept;
  DeviceSet& operator=(DeviceSet&& other) noexcept;
  DeviceSet(const DeviceSet&) = delete;
  DeviceSet& operator=(const DeviceSet&) = delete;

  // SetupDiGetClassDevsA(nullptr, enumerator, nullptr, flags): the devices of every class that
  // the enumerator ("ROOT\NET") holds, with DIGCF_PRESENT the present ones only. On failure the
  // object holds no set. Destroys any set held before.
  [[nodiscard]] long Open(const char* enumerator, std::uint32_t flags);

  // SetupDiEnumDeviceInfo(index): makes the index-th device the one at hand.
  // ERROR_NO_MORE_ITEMS past the last device; then no device is at hand.
  [[nodiscard]] long Select(std::uint32_t index);

  // SetupDiGetDeviceRegistryPropertyA(SPDRP_HARDWAREID) of the device at hand: its hardware ids,
  // a list of zero-terminated texts ended by an empty one, into `buffer` of `size` bytes.
  // *returned is the number of bytes written (or needed, with ERROR_INSUFFICIENT_BUFFER when they
  // do not fit). ERROR_INVALID_DATA when the device has no hardware id.
  [[nodiscard]] long GetHardwareIds(char* buffer, std::uint32_t size,
                                    std::uint32_t* returned) const;

  // CM_Get_DevNode_Status(&status, &problem, device, 0) of the device at hand: its DN_* status
  // bits and, with DN_HAS_PROBLEM, its CM_PROB_* problem code. Both are left as they were on
  // failure.
  [[nodiscard]] std::uint32_t GetNodeStatus(std::uint32_t* status, std::uint32_t* problem) const;

  // CM_Enable_DevNode(device, 0) of the device at hand: enables a disabled device. The
  // configuration manager's code: CR_SUCCESS, CR_ACCESS_DENIED without administrator rights.
  [[nodiscard]] std::uint32_t EnableNode();

  bool IsOpen() const;

 private:
  struct State;  // the backend's set and device at hand
  std::unique_ptr<State> state_;
};

}  // namespace platform
