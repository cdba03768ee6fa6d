// Worker threads natively: real threads, so that the runner's rules are tested with real
// concurrency. There are no windows, so no messages to let through.
#include "platform/thread.h"

#include <time.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

#include "platform/sim/workstation.h"
#include "platform/win32_codes.h"

namespace platform {
namespace {

struct SimThread {
  std::thread thread;
  std::shared_ptr<std::atomic<bool>> ended = std::make_shared<std::atomic<bool>>(false);
};

// <chrono> cannot be compiled with code page 936 as the execution character set (it holds a
// micro sign), so time is taken from POSIX here.
std::int64_t NowMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

void SleepOneMillisecond() {
  const timespec pause{0, 1000000};
  nanosleep(&pause, nullptr);
}

}  // namespace

bool WorkerThread::Start(void (*entry)(void*), void* argument) {
  Close();
  if (sim::EnterCall("CreateThread", "", ERROR_NOT_ENOUGH_MEMORY) != 0) return false;
  if (sim::Workstation::Current().TakeThreadStartFailure()) return false;
  auto* sim = new SimThread;
  sim->thread = std::thread([entry, argument, ended = sim->ended] {
    entry(argument);
    ended->store(true);
  });
  handle_ = sim;
  return true;
}

bool WorkerThread::WaitWhileLettingSentMessagesThrough(std::uint32_t milliseconds) {
  if (handle_ == nullptr) return true;
  auto* sim = static_cast<SimThread*>(handle_);
  const std::int64_t deadline = NowMilliseconds() + milliseconds;
  while (!sim->ended->load()) {
    if (NowMilliseconds() >= deadline) return false;
    SleepOneMillisecond();
  }
  return true;
}

void WorkerThread::Close() {
  if (handle_ == nullptr) return;
  auto* sim = static_cast<SimThread*>(handle_);
  // A thread still running is left to finish on its own, as a closed handle leaves it.
  if (sim->ended->load()) {
    sim->thread.join();
  } else {
    sim->thread.detach();
  }
  delete sim;
  handle_ = nullptr;
}

void LetSentMessagesThrough() { std::this_thread::yield(); }

}  // namespace platform
