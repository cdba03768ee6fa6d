// The process section on the simulated workstation.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "collect/process_section.h"
#include "platform/sim/workstation.h"
#include "platform/win32_codes.h"

namespace {

using namespace collect;

// The section as the report writes it from what was gathered.
std::string Listed() { return RenderProcessSection(GatherProcessSection()); }

using platform::sim::SimProcess;

SimProcess Closed(std::uint32_t id, long error, std::vector<std::string> modules = {"x.exe"}) {
  SimProcess process;
  process.id = id;
  process.modules = std::move(modules);
  process.grantedAccess = 0;
  process.openError = error;
  return process;
}

TEST(ProcessSection, OneLinePerProcessInEnumerationOrder) {
  platform::sim::Workstation ws;
  platform::sim::Processes& p = ws.processes();
  p.Add(Closed(0, ERROR_INVALID_PARAMETER, {}))  // the idle process
      .Add(Closed(4, ERROR_ACCESS_DENIED, {"System"}))
      .Add(636, {"smss.exe", "ntdll.dll"})
      .Add(1520, {"explorer.exe", "ntdll.dll", "kernel32.dll"})
      .Add(300, {"svchost.exe"})
      .Add(2212, {"svchost.exe"})  // two of one executable: two lines
      .Add(3000, {"腾讯QQ.exe"});
  EXPECT_EQ(Listed(), "smss.exe\r\nexplorer.exe\r\nsvchost.exe\r\nsvchost.exe\r\n腾讯QQ.exe\r\n");
  EXPECT_EQ(p.OpenHandleCount(), 0) << "every process closed";
}

TEST(ProcessSection, TheFirstIdentifierIsNeverTaken) {
  platform::sim::Workstation ws;
  // Under Wine the first entry is the program itself, which opens fine.
  ws.processes().Add(42, {"vantik.exe"}).Add(43, {"services.exe"});
  EXPECT_EQ(Listed(), "services.exe\r\n");
  EXPECT_EQ(ws.processes().OpenRequests(), std::vector<std::uint32_t>{43});
}

// Processes whose executable no way names give no line; the walk goes on.
TEST(ProcessSection, WhatNoWayNamesGivesNoLine) {
  platform::sim::Workstation ws;
  SimProcess query_only;  // named by neither its modules nor an image path
  query_only.id = 12;
  query_only.modules = {"queryonly.exe"};
  query_only.grantedAccess = PROCESS_QUERY_INFORMATION;
  SimProcess unnamed_image;  // its module list fails and so does its image path
  unnamed_image.id = 13;
  unnamed_image.modules = {"x64.exe"};
  unnamed_image.moduleListError = ERROR_PARTIAL_COPY;
  unnamed_image.imagePath = "C:\\x64.exe";
  unnamed_image.imagePathError = ERROR_ACCESS_DENIED;
  ws.processes()
      .Add(0, {})
      .Add(Closed(10, ERROR_ACCESS_DENIED, {"protected.exe"}))
      .Add(Closed(11, ERROR_INVALID_PARAMETER, {"exited.exe"}))  // gone since the list was made
      .Add(query_only)
      .Add(unnamed_image)
      .Add(14, {})    // no module at all
      .Add(15, {""})  // an empty base name
      .Add(16, {"last.exe"});
  EXPECT_EQ(Listed(), "last.exe\r\n");
  EXPECT_EQ(ws.processes().OpenHandleCount(), 0);
}

// Processes whose memory this program may not read are named by their image path, as the module
// base name would name them.
using platform::sim::Bitness;

struct NamingCase {
  const char* name;
  Bitness program;
  std::vector<SimProcess> processes;  // after the first, which is never taken
  std::string section;
};

void PrintTo(const NamingCase& c, std::ostream* os) { *os << c.name; }

SimProcess Readable(std::uint32_t id, const std::string& executable) {
  SimProcess process;
  process.id = id;
  process.modules = {executable, "ntdll.dll"};
  process.imagePath = "C:\\Windows\\System32\\" + executable;
  return process;
}

SimProcess SixtyFourBit(std::uint32_t id, const std::string& executable) {
  SimProcess process = Readable(id, executable);
  process.bitness = Bitness::k64;
  return process;
}

// Grants the one right Vista and later give for a protected process (audiodg.exe).
SimProcess Protected(std::uint32_t id, const std::string& imagePath) {
  SimProcess process;
  process.id = id;
  process.modules = {"never read"};
  process.grantedAccess = PROCESS_QUERY_LIMITED_INFORMATION;
  process.imagePath = imagePath;
  return process;
}

class ProcessNaming : public ::testing::TestWithParam<NamingCase> {};

TEST_P(ProcessNaming, ByModuleOrElseByImagePath) {
  const NamingCase& c = GetParam();
  platform::sim::Workstation ws;
  ws.SetBitness(Bitness::k64, c.program);
  ws.processes().Add(Readable(8, "first.exe"));
  for (const SimProcess& process : c.processes) ws.processes().Add(process);
  EXPECT_EQ(Listed(), c.section);
  EXPECT_EQ(ws.processes().OpenHandleCount(), 0);
}

SimProcess WithImage(SimProcess process, const std::string& imagePath) {
  process.imagePath = imagePath;
  return process;
}

SimProcess WithAccess(SimProcess process, std::uint32_t access) {
  process.grantedAccess = access;
  return process;
}

const std::string kLongName(300, 'p');

INSTANTIATE_TEST_SUITE_P(
    Cases, ProcessNaming,
    ::testing::Values(
        NamingCase{"SixtyFourBitProcessFromThe32BitBuild",
                   Bitness::k32,
                   {SixtyFourBit(20, "spoolsv.exe")},
                   "spoolsv.exe\r\n"},
        // The module name, where it can be read, wins over the image path.
        NamingCase{"SixtyFourBitProcessFromThe64BitBuild",
                   Bitness::k64,
                   {WithImage(SixtyFourBit(20, "spoolsv.exe"), "C:\\Windows\\image.exe")},
                   "spoolsv.exe\r\n"},
        NamingCase{"ProtectedProcess",
                   Bitness::k32,
                   {Protected(20, "C:\\Windows\\System32\\audiodg.exe")},
                   "audiodg.exe\r\n"},
        NamingCase{"NoRightsAtAllLeftOut",
                   Bitness::k32,
                   {WithAccess(Readable(20, "csrss.exe"), 0), Readable(24, "after.exe")},
                   "after.exe\r\n"},
        NamingCase{
            "ImagePathWithoutBackslash", Bitness::k32, {Protected(20, "Registry")}, "Registry\r\n"},
        // XP x64: no limited right, and the path in its device form.
        NamingCase{"WindowsXpSixtyFourBitProcess",
                   Bitness::k32,
                   {WithImage(WithAccess(SixtyFourBit(20, "spoolsv.exe"), 0x1F0FFF),
                              "\\Device\\HarddiskVolume1\\WINDOWS\\system32\\spoolsv.exe")},
                   "spoolsv.exe\r\n"},
        // 乗 is 81 5c: its trail byte is no folder separator.
        NamingCase{"TrailByteIsNoBackslash",
                   Bitness::k32,
                   {Protected(20, "C:\\Program Files\\工具\\\x81\x5c.exe")},
                   "\x81\x5c.exe\r\n"},
        NamingCase{"EmptyModuleNameFallsBackToTheImage",
                   Bitness::k32,
                   {WithImage(Readable(20, ""), "C:\\Tools\\tool.exe")},
                   "tool.exe\r\n"},
        NamingCase{"LongImageNameCutAsAModuleNameIs",
                   Bitness::k32,
                   {Protected(20, "C:\\" + kLongName), SixtyFourBit(24, kLongName)},
                   std::string(260, 'p') + "\r\n" + std::string(260, 'p') + "\r\n"},
        // 版 is b0 e6: the buffer takes its lead byte alone, which goes with it.
        NamingCase{"LongNameCutAtACharacterBoundaryEitherWay",
                   Bitness::k32,
                   {Readable(20, std::string(259, 'p') + "版本.exe"),
                    Protected(24, "C:\\" + std::string(259, 'p') + "版本.exe")},
                   std::string(259, 'p') + "\r\n" + std::string(259, 'p') + "\r\n"},
        NamingCase{"ImagePathBeyondAnyMaxPath",
                   Bitness::k32,
                   {Protected(20, "\\\\?\\C:\\" + std::string(2000, 'd') + "\\deep.exe")},
                   "deep.exe\r\n"},
        NamingCase{"OrderAndDuplicatesKept",
                   Bitness::k32,
                   {Readable(20, "smss.exe"), SixtyFourBit(24, "svchost.exe"),
                    Protected(28, "C:\\Windows\\System32\\audiodg.exe"),
                    SixtyFourBit(32, "svchost.exe"), Readable(36, "vantik.exe")},
                   "smss.exe\r\nsvchost.exe\r\naudiodg.exe\r\nsvchost.exe\r\nvantik.exe\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProcessSectionRendered, OneNamePerLineAsRecorded) {
  EXPECT_EQ(RenderProcessSection(ProcessSection{{"a.exe", "版本.exe", "a.exe"}}),
            "a.exe\r\n版本.exe\r\na.exe\r\n");
  EXPECT_EQ(RenderProcessSection(ProcessSection{}), "");
}

TEST(ProcessSection, AnIdentifierZeroEndsTheWalk) {
  platform::sim::Workstation ws;
  ws.processes().Add(8, {"first.exe"}).Add(9, {"a.exe"}).Add(0, {}).Add(10, {"b.exe"});
  EXPECT_EQ(Listed(), "a.exe\r\n");
}

TEST(ProcessSection, EmptyWhenTheListCannotBeRead) {
  platform::sim::Workstation ws;
  ws.processes().Add(0, {}).Add(8, {"a.exe"}).FailEnumeration(ERROR_ACCESS_DENIED);
  EXPECT_EQ(Listed(), "");
  EXPECT_TRUE(ws.processes().OpenRequests().empty());
}

TEST(ProcessSection, ALongNameIsKeptWithinItsBuffer) {
  platform::sim::Workstation ws;
  ws.processes().Add(0, {}).Add(8, {std::string(300, 'p')});
  EXPECT_EQ(Listed(), std::string(260, 'p') + "\r\n");
}

TEST(ProcessSection, ManyModulesStillNameTheExecutable) {
  platform::sim::Workstation ws;
  std::vector<std::string> modules = {"big.exe"};
  for (int i = 0; i < 1500; ++i) modules.push_back("m" + std::to_string(i) + ".dll");
  ws.processes().Add(0, {}).Add(8, modules);
  EXPECT_EQ(Listed(), "big.exe\r\n");
}

// Lists that fill the first buffer are read again with more room, up to a bound.
class ManyProcesses : public ::testing::TestWithParam<std::uint32_t> {};

TEST_P(ManyProcesses, AreAllListed) {
  const std::uint32_t count = GetParam();
  platform::sim::Workstation ws;
  std::string expected;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::string name = "p" + std::to_string(i) + ".exe";
    ws.processes().Add(4 * (i + 1), {name});
    if (i > 0 && i < kLargestListCapacity) expected += name + "\r\n";
  }
  EXPECT_EQ(Listed(), expected);
}

INSTANTIATE_TEST_SUITE_P(Counts, ManyProcesses,
                         ::testing::Values(1023u, 1024u, 1025u, 3000u, kLargestListCapacity + 10));

TEST(ProcessIdList, NextIsZeroUntilFilledAndAfterTheEnd) {
  platform::sim::Workstation ws;
  ws.processes().Add(5, {"a.exe"}).Add(6, {"b.exe"});
  ProcessIdList ids;
  EXPECT_EQ(ids.Next(), 0u);
  ASSERT_TRUE(ids.Fill());
  EXPECT_EQ(ids.Next(), 6u);
  EXPECT_EQ(ids.Next(), 0u);
  EXPECT_EQ(ids.Next(), 0u);
  ASSERT_TRUE(ids.Fill());
  EXPECT_EQ(ids.Next(), 6u) << "filling again starts again";
  ws.processes().FailEnumeration(ERROR_ACCESS_DENIED);
  EXPECT_FALSE(ids.Fill());
  EXPECT_EQ(ids.Next(), 0u);
}

TEST(ModuleList, NoneForAProcessThatIsNotOpen) {
  platform::sim::Workstation ws;
  const platform::Process closed;
  ModuleList modules;
  EXPECT_FALSE(modules.Fill(closed));
  EXPECT_EQ(modules.First(), 0u);
}

}  // namespace
