// The simulated workstation: what the simulated backend of each platform service reads and
// writes instead of Windows. A test builds one on its stack; while it lives it is the
// workstation that every platform call sees.
#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/folders.h"
#include "platform/sim/console_model.h"
#include "platform/sim/call_log_model.h"
#include "platform/sim/clock_model.h"
#include "platform/sim/devices_model.h"
#include "platform/sim/drives_model.h"
#include "platform/sim/file_versions_model.h"
#include "platform/sim/files_model.h"
#include "platform/sim/identity_model.h"
#include "platform/sim/memory_model.h"
#include "platform/sim/network_model.h"
#include "platform/sim/processes_model.h"
#include "platform/sim/registry_model.h"
#include "platform/sim/services_model.h"
#include "platform/sim/shell_model.h"
#include "platform/sim/winsock_model.h"
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
  // The same, or null when there is none (for the conversions that need no workstation).
  static Workstation* Find();

  Registry& registry() { return registry_; }
  Files& files() { return files_; }
  Shell& shell() { return shell_; }
  Winsock& winsock() { return winsock_; }
  Network& network() { return network_; }
  Services& services() { return services_; }
  Devices& devices() { return devices_; }
  FileVersions& fileVersions() { return fileVersions_; }
  Identity& identity() { return identity_; }
  Memory& memory() { return memory_; }
  Drives& drives() { return drives_; }
  Processes& processes() { return processes_; }
  Console& console() { return console_; }
  // Every platform call the program makes here, in order; one of them can be told to fail.
  CallLog& calls() { return calls_; }
  Clock& clock() { return clock_; }

  // The word size of the simulated Windows and of the program under test, 32 bits both by
  // default. A 64-bit Windows has two registry views and runs processes of both bitnesses; a
  // 64-bit program on a 32-bit Windows is a test defect and stops the program with a message.
  void SetBitness(Bitness windows, Bitness program);

  // The Windows version that GetVersionExA reports, which answers again from now on. By
  // default Windows 7 SP1 workstation.
  void SetWindowsVersion(const VersionInfo& version);
  // GetVersionExA fails: with the extended structure only, or with both.
  void FailVersionQuery(bool extendedOnly);

  // The system folder that GetSystemDirectoryA gives; nullopt makes the call fail. By default
  // "C:\WINDOWS\system32".
  void SetSystemFolder(std::optional<std::string> folder);
  std::optional<std::string> SystemFolder() const;

  // The path that SHGetFolderPathA gives for `folder`; nullopt makes the call fail. By default
  // "C:\WINDOWS" and "C:\Users\tester\AppData\Roaming".
  void SetShellFolder(ShellFolder folder, std::optional<std::string> path);
  std::optional<std::string> ShellFolderPath(ShellFolder folder) const;

  // Save As answers, used in order: a path confirms, nullopt cancels, a failure fails the
  // dialog with that error. With none left the dialog is cancelled.
  void AnswerSaveAs(std::optional<std::string> path);
  void FailSaveAs(unsigned long error);
  struct SaveAsCall {
    std::string initialName;
    std::string filter;
  };
  std::vector<SaveAsCall> SaveAsCalls() const;

  // The name that GetComputerNameA gives; nullopt makes the call fail. By default "VANTIK-PC".
  void SetComputerName(std::optional<std::string> name);
  std::optional<std::string> ComputerName() const;

  // What GetLocalTime gives, which stands still. By default 2026-03-14 09:26:53.
  void SetLocalTime(const LocalTime& time);
  LocalTime LocalTimeNow() const;

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
  CallLog calls_;
  Clock clock_;
  Registry registry_;
  Files files_;
  Shell shell_;
  Winsock winsock_;
  Network network_;
  Services services_;
  Devices devices_;
  FileVersions fileVersions_;
  Identity identity_;
  Memory memory_;
  Drives drives_;
  Processes processes_;
  Console console_;
  std::vector<std::string> traces_;
  std::vector<std::string> messageBoxes_;
  bool failThreadStart_ = false;
  VersionInfo version_{2, 6, 1, 7601, 1, 1, 'e'};  // szCSDVersion "Service Pack 1"
  int versionFailure_ = 0;                         // 1: extended query fails, 2: both fail
  std::optional<std::string> systemFolder_ = "C:\\WINDOWS\\system32";
  std::optional<std::string> windowsFolder_ = "C:\\WINDOWS";
  std::optional<std::string> appDataFolder_ = "C:\\Users\\tester\\AppData\\Roaming";
  std::optional<std::string> computerName_ = "VANTIK-PC";
  LocalTime localTime_{2026, 3, 14, 9, 26, 53};
  std::vector<SaveAsReply> saveAsAnswers_;
  std::vector<SaveAsCall> saveAsCalls_;
};

}  // namespace platform::sim
