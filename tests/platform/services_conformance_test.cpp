// The contract of the service manager seam, on the simulated workstation natively and on Wine's
// real service manager in the Windows build. The simulated workstation holds the one service of
// a Wine prefix that the cases open; what Wine cannot be made to do (refuse the manager, fail a
// status query) is at the end, for the simulated backend only.
#include <gtest/gtest.h>

#include <cstdint>

#include "platform/services.h"
#include "platform/win32_codes.h"
#ifndef _WIN32
#include "platform/sim/workstation.h"
#endif

namespace {

using platform::ServiceHandle;

class ServicesConformance : public ::testing::Test {
#ifndef _WIN32
 protected:
  ServicesConformance() { ws_.services().Add("EventLog", SERVICE_RUNNING); }
  platform::sim::Workstation ws_;
#endif
};

TEST_F(ServicesConformance, KnownServiceOpensByNameInAnyCaseAndHasAState) {
  ServiceHandle manager;
  ASSERT_EQ(manager.OpenManager(SC_MANAGER_ALL_ACCESS), ERROR_SUCCESS);
  for (const char* name : {"EventLog", "EVENTLOG", "eventlog"}) {
    ServiceHandle service;
    ASSERT_EQ(service.Open(manager, name, SERVICE_ALL_ACCESS), ERROR_SUCCESS) << name;
    EXPECT_TRUE(service.IsOpen());
    std::uint32_t state = 0;
    ASSERT_EQ(service.QueryState(&state), ERROR_SUCCESS);
    EXPECT_GE(state, 1u);
    EXPECT_LE(state, 7u);
  }
}

TEST_F(ServicesConformance, UnknownServiceDoesNotExist) {
  ServiceHandle manager;
  ASSERT_EQ(manager.OpenManager(SC_MANAGER_ALL_ACCESS), ERROR_SUCCESS);
  ServiceHandle service;
  EXPECT_EQ(service.Open(manager, "QuorvService", SERVICE_ALL_ACCESS),
            ERROR_SERVICE_DOES_NOT_EXIST);
  EXPECT_FALSE(service.IsOpen());
}

TEST_F(ServicesConformance, HandlesMoveAndClose) {
  ServiceHandle manager;
  ASSERT_EQ(manager.OpenManager(SC_MANAGER_ALL_ACCESS), ERROR_SUCCESS);
  ServiceHandle moved(std::move(manager));
  EXPECT_FALSE(manager.IsOpen());
  ServiceHandle service;
  ASSERT_EQ(service.Open(moved, "EventLog", SERVICE_ALL_ACCESS), ERROR_SUCCESS);
  moved.Close();
  EXPECT_FALSE(moved.IsOpen());
  std::uint32_t state = 0;
  EXPECT_EQ(service.QueryState(&state), ERROR_SUCCESS) << "a service outlives its manager";
}

TEST_F(ServicesConformance, KnownServiceHasAStartType) {
  ServiceHandle manager;
  ASSERT_EQ(manager.OpenManager(SC_MANAGER_ALL_ACCESS), ERROR_SUCCESS);
  ServiceHandle service;
  ASSERT_EQ(service.Open(manager, "EventLog", SERVICE_ALL_ACCESS), ERROR_SUCCESS);
  std::uint32_t startType = 99;
  ASSERT_EQ(service.QueryStartType(&startType), ERROR_SUCCESS);
  EXPECT_LE(startType, static_cast<std::uint32_t>(SERVICE_DISABLED));
}

#ifndef _WIN32
// Starting and changing a service need one that may be changed: what the simulated manager holds.
TEST(ServicesSim, StartWaitsForTheServiceAndChangesItsStartType) {
  platform::sim::Workstation ws;
  ws.services()
      .Add("Stopped", SERVICE_STOPPED)
      .Add("Disabled", SERVICE_STOPPED, SERVICE_DISABLED)
      .Add("Running", SERVICE_RUNNING)
      .Add("Hanging", SERVICE_STOPPED)
      .HangOnStart("Hanging");
  ServiceHandle manager;
  ASSERT_EQ(manager.OpenManager(SC_MANAGER_CONNECT), ERROR_SUCCESS);
  const auto start = [&](const char* name) {
    ServiceHandle service;
    EXPECT_EQ(service.Open(manager, name, SERVICE_START | SERVICE_QUERY_STATUS), ERROR_SUCCESS);
    return service.StartAndWait(30000);
  };
  EXPECT_EQ(start("Stopped"), ERROR_SUCCESS);
  EXPECT_EQ(ws.services().StateOf("Stopped"), static_cast<std::uint32_t>(SERVICE_RUNNING));
  EXPECT_EQ(start("Running"), ERROR_SUCCESS) << "already running counts as started";
  EXPECT_EQ(start("Disabled"), ERROR_SERVICE_DISABLED);
  const auto before = ws.clock().Milliseconds();
  EXPECT_EQ(start("Hanging"), ERROR_SERVICE_REQUEST_TIMEOUT);
  EXPECT_EQ(ws.clock().Milliseconds() - before, 30000u) << "waited the whole bound, no longer";

  ServiceHandle disabled;
  ASSERT_EQ(disabled.Open(manager, "Disabled", SERVICE_CHANGE_CONFIG | SERVICE_QUERY_CONFIG),
            ERROR_SUCCESS);
  ASSERT_EQ(disabled.ChangeStartType(SERVICE_AUTO_START), ERROR_SUCCESS);
  std::uint32_t startType = 0;
  ASSERT_EQ(disabled.QueryStartType(&startType), ERROR_SUCCESS);
  EXPECT_EQ(startType, static_cast<std::uint32_t>(SERVICE_AUTO_START));

  ws.services().Fail(platform::sim::ServiceCall::kQueryConfig, ERROR_ACCESS_DENIED);
  startType = 99;
  EXPECT_EQ(disabled.QueryStartType(&startType), ERROR_ACCESS_DENIED);
  EXPECT_EQ(startType, 99u) << "untouched";
  ws.services().Fail(platform::sim::ServiceCall::kChangeConfig, ERROR_ACCESS_DENIED);
  EXPECT_EQ(disabled.ChangeStartType(SERVICE_DISABLED), ERROR_ACCESS_DENIED);
  EXPECT_EQ(ws.services().StartTypeOf("Disabled"), static_cast<std::uint32_t>(SERVICE_AUTO_START));
}

TEST(ServicesSim, FaultsAndEveryHandleClosed) {
  platform::sim::Workstation ws;
  ws.services().Add("QuorvService", 1);
  {
    ServiceHandle manager;
    ASSERT_EQ(manager.OpenManager(SC_MANAGER_ALL_ACCESS), ERROR_SUCCESS);
    ServiceHandle service;
    ASSERT_EQ(service.Open(manager, "quorvservice", SERVICE_ALL_ACCESS), ERROR_SUCCESS);
    std::uint32_t state = 0;
    ASSERT_EQ(service.QueryState(&state), ERROR_SUCCESS);
    EXPECT_EQ(state, 1u);
    EXPECT_EQ(ws.services().OpenHandleCount(), 2);
    ws.services().Fail(platform::sim::ServiceCall::kQueryStatus, ERROR_ACCESS_DENIED);
    state = 99;
    EXPECT_EQ(service.QueryState(&state), ERROR_ACCESS_DENIED);
    EXPECT_EQ(state, 99u) << "untouched";
  }
  EXPECT_EQ(ws.services().OpenHandleCount(), 0);
  ws.services().Fail(platform::sim::ServiceCall::kOpenManager, ERROR_ACCESS_DENIED);
  ServiceHandle manager;
  EXPECT_EQ(manager.OpenManager(SC_MANAGER_ALL_ACCESS), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(manager.IsOpen());
}
#endif

}  // namespace
