// The contract of the devices seam, on the simulated workstation natively and on Wine's
// SetupAPI in the Windows build, where a test registers a ROOT\NET device as an installer would.
// Wine's node status is a stub that reports no problem: device states are covered on the
// simulated workstation only, at the end.
#ifdef _WIN32
#include "platform/win32/windows_api.h"

#include <devguid.h>
#include <setupapi.h>
#endif

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "platform/devices.h"
#include "platform/win32_codes.h"
#ifndef _WIN32
#include "platform/sim/workstation.h"
#endif

namespace {

using platform::DeviceSet;

constexpr std::uint32_t kPresentAll = DIGCF_PRESENT | DIGCF_ALLCLASSES;
// Two hardware ids, as a network adapter's driver package gives them.
const std::string kIds("TovraDrv\0ROOT\\TovraDrv\0\0", 24);

#ifndef _WIN32
platform::sim::Device SimDevice(std::optional<std::string> ids, std::uint32_t status = 0,
                                std::uint32_t problem = 0, bool present = true) {
  platform::sim::Device device;
  device.hardwareIds = std::move(ids);
  device.status = status;
  device.problem = problem;
  device.present = present;
  return device;
}
#endif

class DevicesConformance : public ::testing::Test {
 protected:
  // A network-class device under ROOT\NET with the two hardware ids.
  void RegisterDevice() {
#ifdef _WIN32
    const HDEVINFO set = SetupDiCreateDeviceInfoList(&GUID_DEVCLASS_NET, nullptr);
    ASSERT_NE(set, INVALID_HANDLE_VALUE);
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof(device);
    ASSERT_TRUE(SetupDiCreateDeviceInfoA(set, "NET", &GUID_DEVCLASS_NET, nullptr, nullptr,
                                         DICD_GENERATE_ID, &device))
        << GetLastError();
    ASSERT_TRUE(SetupDiSetDeviceRegistryPropertyA(set, &device, SPDRP_HARDWAREID,
                                                  reinterpret_cast<const BYTE*>(kIds.data()),
                                                  static_cast<DWORD>(kIds.size())))
        << GetLastError();
    ASSERT_TRUE(SetupDiCallClassInstaller(DIF_REGISTERDEVICE, set, &device)) << GetLastError();
    SetupDiDestroyDeviceInfoList(set);
#else
    ws_.devices().Add(SimDevice(kIds));
#endif
  }

#ifndef _WIN32
  platform::sim::Workstation ws_;
#endif
};

TEST_F(DevicesConformance, SetWithoutDevicesEndsAtOnce) {
  DeviceSet devices;
  ASSERT_EQ(devices.Open("ROOT\\NET", kPresentAll), ERROR_SUCCESS);
  EXPECT_TRUE(devices.IsOpen());
  EXPECT_EQ(devices.Select(0), ERROR_NO_MORE_ITEMS);
}

TEST_F(DevicesConformance, RegisteredDeviceGivesItsHardwareIds) {
  RegisterDevice();
  if (HasFatalFailure()) return;
  DeviceSet devices;
  ASSERT_EQ(devices.Open("ROOT\\NET", kPresentAll), ERROR_SUCCESS);
  ASSERT_EQ(devices.Select(0), ERROR_SUCCESS);
  char ids[256];
  std::uint32_t returned = 0;
  ASSERT_EQ(devices.GetHardwareIds(ids, sizeof(ids), &returned), ERROR_SUCCESS);
  EXPECT_EQ(std::string(ids, returned), kIds);

  char small[8];
  returned = 0;
  EXPECT_EQ(devices.GetHardwareIds(small, sizeof(small), &returned), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(returned, kIds.size()) << "the size needed";

  std::uint32_t status = 0;
  std::uint32_t problem = 0;
  EXPECT_EQ(devices.GetNodeStatus(&status, &problem), CR_SUCCESS);
  EXPECT_EQ(status & DN_HAS_PROBLEM, 0u);
  EXPECT_EQ(devices.Select(1), ERROR_NO_MORE_ITEMS);
}

TEST_F(DevicesConformance, OtherEnumeratorHoldsNoneOfThem) {
  RegisterDevice();
  if (HasFatalFailure()) return;
  DeviceSet devices;
  ASSERT_EQ(devices.Open("ROOT\\VANTIK_NONE", kPresentAll), ERROR_SUCCESS);
  EXPECT_EQ(devices.Select(0), ERROR_NO_MORE_ITEMS);
}

#ifndef _WIN32
// What Wine cannot show: node status, devices without the property, failing calls, and the
// set destroyed once on every path.
TEST(DevicesSim, StatusPropertyAndFaults) {
  platform::sim::Workstation ws;
  ws.devices()
      .Add(SimDevice(std::nullopt))
      .Add(
          SimDevice(platform::sim::HardwareIdList({"MirrelDrv"}), DN_HAS_PROBLEM, CM_PROB_DISABLED))
      .Add(SimDevice(kIds, 0, 0, false));
  {
    DeviceSet devices;
    ASSERT_EQ(devices.Open("root\\net", kPresentAll), ERROR_SUCCESS);
    ASSERT_EQ(devices.Select(0), ERROR_SUCCESS);
    char ids[256];
    std::uint32_t returned = 0;
    EXPECT_EQ(devices.GetHardwareIds(ids, sizeof(ids), &returned), ERROR_INVALID_DATA);
    ASSERT_EQ(devices.Select(1), ERROR_SUCCESS);
    ASSERT_EQ(devices.GetHardwareIds(ids, sizeof(ids), &returned), ERROR_SUCCESS);
    EXPECT_EQ(std::string(ids, returned), std::string("MirrelDrv\0\0", 11));
    std::uint32_t status = 0;
    std::uint32_t problem = 0;
    ASSERT_EQ(devices.GetNodeStatus(&status, &problem), CR_SUCCESS);
    EXPECT_EQ(status, static_cast<std::uint32_t>(DN_HAS_PROBLEM));
    EXPECT_EQ(problem, static_cast<std::uint32_t>(CM_PROB_DISABLED));
    EXPECT_EQ(devices.Select(2), ERROR_NO_MORE_ITEMS) << "the absent device is left out";
    EXPECT_EQ(devices.GetNodeStatus(&status, &problem), static_cast<std::uint32_t>(CR_FAILURE))
        << "no device at hand";
    ASSERT_EQ(devices.Open("ROOT\\NET", DIGCF_ALLCLASSES), ERROR_SUCCESS) << "opened again";
    EXPECT_EQ(devices.Select(2), ERROR_SUCCESS) << "absent devices count without DIGCF_PRESENT";
    EXPECT_EQ(ws.devices().OpenSetCount(), 1);
  }
  EXPECT_EQ(ws.devices().OpenSetCount(), 0);
  EXPECT_EQ(ws.devices().DestroyedSetCount(), 2);

  ws.devices().Fail(platform::sim::DeviceCall::kGetClassDevs, ERROR_INVALID_PARAMETER);
  DeviceSet devices;
  EXPECT_EQ(devices.Open("ROOT\\NET", kPresentAll), ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(devices.IsOpen());
  EXPECT_EQ(ws.devices().DestroyedSetCount(), 2) << "nothing to destroy";
}

// Enabling clears a disabled device's problem and no other; it needs a device at hand.
TEST(DevicesSim, EnableNodeClearsTheDisabledProblemOnly) {
  platform::sim::Workstation ws;
  ws.devices()
      .Add(SimDevice(kIds, DN_HAS_PROBLEM, CM_PROB_DISABLED))
      .Add(SimDevice(kIds, DN_HAS_PROBLEM, 10));
  DeviceSet devices;
  ASSERT_EQ(devices.Open("ROOT\\NET", kPresentAll), ERROR_SUCCESS);
  EXPECT_EQ(devices.EnableNode(), static_cast<std::uint32_t>(CR_FAILURE)) << "no device at hand";
  ASSERT_EQ(devices.Select(0), ERROR_SUCCESS);
  EXPECT_EQ(devices.EnableNode(), static_cast<std::uint32_t>(CR_SUCCESS));
  std::uint32_t status = 99;
  std::uint32_t problem = 99;
  ASSERT_EQ(devices.GetNodeStatus(&status, &problem), CR_SUCCESS);
  EXPECT_EQ(status & DN_HAS_PROBLEM, 0u);
  EXPECT_EQ(problem, 0u);
  ASSERT_EQ(devices.Select(1), ERROR_SUCCESS);
  EXPECT_EQ(devices.EnableNode(), static_cast<std::uint32_t>(CR_SUCCESS));
  EXPECT_EQ(ws.devices().At(1).problem, 10u) << "another problem stays";

  ws.devices().Fail(platform::sim::DeviceCall::kEnableNode, CR_ACCESS_DENIED);
  EXPECT_EQ(devices.EnableNode(), static_cast<std::uint32_t>(CR_ACCESS_DENIED));
}
#endif

}  // namespace
