// The simulated workstation: what the simulated backend of each platform service reads and
// writes instead of Windows. A test builds one on its stack; while it lives it is the
// workstation that every platform call sees.
#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/sim_files.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_shell.h"
#include "platform/sim/sim_winsock.h"
#include "platform/system_info.h"

namespace platform::sim {

class Workstation {
 public:
  Workstation();
  ~Workstation();
  Workstation(const Workstation&) = delete;
  Workstation& operator=(const Workstation&) = delete;

  // The workstation of the running test. Calling a platform service without one is a test
  // defect and stops the program with a message.
  static Workstation& Current();

  Registry& registry() { return registry_; }
  Files& files() { return files_; }
  Shell& shell() { return shell_; }
  Winsock& winsock() { return winsock_; }

  // The Windows version that GetVersionExA reports, which answers again from now on. By
  // default Windows 7 SP1 workstation.
  void SetWindowsVersion(const VersionInfo& version);
  // GetVersionExA fails: with the extended structure only, or with both.
  void FailVersionQuery(bool extendedOnly);

  // The system folder that GetSystemDirectoryA gives; nullopt makes the call fail. By default
  // "C:\WINDOWS\system32".
  void SetSystemFolder(std::optional<std::string> folder);
  std::optional<std::string> SystemFolder() const;

  // Save As answers, used in order: a path confirms, nullopt cancels, a failure fails the
  // dialog with that error. With none left the dialog is cancelled.
  void AnswerSaveAs(std::optional<std::string> path);
  void FailSaveAs(unsigned long error);
  struct SaveAsCall {
    std::string initialName;
    std::string filter;
  };
  std::vector<SaveAsCall> SaveAsCalls() const;

  // Debugger output lines, in the order written.
  std::vector<std::string> Traces() const;
  // Message box texts, in the order shown.
  std::vector<std::string> MessageBoxes() const;

  // The next worker thread cannot be created.
  void FailNextThreadStart();

  // Called by the simulated services.
  bool TakeThreadStartFailure();
  bool QueryWindowsVersion(bool extended, VersionInfo* version);
  struct SaveAsReply {
    std::optional<std::string> path;  // nullopt: cancelled
    unsigned long error = 0;          // not 0: the dialog failed
  };
  SaveAsReply TakeSaveAsAnswer(const char* initialName, const char* filter);
  void RecordTrace(const char* line);
  int RecordMessageBox(const char* text);

 private:
  mutable std::mutex mutex_;
  Registry registry_;
  Files files_;
  Shell shell_;
  Winsock winsock_;
  std::vector<std::string> traces_;
  std::vector<std::string> messageBoxes_;
  bool failThreadStart_ = false;
  VersionInfo version_{2, 6, 1, 7601, 1, 1, 'e'};  // szCSDVersion "Service Pack 1"
  int versionFailure_ = 0;                         // 1: extended query fails, 2: both fail
  std::optional<std::string> systemFolder_ = "C:\\WINDOWS\\system32";
  std::vector<SaveAsReply> saveAsAnswers_;
  std::vector<SaveAsCall> saveAsCalls_;
};

}  // namespace platform::sim
