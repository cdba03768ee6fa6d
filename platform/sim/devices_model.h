// The simulated device tree: devices by enumerator, each with its hardware ids and node status,
// and injected faults.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace platform::sim {

struct Device {
  std::string enumerator = "ROOT\\NET";
  // The SPDRP_HARDWAREID bytes as the property holds them (texts each ended by a zero, then an
  // empty one); nullopt for a device without the property.
  std::optional<std::string> hardwareIds;
  std::uint32_t status = 0;   // DN_* bits
  std::uint32_t problem = 0;  // CM_PROB_* code, with DN_HAS_PROBLEM
  bool present = true;
};

// The hardware id list of one or more ids, as the property holds it.
std::string HardwareIdList(const std::vector<std::string>& ids);

// Device calls that can be told to fail.
enum class DeviceCall { kGetClassDevs, kEnumDevice, kGetProperty, kGetNodeStatus, kEnableNode };

class Devices {
 public:
  Devices& Add(Device device);
  // The device added `position`-th (from 0) now has `problem` (0: none, working).
  Devices& SetProblem(std::size_t position, std::uint32_t problem);
  Device At(std::size_t position) const;
  // Every later `call` fails with `code` (a CONFIGRET for kGetNodeStatus, else a Win32 code).
  Devices& Fail(DeviceCall call, std::uint32_t code);

  // Device information sets made and not yet destroyed, and all ever destroyed.
  int OpenSetCount() const;
  int DestroyedSetCount() const;

  // The backend's side. A set is the list of the devices it holds, by their positions.
  long GetClassDevs(const char* enumerator, std::uint32_t flags, std::vector<std::size_t>* set);
  long EnumDevice(const std::vector<std::size_t>& set, std::uint32_t index, std::size_t* device);
  long GetHardwareIds(std::size_t device, char* buffer, std::uint32_t size,
                      std::uint32_t* returned);
  std::uint32_t GetNodeStatus(std::size_t device, std::uint32_t* status, std::uint32_t* problem);
  // Clears a disabled device's problem; a device with another problem keeps it.
  std::uint32_t EnableNode(std::size_t device);
  void DestroySet();

 private:
  std::optional<std::uint32_t> FaultOf(DeviceCall call) const;

  mutable std::mutex mutex_;
  std::vector<Device> devices_;
  std::vector<std::pair<DeviceCall, std::uint32_t>> faults_;
  int openSets_ = 0;
  int destroyedSets_ = 0;
};

}  // namespace platform::sim
