// The running processes: their identifiers, and the modules and names of one process.
//
// Calls return the Win32 error code (GetLastError) on failure and ERROR_SUCCESS otherwise,
// unless they say otherwise. Out-parameters are left untouched on failure. Lists are counted
// in entries, not bytes, so that nothing depends on the size of a handle.
#pragma once

#include <cstdint>

#include "platform/owned_handle.h"

namespace platform {

// EnumProcesses into room for `capacity` identifiers: *count is how many were written, in the
// system's order. A list that fills the room exactly may have been cut short; Windows does not
// say how many more there are, so ask again with more room.
[[nodiscard]] long EnumProcessIds(std::uint32_t* ids, std::uint32_t capacity, std::uint32_t* count);

// The process behind the shell's window (explorer.exe) in the program's own session:
// GetShellWindow, then GetWindowThreadProcessId. A session without a shell (a remote console, a
// service's) gives ERROR_INVALID_WINDOW_HANDLE; *id is then untouched.
[[nodiscard]] long FindShellProcess(std::uint32_t* id);

// A module of a process, as EnumProcessModules gives it; 0 is none.
using ModuleHandle = std::uintptr_t;

// An open process. Move-only; the destructor closes it.
class Process : public OwnedHandle<Process> {
 public:
  Process() = default;
  ~Process() { Close(); }
  Process(Process&&) noexcept = default;
  Process& operator=(Process&&) noexcept = default;

  // OpenProcess(access, not inherited, id). Closes any process held before; on failure the
  // object holds none: ERROR_ACCESS_DENIED for a process that does not grant the access (the
  // System process, another user's, a protected one asked for more than
  // PROCESS_QUERY_LIMITED_INFORMATION), ERROR_INVALID_PARAMETER for one that no longer exists.
  // Before Vista PROCESS_QUERY_LIMITED_INFORMATION is no right of its own: ask for
  // PROCESS_QUERY_INFORMATION there.
  [[nodiscard]] long Open(std::uint32_t access, std::uint32_t id);

  // EnumProcessModules into room for `capacity` handles: the main executable first, then the
  // others in load order. *total is how many modules the process has, which may be more than
  // were written. Fails (ERROR_PARTIAL_COPY, say) for a process whose memory cannot be read,
  // such as a 64-bit process seen from a 32-bit program.
  [[nodiscard]] long EnumModules(ModuleHandle* modules, std::uint32_t capacity,
                                 std::uint32_t* total) const;

  // GetModuleBaseNameA: the module's file name without its folder, in a buffer of `size`
  // bytes. Returns the bytes copied without the zero, 0 on failure. A name that does not fit
  // is cut, and may then lack its zero: read at most `size` bytes.
  std::uint32_t ModuleBaseName(ModuleHandle module, char* name, std::uint32_t size) const;

  // The full path of the process's executable, which needs neither its memory nor more than
  // PROCESS_QUERY_LIMITED_INFORMATION: QueryFullProcessImageNameA where kernel32 has it (Vista
  // and later; "C:\Windows\System32\audiodg.exe"), else GetProcessImageFileNameA from the
  // process status DLL (XP, where the handle needs PROCESS_QUERY_INFORMATION; the device form
  // "\Device\HarddiskVolume1\WINDOWS\explorer.exe"). On success the buffer holds the path with
  // its zero and *length its length without it. A path that does not fit in `size` bytes gives
  // ERROR_INSUFFICIENT_BUFFER; a process without an image file (the System process) fails too;
  // ERROR_PROC_NOT_FOUND where neither call exists (Windows 2000). On failure *length is
  // untouched and the buffer may have been written.
  [[nodiscard]] long ImagePath(char* path, std::uint32_t size, std::uint32_t* length) const;

  bool IsOpen() const { return handle_ != nullptr; }
  void Close();

 private:
  friend class ProcessToken;  // opens the token of a process it opened
};

}  // namespace platform
