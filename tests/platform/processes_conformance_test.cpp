// The contract of the processes seam, on the simulated workstation natively and on Wine's
// real processes (psapi.dll through the run-time loader) in the Windows build.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "platform/cp936.h"
#include "platform/processes.h"
#include "platform/win32_codes.h"
#ifndef _WIN32
#include "platform/sim/workstation.h"
#endif

namespace {

using platform::ModuleHandle;
using platform::Process;

constexpr std::uint32_t kAccess = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;

class ProcessesConformance : public ::testing::Test {
 protected:
#ifndef _WIN32
  // As Wine's list begins: the program itself, then Wine's own processes.
  ProcessesConformance() {
    workstation_.processes()
        .Add(32, {"processes_conformance_test.exe", "ntdll.dll", "kernel32.dll"})
        .Add(40, {"services.exe", "ntdll.dll", "kernel32.dll"})
        .Add(56, {"winedevice.exe", "ntdll.dll", "kernel32.dll"})
        .Add(72, {"explorer.exe", "ntdll.dll", "kernel32.dll", "user32.dll"});
  }
  platform::sim::Workstation workstation_;
#endif

  std::vector<std::uint32_t> Ids() {
    std::vector<std::uint32_t> ids(1024);
    std::uint32_t count = 0;
    EXPECT_EQ(platform::EnumProcessIds(ids.data(), 1024, &count), ERROR_SUCCESS);
    ids.resize(count);
    return ids;
  }
};

// The executable's base name of a process, or "" when it cannot be read.
std::string ExecutableName(std::uint32_t id) {
  Process process;
  if (process.Open(kAccess, id) != ERROR_SUCCESS) return {};
  ModuleHandle modules[4] = {};
  std::uint32_t total = 0;
  if (process.EnumModules(modules, 4, &total) != ERROR_SUCCESS || total == 0) return {};
  char name[260] = {};
  const std::uint32_t length = process.ModuleBaseName(modules[0], name, sizeof(name));
  EXPECT_EQ(length, std::strlen(name));
  return name;
}

// The file name of a process's executable from its image path, which needs no more than the
// least right; "" when it cannot be read.
std::string ImageName(std::uint32_t id) {
  Process process;
  if (process.Open(PROCESS_QUERY_LIMITED_INFORMATION, id) != ERROR_SUCCESS) return {};
  char path[1024];
  std::uint32_t length = 0;
  if (process.ImagePath(path, sizeof(path), &length) != ERROR_SUCCESS) return {};
  const std::string_view text(path, length);
  return std::string(text.substr(platform::cp936::AfterLast(text, '\\')));
}

// A process's name as the process list gives it: its main module's, or where its memory cannot
// be read (a 64-bit process seen from the 32-bit program), its image path's.
std::string ListedName(std::uint32_t id) {
  const std::string name = ExecutableName(id);
  return name.empty() ? ImageName(id) : name;
}

bool EndsWithExe(const std::string& name) {
  return name.size() > 4 && platform::cp936::EqualsIgnoreCase(name.substr(name.size() - 4), ".exe");
}

TEST_F(ProcessesConformance, ListedProcessesAreNamedByTheirExecutable) {
  const std::vector<std::uint32_t> ids = Ids();
  ASSERT_GE(ids.size(), 3u);
  std::vector<std::string> names;
  for (std::uint32_t id : ids) names.push_back(ListedName(id));
  EXPECT_TRUE(std::find(names.begin(), names.end(), "services.exe") != names.end());
  EXPECT_TRUE(std::find(names.begin(), names.end(), "explorer.exe") != names.end());
  for (const std::string& name : names) {
    if (!name.empty()) {
      EXPECT_TRUE(EndsWithExe(name)) << name;
    }
  }
}

TEST_F(ProcessesConformance, FullRoomMeansAskAgain) {
  const std::vector<std::uint32_t> all = Ids();
  ASSERT_GE(all.size(), 3u);
  std::uint32_t ids[2] = {};
  std::uint32_t count = 0;
  ASSERT_EQ(platform::EnumProcessIds(ids, 2, &count), ERROR_SUCCESS);
  EXPECT_EQ(count, 2u) << "the room is filled, with no word of how many more there are";
}

TEST_F(ProcessesConformance, ModuleListSaysHowManyThereAre) {
  for (std::uint32_t id : Ids()) {
    Process process;
    if (process.Open(kAccess, id) != ERROR_SUCCESS) continue;
    ModuleHandle first[1] = {};
    std::uint32_t total = 0;
    if (process.EnumModules(first, 1, &total) != ERROR_SUCCESS || total < 2) continue;
    std::vector<ModuleHandle> all(total);
    std::uint32_t again = 0;
    ASSERT_EQ(process.EnumModules(all.data(), total, &again), ERROR_SUCCESS);
    EXPECT_EQ(again, total);
    EXPECT_EQ(all[0], first[0]) << "the executable comes first";
    char name[260] = {};
    ASSERT_GT(process.ModuleBaseName(all[1], name, sizeof(name)), 0u);
    EXPECT_FALSE(EndsWithExe(name)) << name;
    return;
  }
  FAIL() << "no process with two modules could be read";
}

TEST_F(ProcessesConformance, NameLongerThanTheBufferIsCut) {
  for (std::uint32_t id : Ids()) {
    const std::string full = ExecutableName(id);
    if (full.size() < 5) continue;
    Process process;
    ASSERT_EQ(process.Open(kAccess, id), ERROR_SUCCESS);
    ModuleHandle module[1] = {};
    std::uint32_t total = 0;
    ASSERT_EQ(process.EnumModules(module, 1, &total), ERROR_SUCCESS);
    char name[8];
    std::memset(name, '#', sizeof(name));
    const std::uint32_t copied = process.ModuleBaseName(module[0], name, 3);
    EXPECT_LE(copied, 3u);
    EXPECT_EQ(std::string(name, std::min<std::uint32_t>(copied, 2)),
              full.substr(0, std::min<std::uint32_t>(copied, 2)));
    EXPECT_EQ(name[3], '#') << "nothing written beyond the size given";
    return;
  }
  FAIL() << "no process name could be read";
}

TEST_F(ProcessesConformance, ProcessThatDoesNotExistCannotBeOpened) {
  const std::vector<std::uint32_t> ids = Ids();
  ASSERT_FALSE(ids.empty());
  const std::uint32_t absent = *std::max_element(ids.begin(), ids.end()) + 4000;
  Process process;
  EXPECT_EQ(process.Open(kAccess, absent), ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(process.IsOpen());
  ModuleHandle modules[1] = {};
  std::uint32_t total = 0;
  EXPECT_EQ(process.EnumModules(modules, 1, &total), ERROR_INVALID_HANDLE);
  char name[16] = {};
  EXPECT_EQ(process.ModuleBaseName(1, name, sizeof(name)), 0u);
  std::uint32_t length = 7;
  EXPECT_EQ(process.ImagePath(name, sizeof(name), &length), ERROR_INVALID_HANDLE);
  EXPECT_EQ(length, 7u);
}

// The right that Vista gives for almost every process names its executable by its path, but
// does not read its memory.
TEST_F(ProcessesConformance, LimitedRightsGiveTheImagePathButNoModules) {
  int named = 0;
  for (std::uint32_t id : Ids()) {
    const std::string executable = ListedName(id);
    if (executable.empty()) continue;
    Process process;
    ASSERT_EQ(process.Open(PROCESS_QUERY_LIMITED_INFORMATION, id), ERROR_SUCCESS) << executable;
    char path[1024];
    std::uint32_t length = 0;
    ASSERT_EQ(process.ImagePath(path, sizeof(path), &length), ERROR_SUCCESS) << executable;
    EXPECT_EQ(length, std::strlen(path));
    const std::string_view text(path, length);
    const std::size_t start = platform::cp936::AfterLast(text, '\\');
    EXPECT_GT(start, 0u) << text;
    EXPECT_TRUE(platform::cp936::EqualsIgnoreCase(text.substr(start), executable)) << text;
    ModuleHandle modules[1] = {};
    std::uint32_t total = 0;
    EXPECT_EQ(process.EnumModules(modules, 1, &total), ERROR_ACCESS_DENIED) << executable;
    ++named;
  }
  EXPECT_GE(named, 3);
}

#if defined(_WIN32) && !defined(_WIN64)
// The shipped 32-bit program on 64-bit Windows: a 64-bit process (services.exe, as all of Wine's
// own) opens with the rights that reading its memory takes, but refuses its module list, so the
// process list names it by its image path.
TEST_F(ProcessesConformance, SixtyFourBitProcessRefusesItsModulesToThe32BitProgram) {
  int seen = 0;
  for (std::uint32_t id : Ids()) {
    if (!platform::cp936::EqualsIgnoreCase(ImageName(id), "services.exe")) continue;
    Process process;
    ASSERT_EQ(process.Open(kAccess, id), ERROR_SUCCESS);
    ModuleHandle modules[4] = {};
    std::uint32_t total = 0;
    // Windows says ERROR_PARTIAL_COPY; Wine's WoW64 mode ERROR_NOACCESS. The program takes any
    // failure alike.
    const long refused = process.EnumModules(modules, 4, &total);
    EXPECT_TRUE(refused == ERROR_PARTIAL_COPY || refused == ERROR_NOACCESS) << refused;
    EXPECT_EQ(ExecutableName(id), "");
    ++seen;
  }
  EXPECT_EQ(seen, 1);
}
#endif

TEST_F(ProcessesConformance, ImagePathLongerThanTheBufferFails) {
  const std::vector<std::uint32_t> ids = Ids();
  ASSERT_GE(ids.size(), 2u);
  Process process;
  ASSERT_EQ(process.Open(PROCESS_QUERY_LIMITED_INFORMATION, ids[1]), ERROR_SUCCESS);
  char path[1024];
  std::uint32_t length = 0;
  ASSERT_EQ(process.ImagePath(path, sizeof(path), &length), ERROR_SUCCESS);
  std::uint32_t shortLength = 99;
  EXPECT_EQ(process.ImagePath(path, length, &shortLength), ERROR_INSUFFICIENT_BUFFER)
      << "no room for the zero";
  EXPECT_EQ(shortLength, 99u);
}

#ifndef _WIN32
// What Wine cannot show: it grants every access, reads every module list and runs no 32-bit
// program. Also sim-only: a list of 1024 processes or more (process_section_test).
TEST_F(ProcessesConformance, SimProtectedAnd64BitProcesses) {
  platform::sim::SimProcess system;
  system.id = 4;
  system.modules = {"System"};
  system.grantedAccess = 0;
  platform::sim::SimProcess wide;
  wide.id = 88;
  wide.modules = {"x64.exe"};
  wide.moduleListError = ERROR_PARTIAL_COPY;
  workstation_.processes().Add(system).Add(wide);
  Process process;
  EXPECT_EQ(process.Open(kAccess, 4), ERROR_ACCESS_DENIED);
  ASSERT_EQ(process.Open(kAccess, 88), ERROR_SUCCESS);
  ModuleHandle modules[1] = {};
  std::uint32_t total = 0;
  EXPECT_EQ(process.EnumModules(modules, 1, &total), ERROR_PARTIAL_COPY);
  EXPECT_EQ(workstation_.processes().OpenHandleCount(), 1);
  process.Close();
  EXPECT_EQ(workstation_.processes().OpenHandleCount(), 0);
}

TEST_F(ProcessesConformance, SimProtectedProcessOpensWithLimitedRightsOnly) {
  platform::sim::SimProcess audio;
  audio.id = 92;
  audio.modules = {"audiodg.exe"};
  audio.grantedAccess = PROCESS_QUERY_LIMITED_INFORMATION;
  audio.imagePath = "C:\\Windows\\System32\\audiodg.exe";
  workstation_.processes().Add(audio);
  Process process;
  EXPECT_EQ(process.Open(kAccess, 92), ERROR_ACCESS_DENIED);
  EXPECT_EQ(process.Open(PROCESS_QUERY_INFORMATION, 92), ERROR_ACCESS_DENIED);
  ASSERT_EQ(process.Open(PROCESS_QUERY_LIMITED_INFORMATION, 92), ERROR_SUCCESS);
  char path[64] = {};
  std::uint32_t length = 0;
  ASSERT_EQ(process.ImagePath(path, sizeof(path), &length), ERROR_SUCCESS);
  EXPECT_EQ(std::string(path, length), audio.imagePath);
}

// A 64-bit process's modules are out of a 32-bit program's reach; a 64-bit program reads them.
TEST_F(ProcessesConformance, SimSixtyFourBitProcessFromEachBuild) {
  using platform::sim::Bitness;
  platform::sim::SimProcess spooler;
  spooler.id = 96;
  spooler.modules = {"spoolsv.exe", "ntdll.dll"};
  spooler.bitness = Bitness::k64;
  workstation_.processes().Add(spooler);
  for (const Bitness program : {Bitness::k32, Bitness::k64}) {
    workstation_.SetBitness(Bitness::k64, program);
    Process process;
    ASSERT_EQ(process.Open(kAccess, 96), ERROR_SUCCESS);
    ModuleHandle modules[2] = {};
    std::uint32_t total = 0;
    const long listed = process.EnumModules(modules, 2, &total);
    if (program == Bitness::k32) {
      EXPECT_EQ(listed, ERROR_PARTIAL_COPY);
    } else {
      ASSERT_EQ(listed, ERROR_SUCCESS);
      EXPECT_EQ(total, 2u);
      char name[16] = {};
      EXPECT_EQ(process.ModuleBaseName(modules[0], name, sizeof(name)), 11u);
      EXPECT_STREQ(name, "spoolsv.exe");
    }
  }
}

TEST_F(ProcessesConformance, SimMoreProcessesThanTheRoom) {
  for (std::uint32_t id = 100; id < 100 + 4 * 1500; id += 4) {
    workstation_.processes().Add(id, {"p.exe"});
  }
  std::vector<std::uint32_t> ids(2048);
  std::uint32_t count = 0;
  ASSERT_EQ(platform::EnumProcessIds(ids.data(), 1024, &count), ERROR_SUCCESS);
  EXPECT_EQ(count, 1024u);
  ASSERT_EQ(platform::EnumProcessIds(ids.data(), 2048, &count), ERROR_SUCCESS);
  EXPECT_EQ(count, 1504u);
  EXPECT_EQ(ids[0], 32u);
  EXPECT_EQ(ids[1503], 100u + 4 * 1499);
}

TEST_F(ProcessesConformance, SimEnumerationThatFails) {
  workstation_.processes().FailEnumeration(ERROR_ACCESS_DENIED);
  std::uint32_t ids[4] = {};
  std::uint32_t count = 7;
  EXPECT_EQ(platform::EnumProcessIds(ids, 4, &count), ERROR_ACCESS_DENIED);
  EXPECT_EQ(count, 7u);
}
#endif

}  // namespace
