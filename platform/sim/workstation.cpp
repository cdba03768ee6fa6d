#include "platform/sim/workstation.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "platform/win32_codes.h"

namespace platform::sim {
namespace {

std::atomic<Workstation*> g_current{nullptr};

}  // namespace

Workstation::Workstation() {
  Workstation* expected = nullptr;
  if (!g_current.compare_exchange_strong(expected, this)) {
    std::fprintf(stderr, "a simulated workstation already exists\n");
    std::abort();
  }
}

Workstation::~Workstation() { g_current.store(nullptr); }

Workstation& Workstation::Current() {
  Workstation* current = g_current.load();
  if (current == nullptr) {
    std::fprintf(stderr, "a platform service was called with no simulated workstation\n");
    std::abort();
  }
  return *current;
}

std::vector<std::string> Workstation::Traces() const {
  std::lock_guard lock(mutex_);
  return traces_;
}

std::vector<std::string> Workstation::MessageBoxes() const {
  std::lock_guard lock(mutex_);
  return messageBoxes_;
}

void Workstation::RecordTrace(const char* line) {
  std::lock_guard lock(mutex_);
  traces_.emplace_back(line != nullptr ? line : "");
}

int Workstation::RecordMessageBox(const char* text) {
  std::lock_guard lock(mutex_);
  messageBoxes_.emplace_back(text != nullptr ? text : "");
  return IDOK;
}

void Workstation::FailNextThreadStart() {
  std::lock_guard lock(mutex_);
  failThreadStart_ = true;
}

bool Workstation::TakeThreadStartFailure() {
  std::lock_guard lock(mutex_);
  const bool fail = failThreadStart_;
  failThreadStart_ = false;
  return fail;
}

}  // namespace platform::sim
