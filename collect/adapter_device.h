// The client's virtual adapter devices among the present ROOT\NET devices, by hardware id.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/devices.h"

namespace collect {

// Whether the device at hand in `devices` has `name` (ASCII case ignored) among its hardware
// ids. The read's Win32 code: ERROR_INVALID_DATA for a device without hardware ids.
long MatchHardwareId(const platform::DeviceSet& devices, const char* name, bool* matches);

// How a walk over the devices ended.
enum class AdapterWalk {
  kDone,        // every device seen, or `visit` stopped it
  kNotListed,   // the ROOT\NET devices could not be listed at all
  kUnreadable,  // a device could not be selected or its hardware ids read
};

// Calls `visit` with each present ROOT\NET device of hardware id `name` at hand in the set,
// until it returns false.
AdapterWalk ForEachAdapterDevice(const char* name,
                                 const std::function<bool(platform::DeviceSet&)>& visit);

// What the diagnosis needs of one adapter device.
struct AdapterDevice {
  enum Status { kWorking, kProblem, kNotPresent, kUnreadable } status = kNotPresent;
  std::uint32_t problem = 0;  // the CM_PROB_* code with kProblem
};

// The present device with hardware id `name`: the first that works, else the first with a
// problem. kUnreadable when the devices cannot be listed or read.
AdapterDevice FindAdapterDevice(const char* name);

// Enables each present, disabled device with hardware id `name`: CR_SUCCESS, or the
// configuration manager's code of the first that failed (CR_FAILURE when the devices cannot
// be read).
std::uint32_t EnableAdapterDevice(const char* name);

}  // namespace collect
