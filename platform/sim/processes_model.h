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
#include "platform/sim/bitness_model.h"

namespace platform::sim {

struct SimProcess {
  std::uint32_t id = 0;
  // Module base names in load order; the first is the executable.
  std::vector<std::string> modules;
  // What OpenProcess grants: asking for any other right fails with openError. 0 grants
  // nothing, as for the System process or one that has just exited; a protected process grants
  // PROCESS_QUERY_LIMITED_INFORMATION alone; before Vista that right does not exist
  // (PROCESS_ALL_ACCESS was 0x1F0FFF).
  std::uint32_t grantedAccess = 0x1FFFFF;  // PROCESS_ALL_ACCESS
  long openError = 5;                      // ERROR_ACCESS_DENIED
  // A 64-bit process's module list cannot be read by a 32-bit program (ERROR_PARTIAL_COPY).
  Bitness bitness = Bitness::k32;
  // EnumProcessModules fails with this when not 0.
  long moduleListError = 0;
  // The executable's path as the image name query gives it (the device form where a test plays
  // XP; empty gives an empty text); the query fails with imagePathError when that is not 0.
  std::string imagePath;
  long imagePathError = 0;
};

class Processes {
 public:
  // Listed after those added before. A process whose identifier is taken replaces that one in
  // its place.
  Processes& Add(SimProcess process);
  // A process that opens and lists its modules, run from the system folder.
  Processes& Add(std::uint32_t id, std::vector<std::string> modules);
  // The program under test's own bitness (Workstation::SetBitness).
  Processes& SetProgramBitness(Bitness program);
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
  long ImagePath(void* handle, char* path, std::uint32_t size, std::uint32_t* length) const;
  void Close(void* handle);

 private:
  mutable std::mutex mutex_;
  std::vector<SimProcess> processes_;
  std::unordered_map<std::uint32_t, std::size_t> index_;  // identifier -> position
  long enumerationError_ = 0;
  std::function<void()> probe_;
  std::vector<std::uint32_t> openRequests_;
  int openHandles_ = 0;
  Bitness program_ = Bitness::k32;
};

}  // namespace platform::sim
