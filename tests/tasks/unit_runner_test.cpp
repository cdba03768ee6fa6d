// The worker's loop and the stop rules, with real threads on the simulated workstation.
#include "tasks/unit_runner.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "diagnosis/rows.h"
#include "platform/sim/workstation.h"
#include "platform/win32_codes.h"
#include "tasks/result_list.h"
#include "tests/support/eventually.h"
#include "tests/support/healthy_client.h"
#include "tests/support/recording_view.h"

namespace {

using namespace tasks;

// Units the tests steer from outside. Task entries take no arguments, hence the globals.
std::atomic<int> g_calls{0};
std::atomic<bool> g_busyEntered{false};
std::atomic<bool> g_release{false};
RunState* g_stateToWatch = nullptr;

int Normal() {
  ++g_calls;
  return 0;
}
int Abnormal() {
  ++g_calls;
  return 1;
}
int Five() {
  ++g_calls;
  return 5;
}
// Busy until released from outside.
int BusyUntilReleased() {
  ++g_calls;
  g_busyEntered = true;
  while (!g_release.load()) std::this_thread::yield();
  return 7;
}
// Busy until its run is asked to stop, then returns at once.
int BusyUntilStopAsked() {
  ++g_calls;
  g_busyEntered = true;
  while (!g_stateToWatch->StopAsked()) std::this_thread::yield();
  return 3;
}

TaskUnit Unit(const char* text, int (*entry)(), int kind, int enabled = 1) {
  TaskUnit unit;
  unit.stepText = text;
  unit.run = entry;
  unit.kind = kind;
  unit.enabled = enabled;
  return unit;
}

class Runner : public ::testing::Test {
 protected:
  Runner() {
    g_calls = 0;
    g_busyEntered = false;
    g_release = false;
    g_stateToWatch = nullptr;
  }
  ~Runner() override {
    // No worker may outlive the test's workstation.
    g_release = true;
  }
  platform::sim::Workstation ws_;
};

TEST_F(Runner, EveryUnitInOrderWithOneResultEachAndTheBarAtItsIndex) {
  RecordingView view;
  auto state = std::make_shared<RunState>(
      UnitList{Unit("one", Normal, UNIT_DIAGNOSE), Unit("two", Abnormal, UNIT_DIAGNOSE, 0),
               Unit("three", Five, UNIT_REPAIR), Unit("four", Abnormal, UNIT_EXPORT),
               Unit("five", Normal, 9)},
      &view);
  platform::WorkerThread thread;
  ASSERT_TRUE(StartWorker(state, thread));
  ASSERT_TRUE(thread.WaitWhileLettingSentMessagesThrough(10000));
  EXPECT_EQ(view.Events(), (std::vector<std::string>{
                               "step one", "post 1025 0 0", "bar 0", "step two", "post 1025 1 0",
                               "bar 1",  // disabled: 0, not called
                               "step three", "post 1026 2 5", "bar 2", "step four", "post 1027 3 1",
                               "bar 3", "step five", "bar 4",  // a kind that posts nothing
                           }));
  EXPECT_EQ(g_calls, 4);
  EXPECT_FALSE(state->Running());
}

TEST_F(Runner, DialogWithoutWindowEndsTheLoopBeforeTheNextUnit) {
  RecordingView view;
  view.hasWindow = false;
  RunState state({Unit("one", Normal, UNIT_DIAGNOSE)}, &view);
  EXPECT_EQ(ExecuteUnits(state), 0);
  EXPECT_TRUE(view.Events().empty());
  EXPECT_EQ(g_calls, 0);
}

TEST_F(Runner, ThreadThatCannotStartRunsNothing) {
  RecordingView view;
  auto state = std::make_shared<RunState>(UnitList{Unit("one", Normal, UNIT_DIAGNOSE)}, &view);
  ws_.FailNextThreadStart();
  platform::WorkerThread thread;
  EXPECT_FALSE(StartWorker(state, thread));
  EXPECT_FALSE(state->Running());
  EXPECT_FALSE(thread.IsStarted());
  EXPECT_EQ(g_calls, 0);
  EXPECT_EQ(state.use_count(), 1) << "the worker's share is given back";
}

TEST_F(Runner, EmptyListRunsAndEndsWithoutPosting) {
  RecordingView view;
  auto state = std::make_shared<RunState>(UnitList{}, &view);
  platform::WorkerThread thread;
  ASSERT_TRUE(StartWorker(state, thread));
  ASSERT_TRUE(thread.WaitWhileLettingSentMessagesThrough(10000));
  EXPECT_FALSE(state->Running());
  EXPECT_TRUE(view.Events().empty());
}

TEST_F(Runner, UnitReturningWithinTheWaitPostsItsResultAndNoFurtherUnitRuns) {
  RecordingView view;
  auto state = std::make_shared<RunState>(UnitList{Unit("busy", BusyUntilStopAsked, UNIT_DIAGNOSE),
                                                   Unit("next", Normal, UNIT_DIAGNOSE)},
                                          &view);
  g_stateToWatch = state.get();
  platform::WorkerThread thread;
  ASSERT_TRUE(StartWorker(state, thread));
  ASSERT_TRUE(Eventually([] { return g_busyEntered.load(); }));
  StopWorker(*state, thread);
  EXPECT_FALSE(state->Abandoned());
  EXPECT_FALSE(state->Running());
  EXPECT_FALSE(thread.IsStarted()) << "handle closed";
  EXPECT_EQ(view.Events(), (std::vector<std::string>{"step busy", "post 1025 0 3", "bar 0"}));
  EXPECT_EQ(g_calls, 1);
}

TEST_F(Runner, UnitStillBusyAfterTheWaitIsAbandonedAndPostsNothing) {
  auto view = std::make_unique<RecordingView>();
  auto state = std::make_shared<RunState>(
      UnitList{Unit("busy", BusyUntilReleased, UNIT_DIAGNOSE), Unit("next", Normal, UNIT_DIAGNOSE)},
      view.get());
  platform::WorkerThread thread;
  ASSERT_TRUE(StartWorker(state, thread));
  ASSERT_TRUE(Eventually([] { return g_busyEntered.load(); }));
  StopWorker(*state, thread, 20);
  EXPECT_TRUE(state->Abandoned());
  EXPECT_FALSE(thread.IsStarted());
  const auto seen = view->Events();
  EXPECT_EQ(seen, (std::vector<std::string>{"step busy"}));
  view.reset();  // the dialog is gone: a worker touching it now is caught by the sanitizer

  g_release = true;
  ASSERT_TRUE(Eventually([&] { return !state->Running(); }));
  EXPECT_EQ(g_calls, 1) << "no further unit";
}

TEST_F(Runner, StopIsAskedOnlyOnce) {
  RecordingView view;
  auto state =
      std::make_shared<RunState>(UnitList{Unit("busy", BusyUntilReleased, UNIT_DIAGNOSE)}, &view);
  platform::WorkerThread thread;
  ASSERT_TRUE(StartWorker(state, thread));
  ASSERT_TRUE(Eventually([] { return g_busyEntered.load(); }));
  StopWorker(*state, thread, 20);
  ASSERT_TRUE(state->Abandoned());
  platform::WorkerThread another;
  StopWorker(*state, another, 20);  // a second close: nothing more to do
  EXPECT_TRUE(state->StopAsked());
  g_release = true;
  ASSERT_TRUE(Eventually([&] { return !state->Running(); }));
}

// An abandoned run must not disturb the next one: its late result is dropped, and it neither
// lowers the next run's running flag nor clears its stop flag.
TEST_F(Runner, AbandonedRunDoesNotDisturbTheNextRun) {
  auto firstView = std::make_unique<RecordingView>();
  auto first = std::make_shared<RunState>(
      UnitList{Unit("busy", BusyUntilReleased, UNIT_DIAGNOSE), Unit("next", Normal, UNIT_DIAGNOSE)},
      firstView.get());
  platform::WorkerThread firstThread;
  ASSERT_TRUE(StartWorker(first, firstThread));
  ASSERT_TRUE(Eventually([] { return g_busyEntered.load(); }));
  StopWorker(*first, firstThread, 20);
  ASSERT_TRUE(first->Abandoned());
  firstView.reset();

  // The second run starts at once and is still going when the first unit returns.
  RecordingView secondView;
  g_stateToWatch = nullptr;
  auto second = std::make_shared<RunState>(
      UnitList{Unit("quick", Abnormal, UNIT_REPAIR), Unit("slow", BusyUntilReleased, UNIT_REPAIR)},
      &secondView);
  g_busyEntered = false;
  platform::WorkerThread secondThread;
  ASSERT_TRUE(StartWorker(second, secondThread));
  ASSERT_TRUE(Eventually([] { return g_busyEntered.load(); }));

  g_release = true;  // both busy units return now
  ASSERT_TRUE(Eventually([&] { return !first->Running(); }));
  ASSERT_TRUE(secondThread.WaitWhileLettingSentMessagesThrough(10000));
  EXPECT_FALSE(second->StopAsked());
  EXPECT_FALSE(second->Abandoned());
  EXPECT_EQ(secondView.Events(), (std::vector<std::string>{"step quick", "post 1026 0 1", "bar 0",
                                                           "step slow", "post 1026 1 7", "bar 1"}));
}

// The main dialog's side of a button: the list's rows emptied, the list run, and its posted
// results handled in order, as the main dialog's thread does.
class Road : public Runner {
 protected:
  // The diagnosis's rows find nothing here: the two checks are what these tests are about.
  Road() {
    healthy_client::Seed(ws_);
    BuildDiagnoseUnits(diagnose_);
    BuildRepairUnits(repair_);
  }

  // The rows' result texts once the list has run.
  std::vector<std::string> Run(const UnitList& units) {
    ResetDiagnoseResults(diagnose_);
    RecordingView view;
    RunState state(units, &view);
    ExecuteUnits(state);
    for (const std::string& event : view.Events()) {
      unsigned message = 0;
      int index = 0;
      int result = 0;
      if (std::sscanf(event.c_str(), "post %u %d %d", &message, &index, &result) == 3) {
        HandleUnitResult(diagnose_, repair_, index, result, [] {});
      }
    }
    std::vector<std::string> texts;
    for (const auto& row : MakeResultRows(diagnose_)) texts.push_back(row.resultText);
    return texts;
  }

  UnitList diagnose_;
  UnitList repair_;
};

// The two checks' result texts, then the diagnosis's rows, all normal.
std::vector<std::string> Texts(const char* renego, const char* userAgent) {
  std::vector<std::string> texts{renego, userAgent};
  texts.insert(texts.end(), std::size(diagnosis::kRows), "正常");
  return texts;
}

constexpr char kSchannel[] = "System\\CurrentControlSet\\Control\\SecurityProviders\\SCHANNEL";

// The shell's whole road natively: results posted by the worker, handled as the main dialog
// handles them, on the seeded workstation.
TEST_F(Road, DiagnoseRepairDiagnoseOnTheWorkstation) {
  ws_.registry()
      .SetDword(platform::RegRoot::kLocalMachine, kSchannel, "DisableRenegoOnClient", 1)
      .SetString(platform::RegRoot::kCurrentUser,
                 "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\5.0\\User Agent",
                 "Compatible", "Mozilla/4.0");

  EXPECT_EQ(Run(diagnose_), Texts("异常", "异常"));
  EXPECT_EQ(Run(repair_), Texts("正常", "正常"));
  EXPECT_EQ(repair_[0].enabled + repair_[1].enabled, 0);
  EXPECT_EQ(Run(diagnose_), Texts("正常", "正常"));
  const auto writesBefore = ws_.registry().WriteCount();
  EXPECT_EQ(Run(repair_), Texts("正常", "正常")) << "skipped units show 0";
  EXPECT_EQ(ws_.registry().WriteCount(), writesBefore);
}

// The item was normal at the first diagnosis, so its repair went off; it is abnormal at the
// next, so the repair after that must run, and its row must show what the repair did.
TEST_F(Road, RepairRunsAfterAnItemTurnedAbnormalSinceAnEarlierDiagnosis) {
  ws_.registry().SetDword(platform::RegRoot::kLocalMachine, kSchannel, "DisableRenegoOnClient", 0);
  EXPECT_EQ(Run(diagnose_), Texts("正常", "正常"));
  ws_.registry().SetDword(platform::RegRoot::kLocalMachine, kSchannel, "DisableRenegoOnClient", 1);
  EXPECT_EQ(Run(diagnose_), Texts("异常", "正常"));
  EXPECT_EQ(Run(repair_), Texts("正常", "正常"));
  EXPECT_EQ(
      ws_.registry().Value(platform::RegRoot::kLocalMachine, kSchannel, "DisableRenegoOnClient"),
      (platform::sim::RegValue{REG_DWORD, std::string(4, '\0')}))
      << "the repair ran";

  // A repair that fails shows its failure, not a skipped unit's 0.
  ws_.registry().SetDword(platform::RegRoot::kLocalMachine, kSchannel, "DisableRenegoOnClient", 1);
  EXPECT_EQ(Run(diagnose_), Texts("异常", "正常"));
  ws_.registry().Fail(platform::sim::RegCall::kSetValue, ERROR_ACCESS_DENIED);
  EXPECT_EQ(Run(repair_), Texts("异常", "正常"));
}

}  // namespace
