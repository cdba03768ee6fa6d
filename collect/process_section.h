// The running processes, by the file name of their main module.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/processes.h"

namespace collect {

// The identifiers of the running processes, taken one at a time. The first one listed (the
// idle process, which has no module) is never taken.
class ProcessIdList {
 public:
  // Reads the list afresh; false when it cannot be read (nothing is then taken).
  bool Fill();
  // The next identifier, 0 when the list is exhausted or was never read.
  std::uint32_t Next();

 private:
  std::vector<std::uint32_t> m_ids;
  int m_position = -1;
};

// The modules of one open process; the first is its executable.
class ModuleList {
 public:
  // Reads the list of `process`; false (and no modules) when there is none or it cannot be read.
  bool Fill(const platform::Process& process);
  // The first module, 0 when there is none.
  platform::ModuleHandle First() const;

 private:
  std::vector<platform::ModuleHandle> m_modules;
  int m_position = -1;
};

// Room for this many entries is asked for first, and no list is grown beyond the largest: an
// answer that keeps filling it is taken as it stands.
inline constexpr std::uint32_t kFirstListCapacity = 1024;
inline constexpr std::uint32_t kLargestListCapacity = 65536;

// The running processes, each by the file name of its main module, or of its image when its
// memory cannot be read; a process that no way names is left out.
struct ProcessSection {
  std::vector<std::string> names;  // in the system's order, duplicates kept
};

ProcessSection GatherProcessSection();
std::string RenderProcessSection(const ProcessSection& section);

}  // namespace collect
