// The diagnosis's safe repairs, each followed by its row's check: the outcome is what the check
// finds afterwards, whether the repair worked or not.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "checks/result_codes.h"
#include "diagnosis/rows.h"
#include "platform/sim/workstation.h"
#include "platform/win32_codes.h"
#include "tests/support/healthy_client.h"

namespace {

using namespace diagnosis;
using namespace healthy_client;
using platform::RegRoot;
using platform::sim::Workstation;

constexpr char kService[] = "QuorvService";

std::vector<std::string> FindingKeys(const RowOutcome& outcome) {
  std::vector<std::string> keys;
  for (const Finding& finding : outcome.findings) keys.emplace_back(KindOf(finding.id).key);
  return keys;
}

bool Traced(const Workstation& ws, const std::string& line) {
  for (const std::string& trace : ws.Traces()) {
    if (trace == line) return true;
  }
  return false;
}

void AddDisabledAdapter(Workstation& ws) {
  platform::sim::Device device;
  device.hardwareIds = platform::sim::HardwareIdList({"TovraDrv"});
  device.status = DN_HAS_PROBLEM;
  device.problem = CM_PROB_DISABLED;
  ws.devices().Add(device);
}

TEST(ServiceRepair, StartsAStoppedServiceAndTheCheckFindsItRunning) {
  Workstation ws;
  Seed(ws);
  ws.services().Add(kService, SERVICE_STOPPED, SERVICE_DEMAND_START);
  const RowOutcome outcome = RepairRow(RowId::kClientService);
  EXPECT_EQ(outcome.result, checks::RESULT_NORMAL);
  EXPECT_TRUE(outcome.findings.empty());
  EXPECT_EQ(ws.services().StateOf(kService), SERVICE_RUNNING);
  EXPECT_EQ(ws.services().StartTypeOf(kService), SERVICE_DEMAND_START) << "left as it was";
  EXPECT_EQ(ws.services().OpenHandleCount(), 0);
}

TEST(ServiceRepair, SetsADisabledServiceToStartAutomaticallyAndStartsIt) {
  Workstation ws;
  Seed(ws);
  ws.services().Add(kService, SERVICE_STOPPED, SERVICE_DISABLED);
  const RowOutcome outcome = RepairRow(RowId::kClientService);
  EXPECT_EQ(outcome.result, checks::RESULT_NORMAL);
  EXPECT_EQ(ws.services().StartTypeOf(kService), SERVICE_AUTO_START);
  EXPECT_EQ(ws.services().StateOf(kService), SERVICE_RUNNING);
}

// A repair whose step is refused leaves the row abnormal with its finding, and goes no further.
struct RefusedCase {
  const char* name;
  std::uint32_t startType;
  platform::sim::ServiceCall refused;
  const char* finding;
  const char* trace;
};

void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }

const RefusedCase kRefused[] = {
    {"Start", SERVICE_AUTO_START, platform::sim::ServiceCall::kStart, "client_service_stopped",
     "StartService QuorvService failed: 5\r\n"},
    {"StartTypeChange", SERVICE_DISABLED, platform::sim::ServiceCall::kChangeConfig,
     "client_service_disabled", "ChangeServiceConfig QuorvService failed: 5\r\n"},
};

class RefusedServiceRepair : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedServiceRepair, LeavesTheRowAbnormal) {
  const RefusedCase& c = GetParam();
  Workstation ws;
  Seed(ws);
  ws.services().Add(kService, SERVICE_STOPPED, c.startType).Fail(c.refused, ERROR_ACCESS_DENIED);
  const RowOutcome outcome = RepairRow(RowId::kClientService);
  EXPECT_EQ(outcome.result, checks::RESULT_ABNORMAL);
  EXPECT_EQ(FindingKeys(outcome), std::vector<std::string>{c.finding});
  EXPECT_TRUE(Traced(ws, c.trace));
  EXPECT_EQ(ws.services().StateOf(kService), static_cast<std::uint32_t>(SERVICE_STOPPED));
}

INSTANTIATE_TEST_SUITE_P(Diagnosis, RefusedServiceRepair, ::testing::ValuesIn(kRefused),
                         [](const auto& info) { return std::string(info.param.name); });

// A service whose program hangs is waited for 30 seconds, no longer, and the repair says so.
TEST(ServiceRepair, WaitsThirtySecondsAtMostForTheServiceToRun) {
  Workstation ws;
  Seed(ws);
  ws.services().Add(kService, SERVICE_STOPPED, SERVICE_AUTO_START).HangOnStart(kService);
  const auto before = ws.clock().Milliseconds();
  (void)RepairRow(RowId::kClientService);
  EXPECT_EQ(ws.clock().Milliseconds() - before, kServiceStartWaitMilliseconds);
  EXPECT_EQ(ws.services().StateOf(kService), SERVICE_START_PENDING);
  EXPECT_TRUE(Traced(ws, "StartService QuorvService failed: 1053\r\n"));
}

TEST(ServiceRepair, ARunningServiceIsLeftAlone) {
  Workstation ws;
  Seed(ws);
  EXPECT_EQ(RepairRow(RowId::kClientService).result, checks::RESULT_NORMAL);
  for (const auto& call : ws.calls().Calls()) {
    EXPECT_NE(std::string(call.name), "StartServiceA");
    EXPECT_NE(std::string(call.name), "ChangeServiceConfigA");
  }
}

TEST(AdapterRepair, EnablesADisabledAdapter) {
  Workstation ws;
  Seed(ws, kAll & ~kAdapterDevice);
  AddDisabledAdapter(ws);
  const RowOutcome outcome = RepairRow(RowId::kVirtualAdapter);
  EXPECT_EQ(outcome.result, checks::RESULT_NORMAL);
  EXPECT_TRUE(outcome.findings.empty());
  EXPECT_EQ(ws.devices().OpenSetCount(), 0);
}

TEST(AdapterRepair, AnAdapterThatCannotBeEnabledStaysAbnormal) {
  Workstation ws;
  Seed(ws, kAll & ~kAdapterDevice);
  AddDisabledAdapter(ws);
  ws.devices().Fail(platform::sim::DeviceCall::kEnableNode, CR_ACCESS_DENIED);
  const RowOutcome outcome = RepairRow(RowId::kVirtualAdapter);
  EXPECT_EQ(outcome.result, checks::RESULT_ABNORMAL);
  EXPECT_EQ(FindingKeys(outcome), std::vector<std::string>{"virtual_adapter_disabled"});
}

TEST(AdapterRepair, BindsTheAdapterToTcpipKeepingWhatWasBound) {
  Workstation ws;
  Seed(ws);
  const std::string linkage = std::string(kAdapterEntry) + "\\Linkage";
  ws.registry().SetValue(RegRoot::kLocalMachine, linkage, "UpperBind", REG_MULTI_SZ,
                         std::string("NetBT\0\0", 7));
  EXPECT_EQ(RepairRow(RowId::kVirtualAdapter).result, checks::RESULT_NORMAL);
  const auto value = ws.registry().Value(RegRoot::kLocalMachine, linkage, "UpperBind");
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(value->data, std::string("NetBT\0Tcpip\0\0", 13));
}

// Without a safe repair, the repair unit only checks again: nothing is changed.
TEST(NoSafeRepair, ProxyHostsAndComponentsAreCheckedAgainAndStayAbnormal) {
  Workstation ws;
  Seed(ws, kAll & ~kHosts & ~kNameSpace);
  ws.files().AddFile(kHostsFile, "10.1.2.3 vpn.example.com\n", kWritten);
  ws.registry().SetDword(RegRoot::kCurrentUser, kInternetSettings, "ProxyEnable", 1);
  const int writes = ws.registry().WriteCount();
  for (const RowId row : {RowId::kClientComponents, RowId::kBrowserProxy, RowId::kHostsFile}) {
    EXPECT_EQ(RepairRow(row).result, checks::RESULT_ABNORMAL) << RowKey(row);
  }
  EXPECT_EQ(ws.registry().WriteCount(), writes);
  EXPECT_EQ(ws.files().Contents(kHostsFile), "10.1.2.3 vpn.example.com\n");
}

}  // namespace
