// The simulated processes: identifiers in the order the system lists them, each with its
// modules and the rules for what may be read of it.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/processes.h"

namespace platform::sim {

struct SimProcess {
  std::uint32_t id = 0;
  // Module base names in load order; the first is the executable.
  std::vector<std::string> modules;
  // What OpenProcess grants: asking for any other right fails with openError. 0 grants
  // nothing, as for the System process or one that has just exited.
  std::uint32_t grantedAccess = 0x1F0FFF;  // PROCESS_ALL_ACCESS
  long openError = 5;                      // ERROR_ACCESS_DENIED
  // EnumProcessModules fails with this when not 0 (ERROR_PARTIAL_COPY for a 64-bit process
  // seen from a 32-bit program).
  long moduleListError = 0;
};

class Processes {
 public:
  // Listed after those added before. A process whose identifier is taken replaces that one in
  // its place.
  Processes& Add(SimProcess process);
  // A process that opens and lists its modules.
  Processes& Add(std::uint32_t id, std::vector<std::string> modules);
  // EnumProcesses fails with `code` (0: it succeeds again).
  Processes& FailEnumeration(long code);
  // Called when EnumProcesses is asked, before it answers.
  Processes& OnEnumerate(std::function<void()> probe);

  // Inspecting.
  std::vector<std::uint32_t> OpenRequests() const;  // identifiers OpenProcess was asked for
  int OpenHandleCount() const;                      // processes opened and not yet closed

  // The backend's side.
  long EnumIds(std::uint32_t* ids, std::uint32_t capacity, std::uint32_t* count);
  long Open(std::uint32_t access, std::uint32_t id, void** handle);
  long EnumModules(void* handle, ModuleHandle* modules, std::uint32_t capacity,
                   std::uint32_t* total) const;
  std::uint32_t BaseName(void* handle, ModuleHandle module, char* name, std::uint32_t size) const;
  void Close(void* handle);

 private:
  mutable std::mutex mutex_;
  std::vector<SimProcess> processes_;
  std::unordered_map<std::uint32_t, std::size_t> index_;  // identifier -> position
  long enumerationError_ = 0;
  std::function<void()> probe_;
  std::vector<std::uint32_t> openRequests_;
  int openHandles_ = 0;
};

}  // namespace platform::sim
