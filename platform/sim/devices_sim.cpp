// Device information sets and node status on the simulated workstation.
#include "platform/devices.h"

#include <cstring>

#include "platform/cp936.h"
#include "platform/sim/workstation.h"
#include "platform/win32_codes.h"

namespace platform {
namespace sim {

std::string HardwareIdList(const std::vector<std::string>& ids) {
  std::string list;
  for (const std::string& id : ids) {
    list += id;
    list += '\0';
  }
  list += '\0';
  return list;
}

Devices& Devices::Add(Device device) {
  std::lock_guard lock(mutex_);
  devices_.push_back(std::move(device));
  return *this;
}

Devices& Devices::SetProblem(std::size_t position, std::uint32_t problem) {
  std::lock_guard lock(mutex_);
  Device& device = devices_.at(position);
  device.problem = problem;
  device.status = problem != 0 ? device.status | DN_HAS_PROBLEM
                               : device.status & ~static_cast<std::uint32_t>(DN_HAS_PROBLEM);
  return *this;
}

Device Devices::At(std::size_t position) const {
  std::lock_guard lock(mutex_);
  return devices_.at(position);
}

Devices& Devices::Fail(DeviceCall call, std::uint32_t code) {
  std::lock_guard lock(mutex_);
  faults_.emplace_back(call, code);
  return *this;
}

int Devices::OpenSetCount() const {
  std::lock_guard lock(mutex_);
  return openSets_;
}

int Devices::DestroyedSetCount() const {
  std::lock_guard lock(mutex_);
  return destroyedSets_;
}

std::optional<std::uint32_t> Devices::FaultOf(DeviceCall call) const {
  for (const auto& [faulty, code] : faults_) {
    if (faulty == call) return code;
  }
  return std::nullopt;
}

long Devices::GetClassDevs(const char* enumerator, std::uint32_t flags,
                           std::vector<std::size_t>* set) {
  std::lock_guard lock(mutex_);
  if (const auto code = FaultOf(DeviceCall::kGetClassDevs)) return static_cast<long>(*code);
  if (enumerator == nullptr) return ERROR_INVALID_PARAMETER;
  set->clear();
  for (std::size_t i = 0; i < devices_.size(); ++i) {
    if (!cp936::EqualsIgnoreCase(devices_[i].enumerator, enumerator)) continue;
    if ((flags & DIGCF_PRESENT) != 0 && !devices_[i].present) continue;
    set->push_back(i);
  }
  ++openSets_;
  return ERROR_SUCCESS;
}

long Devices::EnumDevice(const std::vector<std::size_t>& set, std::uint32_t index,
                         std::size_t* device) {
  std::lock_guard lock(mutex_);
  if (const auto code = FaultOf(DeviceCall::kEnumDevice)) return static_cast<long>(*code);
  if (index >= set.size()) return ERROR_NO_MORE_ITEMS;
  *device = set[index];
  return ERROR_SUCCESS;
}

long Devices::GetHardwareIds(std::size_t device, char* buffer, std::uint32_t size,
                             std::uint32_t* returned) {
  std::lock_guard lock(mutex_);
  if (const auto code = FaultOf(DeviceCall::kGetProperty)) return static_cast<long>(*code);
  const std::optional<std::string>& ids = devices_.at(device).hardwareIds;
  if (!ids) return ERROR_INVALID_DATA;
  const auto needed = static_cast<std::uint32_t>(ids->size());
  *returned = needed;
  if (buffer == nullptr || size < needed) return ERROR_INSUFFICIENT_BUFFER;
  std::memcpy(buffer, ids->data(), needed);
  return ERROR_SUCCESS;
}

std::uint32_t Devices::GetNodeStatus(std::size_t device, std::uint32_t* status,
                                     std::uint32_t* problem) {
  std::lock_guard lock(mutex_);
  if (const auto code = FaultOf(DeviceCall::kGetNodeStatus)) return *code;
  *status = devices_.at(device).status;
  *problem = devices_.at(device).problem;
  return CR_SUCCESS;
}

std::uint32_t Devices::EnableNode(std::size_t device) {
  std::lock_guard lock(mutex_);
  if (const auto code = FaultOf(DeviceCall::kEnableNode)) return *code;
  Device& node = devices_.at(device);
  if ((node.status & DN_HAS_PROBLEM) != 0 && node.problem == CM_PROB_DISABLED) {
    node.status &= ~static_cast<std::uint32_t>(DN_HAS_PROBLEM);
    node.problem = 0;
  }
  return CR_SUCCESS;
}

void Devices::DestroySet() {
  std::lock_guard lock(mutex_);
  --openSets_;
  ++destroyedSets_;
}

}  // namespace sim

namespace {

sim::Devices& Sim() { return sim::Workstation::Current().devices(); }

// SetupDiDestroyDeviceInfoList, which cannot fail.
void DestroySet() {
  sim::EnterCall("SetupDiDestroyDeviceInfoList", "", 0);
  Sim().DestroySet();
}

}  // namespace

struct DeviceSet::State {
  std::vector<std::size_t> devices;
  std::optional<std::size_t> current;
};

DeviceSet::DeviceSet() = default;

DeviceSet::~DeviceSet() {
  if (state_) DestroySet();
}
DeviceSet::DeviceSet(DeviceSet&& other) noexcept = default;
DeviceSet& DeviceSet::operator=(DeviceSet&& other) noexcept {
  if (this != &other) {
    if (state_) DestroySet();
    state_ = std::move(other.state_);
  }
  return *this;
}

bool DeviceSet::IsOpen() const { return state_ != nullptr; }

long DeviceSet::Open(const char* enumerator, std::uint32_t flags) {
  if (state_) {
    DestroySet();
    state_.reset();
  }
  if (const long fault =
          sim::EnterCall("SetupDiGetClassDevsA", enumerator != nullptr ? enumerator : "",
                         ERROR_NOT_ENOUGH_MEMORY)) {
    return fault;
  }
  auto state = std::make_unique<State>();
  const long result = Sim().GetClassDevs(enumerator, flags, &state->devices);
  if (result == ERROR_SUCCESS) state_ = std::move(state);
  return result;
}

long DeviceSet::Select(std::uint32_t index) {
  if (const long fault =
          sim::EnterCall("SetupDiEnumDeviceInfo", std::to_string(index), ERROR_NOT_ENOUGH_MEMORY)) {
    if (state_) state_->current.reset();
    return fault;
  }
  if (!state_) return ERROR_INVALID_HANDLE;
  state_->current.reset();
  std::size_t device = 0;
  const long result = Sim().EnumDevice(state_->devices, index, &device);
  if (result == ERROR_SUCCESS) state_->current = device;
  return result;
}

long DeviceSet::GetHardwareIds(char* buffer, std::uint32_t size, std::uint32_t* returned) const {
  // The list is longer than the buffer.
  if (const long fault = sim::EnterCall("SetupDiGetDeviceRegistryPropertyA", "hardware ids",
                                        ERROR_INSUFFICIENT_BUFFER)) {
    *returned = size + 1;
    return fault;
  }
  if (!state_ || !state_->current) return ERROR_INVALID_PARAMETER;
  return Sim().GetHardwareIds(*state_->current, buffer, size, returned);
}

std::uint32_t DeviceSet::GetNodeStatus(std::uint32_t* status, std::uint32_t* problem) const {
  constexpr long kNoSuchDevNode = 0x0D;  // CR_NO_SUCH_DEVNODE: the device went away
  if (const long fault = sim::EnterCall("CM_Get_DevNode_Status", "", kNoSuchDevNode)) {
    return static_cast<std::uint32_t>(fault);
  }
  if (!state_ || !state_->current) return CR_FAILURE;
  return Sim().GetNodeStatus(*state_->current, status, problem);
}

std::uint32_t DeviceSet::EnableNode() {
  if (const long fault = sim::EnterCall("CM_Enable_DevNode", "", CR_ACCESS_DENIED)) {
    return static_cast<std::uint32_t>(fault);
  }
  if (!state_ || !state_->current) return CR_FAILURE;
  return Sim().EnableNode(*state_->current);
}

}  // namespace platform
