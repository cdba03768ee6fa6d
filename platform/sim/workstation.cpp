#include "platform/sim/workstation.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <utility>

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

Workstation* Workstation::Find() { return g_current.load(); }

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

void Workstation::SetComputerName(std::optional<std::string> name) {
  std::lock_guard lock(mutex_);
  computerName_ = std::move(name);
}

std::optional<std::string> Workstation::ComputerName() const {
  std::lock_guard lock(mutex_);
  return computerName_;
}

void Workstation::SetLocalTime(const LocalTime& time) {
  std::lock_guard lock(mutex_);
  localTime_ = time;
}

LocalTime Workstation::LocalTimeNow() const {
  std::lock_guard lock(mutex_);
  return localTime_;
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

void Workstation::SetBitness(Bitness windows, Bitness program) {
  if (windows == Bitness::k32 && program == Bitness::k64) {
    std::fprintf(stderr, "a 64-bit program cannot run on a 32-bit Windows\n");
    std::abort();
  }
  registry_.SetBitness(windows, program);
  processes_.SetProgramBitness(program);
}

void Workstation::SetWindowsVersion(const VersionInfo& version) {
  std::lock_guard lock(mutex_);
  version_ = version;
  versionFailure_ = 0;
}

void Workstation::FailVersionQuery(bool extendedOnly) {
  std::lock_guard lock(mutex_);
  versionFailure_ = extendedOnly ? 1 : 2;
}

bool Workstation::QueryWindowsVersion(bool extended, VersionInfo* version) {
  std::lock_guard lock(mutex_);
  if (versionFailure_ == 2 || (extended && versionFailure_ == 1)) return false;
  *version = version_;
  if (!extended) {
    // The basic structure has neither field: its service pack is only text.
    version->servicePackMajor = 0;
    version->productType = 0;
  }
  return true;
}

void Workstation::SetSystemFolder(std::optional<std::string> folder) {
  std::lock_guard lock(mutex_);
  systemFolder_ = std::move(folder);
}

std::optional<std::string> Workstation::SystemFolder() const {
  std::lock_guard lock(mutex_);
  return systemFolder_;
}

void Workstation::SetShellFolder(ShellFolder folder, std::optional<std::string> path) {
  std::lock_guard lock(mutex_);
  (folder == ShellFolder::kWindows ? windowsFolder_ : appDataFolder_) = std::move(path);
}

std::optional<std::string> Workstation::ShellFolderPath(ShellFolder folder) const {
  std::lock_guard lock(mutex_);
  return folder == ShellFolder::kWindows ? windowsFolder_ : appDataFolder_;
}

void Workstation::AnswerSaveAs(std::optional<std::string> path) {
  std::lock_guard lock(mutex_);
  saveAsAnswers_.push_back(SaveAsReply{std::move(path), 0});
}

void Workstation::FailSaveAs(unsigned long error) {
  std::lock_guard lock(mutex_);
  saveAsAnswers_.push_back(SaveAsReply{std::nullopt, error});
}

std::vector<Workstation::SaveAsCall> Workstation::SaveAsCalls() const {
  std::lock_guard lock(mutex_);
  return saveAsCalls_;
}

Workstation::SaveAsReply Workstation::TakeSaveAsAnswer(const char* initialName,
                                                       const char* filter) {
  std::lock_guard lock(mutex_);
  saveAsCalls_.push_back(
      SaveAsCall{initialName != nullptr ? initialName : "", filter != nullptr ? filter : ""});
  if (saveAsAnswers_.empty()) return SaveAsReply{};
  SaveAsReply answer = std::move(saveAsAnswers_.front());
  saveAsAnswers_.erase(saveAsAnswers_.begin());
  return answer;
}

}  // namespace platform::sim
