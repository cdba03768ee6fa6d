// Installed programs and hotfixes on the simulated workstation, and the software section.
#include "collect/software_section.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "platform/sim/workstation.h"
#include "platform/win32_codes.h"
#include "tests/support/hex.h"

namespace {

using namespace collect;

using platform::RegRoot;
using platform::sim::RegCall;
using platform::sim::Registry;

constexpr char kUninstall[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr char kHotfix[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Hotfix";
// "已安装软件：" and its line end.
constexpr char kHeading[] = "\xd2\xd1\xb0\xb2\xd7\xb0\xc8\xed\xbc\xfe\xa3\xba\r\n";

std::string UninstallKey(const std::string& key) { return std::string(kUninstall) + "\\" + key; }
std::string HotfixKey(const std::string& key) { return std::string(kHotfix) + "\\" + key; }

void AddProgram(Registry& r, const std::string& key, const std::string& name,
                const std::string& version = {}) {
  r.SetString(RegRoot::kLocalMachine, UninstallKey(key), "DisplayName", name);
  if (!version.empty()) {
    r.SetString(RegRoot::kLocalMachine, UninstallKey(key), "DisplayVersion", version);
  }
}

void AddHotfix(Registry& r, const std::string& key, const std::string& comments,
               std::uint32_t installed = 1) {
  r.SetDword(RegRoot::kLocalMachine, HotfixKey(key), "Installed", installed);
  r.SetString(RegRoot::kLocalMachine, HotfixKey(key), "Comments", comments);
}

// The names the section lists.
std::vector<std::string> Names(const SoftwareSection& section) {
  std::vector<std::string> names;
  for (const SoftwareEntry& entry : ListedPrograms(section)) names.push_back(entry.name);
  return names;
}

std::string Section() { return RenderSoftwareSection(GatherSoftwareSection()); }

TEST(SoftwareSection, HeadingIsCodePage936) {
  EXPECT_EQ(Hex(kHeading), "d2d1b0b2d7b0c8edbcfea3ba0d0a");
  platform::sim::Workstation ws;
  EXPECT_EQ(Section(), kHeading) << "no uninstall key: the heading alone";
}

TEST(SoftwareSection, NameThreeBlanksVersionInListOrder) {
  platform::sim::Workstation ws;
  // Sub-keys enumerate by name, whatever the display names.
  AddProgram(ws.registry(), "{B}", "Beta Tool", "2.0");
  AddProgram(ws.registry(), "{A}", "Zeta Suite", "10.1.5");
  AddProgram(ws.registry(), "{C}", "Beta Tool", "2.0");  // duplicates stay
  AddProgram(ws.registry(), "{D}", "No Version");
  AddProgram(ws.registry(), "{E}", "腾讯QQ", "9.7");
  EXPECT_EQ(Section(), std::string(kHeading) +
                           "Zeta Suite   10.1.5\r\n"
                           "Beta Tool   2.0\r\n"
                           "Beta Tool   2.0\r\n"
                           "No Version   \r\n"
                           "腾讯QQ   9.7\r\n");
  EXPECT_EQ(ws.registry().OpenKeyCount(), 0);
}

struct CutCase {
  const char* name;
  std::string value;
  std::string printed;
};

void PrintTo(const CutCase& c, std::ostream* os) { *os << c.name; }

class NameCut : public ::testing::TestWithParam<CutCase> {};

TEST_P(NameCut, LongNamesEndInDots) {
  platform::sim::Workstation ws;
  AddProgram(ws.registry(), "{A}", GetParam().value, "1.0");
  EXPECT_EQ(Names(GatherSoftwareSection()), std::vector<std::string>{GetParam().printed});
}

const std::string kGbk = "软件";  // two characters, four bytes

INSTANTIATE_TEST_SUITE_P(
    Cases, NameCut,
    ::testing::Values(
        CutCase{"ThreeHundred", std::string(300, 'n'), std::string(252, 'n') + "..."},
        CutCase{"TwoFiftyFive", std::string(255, 'n'), std::string(252, 'n') + "..."},
        CutCase{"TwoFiftyFourWhole", std::string(254, 'n'), std::string(254, 'n')},
        // A double-byte character across byte 252 goes whole; no half character before the dots.
        CutCase{"CharacterAcrossTheCut", std::string(251, 'n') + kGbk + "xyz",
                std::string(251, 'n') + "..."},
        CutCase{"CharacterEndingAtTheCut", std::string(250, 'n') + kGbk + "xyz",
                std::string(250, 'n') + "\xc8\xed..."}),
    [](const auto& info) { return std::string(info.param.name); });

class VersionCut : public ::testing::TestWithParam<CutCase> {};

TEST_P(VersionCut, LongVersionsEndInDots) {
  platform::sim::Workstation ws;
  AddProgram(ws.registry(), "{A}", "Program", GetParam().value);
  const SoftwareSection section = GatherSoftwareSection();
  ASSERT_EQ(section.programs.size(), 1u);
  EXPECT_EQ(section.programs[0].version, GetParam().printed);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VersionCut,
    ::testing::Values(CutCase{"Nineteen", "1.2.3.4.5.6.7.8.9.0", "1.2.3.4.5.6.7.8...."},
                      CutCase{"EighteenWhole", "1.2.3.4.5.6.7.8.9.", "1.2.3.4.5.6.7.8.9."},
                      CutCase{"Thirty", std::string(30, '7'), std::string(16, '7') + "..."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UninstallEntries, UnreadableEntriesAreSkipped) {
  platform::sim::Workstation ws;
  Registry& r = ws.registry();
  AddProgram(r, "01", "First", "1");
  r.AddKey(RegRoot::kLocalMachine, UninstallKey("02"));  // no DisplayName
  AddProgram(r, "03", "");                               // empty DisplayName
  AddProgram(r, "04", "Locked", "1");
  r.DenyOpen(RegRoot::kLocalMachine, UninstallKey("04"), ERROR_ACCESS_DENIED);
  AddProgram(r, "05", "Name unreadable", "1");
  r.Fail(RegCall::kQueryValue, ERROR_ACCESS_DENIED, UninstallKey("05"), "DisplayName");
  AddProgram(r, "06", "Version unreadable", "1.0");
  r.Fail(RegCall::kQueryValue, ERROR_ACCESS_DENIED, UninstallKey("06"), "DisplayVersion");
  // Stored without its terminating zero: read as what was stored, nothing beyond.
  r.SetValue(RegRoot::kLocalMachine, UninstallKey("07"), "DisplayName", REG_SZ, "Raw");
  r.SetValue(RegRoot::kLocalMachine, UninstallKey("07"), "DisplayVersion", REG_SZ, "3.1");
  // The name changes size between the two reads: skipped, not read short.
  AddProgram(r, "08", "Growing", "1");
  r.Fail(RegCall::kQueryValue, ERROR_MORE_DATA, UninstallKey("08"), "DisplayName", 2);
  // A sub-key name longer than the 256-byte buffer (128 double-byte characters).
  std::string longKey;
  for (int i = 0; i < 64; ++i) longKey += kGbk;
  AddProgram(r, longKey, "Long key", "1");
  AddProgram(r, "09", "Last", "9");
  std::vector<std::string> lines;
  for (const SoftwareEntry& e : GatherSoftwareSection().programs) {
    lines.push_back(e.name + "|" + e.version);
  }
  EXPECT_EQ(lines,
            (std::vector<std::string>{"First|1", "Version unreadable|", "Raw|3.1", "Last|9"}));
  EXPECT_EQ(r.OpenKeyCount(), 0);
}

TEST(UninstallEntries, EnumerationThatKeepsFailingEnds) {
  platform::sim::Workstation ws;
  AddProgram(ws.registry(), "01", "First", "1");
  ws.registry().Fail(RegCall::kEnumKey, ERROR_ACCESS_DENIED, kUninstall);
  EXPECT_TRUE(GatherSoftwareSection().programs.empty());
  EXPECT_EQ(ws.registry().OpenKeyCount(), 0);
}

TEST(UninstallEntries, UnopenableKeyGivesTheHeadingAlone) {
  platform::sim::Workstation ws;
  AddProgram(ws.registry(), "01", "First", "1");
  ws.registry().DenyOpen(RegRoot::kLocalMachine, kUninstall, ERROR_ACCESS_DENIED);
  EXPECT_EQ(Section(), kHeading);
}

struct UpdateCase {
  const char* name;
  std::string text;
  bool update;
};

void PrintTo(const UpdateCase& c, std::ostream* os) { *os << c.name; }

class WindowsUpdate : public ::testing::TestWithParam<UpdateCase> {};

TEST_P(WindowsUpdate, ByItsWords) {
  EXPECT_EQ(IsWindowsUpdate(GetParam().text), GetParam().update);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WindowsUpdate,
    ::testing::Values(UpdateCase{"WindowsAndKb", "Security Update for Windows XP (KB958644)", true},
                      UpdateCase{"WindowsInstallerStaysEvenWithKb",
                                 "Windows Installer 3.1 (KB893803)", false},
                      UpdateCase{"NoWindows", "Update for Office (KB2345)", false},
                      UpdateCase{"WindowsWithoutUpdateWords", "Windows Media Player 11", false},
                      UpdateCase{"WindowsAndChineseUpdate", "Windows XP 更新程序", true},
                      UpdateCase{"WindowsAndQb", "Windows Hotfix QB123", true},
                      UpdateCase{"WindowsAndUpdate", "Windows Update Agent", true},
                      UpdateCase{"LowerCaseOnlyStays", "windows update", false},
                      UpdateCase{"LowerCaseWindowsStays", "windows KB123", false},
                      UpdateCase{"CaseMatters", "Windows Kb123 update", false},
                      // 塊 is 89 4b: its trail byte and the 'B' after it are no "KB".
                      UpdateCase{"TrailByteIsNoLetter", "Windows 塊B", false},
                      UpdateCase{"Empty", "", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WindowsUpdate, ChineseWordIsCodePage936) { EXPECT_EQ(Hex("更新"), "b8fcd0c2"); }

TEST(Hotfixes, QualifyingKeysInOrder) {
  platform::sim::Workstation ws;
  Registry& r = ws.registry();
  AddHotfix(r, "KB100", "Hotfix one");
  AddHotfix(r, "kb200", "Lower-case kb qualifies");
  AddHotfix(r, "Q300", "Q qualifies");
  AddHotfix(r, "q400", "q qualifies");
  AddHotfix(r, "SP3", "Neither KB nor Q");
  AddHotfix(r, "KB500", "Not installed", 0);
  AddHotfix(r, "KB600", "");  // empty Comments
  AddHotfix(r, "KB700", std::string(256, 'c'));
  AddHotfix(r, "KB710", std::string(255, 'c'));
  r.SetDword(RegRoot::kLocalMachine, HotfixKey("KB800"), "Installed", 1);  // no Comments
  r.SetString(RegRoot::kLocalMachine, HotfixKey("KB900"), "Comments", "No Installed");
  // Installed longer than its 10-byte buffer does not count.
  AddHotfix(r, "KB910", "Long Installed");
  r.SetValue(RegRoot::kLocalMachine, HotfixKey("KB910"), "Installed", REG_BINARY,
             std::string(11, '\x01'));
  // Stored without a terminator and filling the buffer: not read beyond it.
  AddHotfix(r, "KB920", "");
  r.SetValue(RegRoot::kLocalMachine, HotfixKey("KB920"), "Comments", REG_SZ, std::string(256, 'r'));
  AddHotfix(r, "KB930", "Locked");
  r.DenyOpen(RegRoot::kLocalMachine, HotfixKey("KB930"), ERROR_ACCESS_DENIED);
  // 盦 is b1 51: a trail byte 'Q' is no Q.
  AddHotfix(r, "盦123", "Trail byte Q");
  EXPECT_EQ(GatherHotfixes(),
            (std::vector<std::string>{"Hotfix one", "Lower-case kb qualifies",
                                      std::string(255, 'c'), "Q qualifies", "q qualifies"}))
      << "in key order";
  EXPECT_EQ(r.OpenKeyCount(), 0);
}

TEST(Hotfixes, KeyCountThatCannotBeReadReadsNone) {
  platform::sim::Workstation ws;
  AddHotfix(ws.registry(), "KB100", "Hotfix one");
  ws.registry().Fail(RegCall::kQueryInfo, ERROR_ACCESS_DENIED, kHotfix);
  EXPECT_TRUE(GatherHotfixes().empty());
}

// Programs of every kind the filter tells apart.
const std::vector<SoftwareEntry> kMixedPrograms = {
    {"Security Update for Windows XP (KB958644)", ""},
    {"Windows Installer 3.1 (KB893803)", "3.1.4000.2435"},
    {"Hotfix one", ""},  // the Comments of a hotfix
    {"Windows Media Player 11", "11.0"},
    {"Windows XP 更新程序", ""},
    {"Mozilla Firefox", "3.6"},
    {"Hotfix one!", ""},  // not equal to it
    {"windows update", ""},
};

TEST(SoftwareFilter, RemovesHotfixesAndUpdatesKeepingTheOrder) {
  EXPECT_EQ(RenderSoftwareSection(SoftwareSection{kMixedPrograms, {"Hotfix one"}}),
            std::string(kHeading) +
                "Windows Installer 3.1 (KB893803)   3.1.4000.2435\r\n"
                "Windows Media Player 11   11.0\r\n"
                "Mozilla Firefox   3.6\r\n"
                "Hotfix one!   \r\n"
                "windows update   \r\n");
}

TEST(SoftwareFilter, WithoutAHotfixEveryProgramStays) {
  EXPECT_EQ(ListedPrograms(SoftwareSection{kMixedPrograms, {}}), kMixedPrograms);
}

// Only what is installed and named as a hotfix is one: the rest removes no program.
TEST(SoftwareFilter, WithoutAQualifyingHotfixEveryProgramStays) {
  platform::sim::Workstation ws;
  for (std::size_t i = 0; i < kMixedPrograms.size(); ++i) {
    AddProgram(ws.registry(), "0" + std::to_string(i + 1), kMixedPrograms[i].name,
               kMixedPrograms[i].version);
  }
  AddHotfix(ws.registry(), "SP3", "Hotfix one");
  AddHotfix(ws.registry(), "KB100", "Not installed", 0);
  EXPECT_EQ(Names(GatherSoftwareSection()).size(), 8u);
}

// Where a value is cut, by its stored size: the registry's size decides, not the text's.
TEST(FittedText, CutsAtTheLimitAndNeverWithinACharacter) {
  const struct {
    const char* name;
    std::string text;
    std::uint32_t stored;
    std::uint32_t limit;
    std::string shown;
  } cases[] = {
      {"FitsWithItsZero", std::string(254, 'n'), 255, 256, std::string(254, 'n')},
      {"FillsWithItsZero", std::string(255, 'n'), 256, 256, std::string(252, 'n') + "..."},
      {"ShortTextInALargerValue", "short", 300, 256, "short"},
      {"EmbeddedZeroTextStillLong", std::string(253, 'n'), 400, 256, std::string(252, 'n') + "..."},
      {"CharacterAcrossTheCut", std::string(251, 'n') + "软件", 256, 256,
       std::string(251, 'n') + "..."},
      {"Version", "1.2.3.4.5.6.7.8.9.0", 20, 20, "1.2.3.4.5.6.7.8...."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FittedText(c.text, c.stored, c.limit), c.shown);
  }
}

// Both registry views of a 64-bit Windows, in one list: the program's own view first.
using platform::sim::Bitness;

struct InView {
  Bitness view;
  std::string key;
  std::string text;  // a program's DisplayName or a hotfix's Comments
};

struct ViewCase {
  const char* name;
  Bitness windows;
  Bitness program;
  std::vector<InView> programs;
  std::vector<InView> hotfixes;
  std::string listed;  // the section after its heading
  std::vector<std::string> hotfixList;
};

void PrintTo(const ViewCase& c, std::ostream* os) { *os << c.name; }

class TwoViews : public ::testing::TestWithParam<ViewCase> {};

TEST_P(TwoViews, OneListOwnViewFirst) {
  const ViewCase& c = GetParam();
  platform::sim::Workstation ws;
  ws.SetBitness(c.windows, c.program);
  Registry& r = ws.registry();
  for (const InView& p : c.programs) {
    const std::string key = r.StoredPath(RegRoot::kLocalMachine, UninstallKey(p.key), p.view);
    r.SetString(RegRoot::kLocalMachine, key, "DisplayName", p.text);
    r.SetString(RegRoot::kLocalMachine, key, "DisplayVersion",
                p.view == Bitness::k64 ? "64" : "32");
  }
  for (const InView& h : c.hotfixes) {
    const std::string key = r.StoredPath(RegRoot::kLocalMachine, HotfixKey(h.key), h.view);
    r.SetDword(RegRoot::kLocalMachine, key, "Installed", 1);
    r.SetString(RegRoot::kLocalMachine, key, "Comments", h.text);
  }
  EXPECT_EQ(Section(), kHeading + c.listed);
  EXPECT_EQ(GatherHotfixes(), c.hotfixList) << "the patch list";
  EXPECT_EQ(r.OpenKeyCount(), 0);
}

constexpr Bitness k32 = Bitness::k32;
constexpr Bitness k64 = Bitness::k64;

// The programs of one workstation with a 64-bit and a 32-bit program in each view.
const std::vector<InView> kBothViews = {{k64, "{64A}", "Office 64"},
                                        {k64, "{64B}", "Driver Tools"},
                                        {k32, "{32A}", "Tovra VPN Client"},
                                        {k32, "{32B}", "Browser"}};

INSTANTIATE_TEST_SUITE_P(
    Cases, TwoViews,
    ::testing::Values(
        // One view: what is stored for the 32-bit view is all there is, and nothing is doubled.
        ViewCase{"ThirtyTwoBitWindows",
                 k32,
                 k32,
                 {{k32, "{A}", "Tovra VPN Client"}, {k32, "{B}", "Fix one"}},
                 {{k32, "KB1", "Fix one"}},
                 "Tovra VPN Client   32\r\n",
                 {"Fix one"}},
        ViewCase{"SixtyFourBitWindowsFromThe32BitBuild",
                 k64,
                 k32,
                 kBothViews,
                 {},
                 "Tovra VPN Client   32\r\nBrowser   32\r\nOffice 64   64\r\nDriver Tools   64\r\n",
                 {}},
        ViewCase{"SixtyFourBitWindowsFromThe64BitBuild",
                 k64,
                 k64,
                 kBothViews,
                 {},
                 "Office 64   64\r\nDriver Tools   64\r\nTovra VPN Client   32\r\nBrowser   32\r\n",
                 {}},
        ViewCase{"HotfixOfThe32BitViewRemovesA64BitProgram",
                 k64,
                 k32,
                 {{k64, "{A}", "Fix for Office"}, {k64, "{B}", "Office 64"}},
                 {{k32, "KB1", "Fix for Office"}},
                 "Office 64   64\r\n",
                 {"Fix for Office"}},
        ViewCase{"HotfixOfThe64BitViewRemovesA32BitProgram",
                 k64,
                 k32,
                 {{k32, "{A}", "Fix for Client"}, {k32, "{B}", "Tovra VPN Client"}},
                 {{k64, "KB1", "Fix for Client"}},
                 "Tovra VPN Client   32\r\n",
                 {"Fix for Client"}},
        ViewCase{"SameProgramInBothViewsListedTwice",
                 k64,
                 k64,
                 {{k32, "{A}", "Runtime 2010"}, {k64, "{A}", "Runtime 2010"}},
                 {},
                 "Runtime 2010   64\r\nRuntime 2010   32\r\n",
                 {}},
        ViewCase{"WindowsUpdateInTheOtherViewFiltered",
                 k64,
                 k32,
                 {{k64, "{A}", "Update for Windows 7 (KB2999226)"}, {k32, "{B}", "Browser"}},
                 {{k32, "KB1", "Fix one"}},
                 "Browser   32\r\n",
                 {"Fix one"}},
        // The filter runs once the list has a hotfix, from whichever view it came.
        ViewCase{
            "HotfixOfTheOtherViewAloneStartsTheFilter",
            k64,
            k32,
            {{k32, "{A}", "Security Update for Windows 7 (KB958644)"}, {k32, "{B}", "Browser"}},
            {{k64, "KB1", "Fix one"}},
            "Browser   32\r\n",
            {"Fix one"}},
        ViewCase{"PatchListOwnViewFirstEachInKeyOrder",
                 k64,
                 k32,
                 {},
                 {{k64, "KB2", "Second 64"},
                  {k64, "KB1", "First 64"},
                  {k32, "Q9", "Last 32"},
                  {k32, "KB8", "First 32"}},
                 "",
                 {"First 32", "Last 32", "First 64", "Second 64"}},
        // As in a fresh Wine prefix: the other view has no uninstall or hotfix key at all.
        ViewCase{"OtherViewWithoutTheKeys",
                 k64,
                 k64,
                 {{k64, "{A}", "Office 64"}},
                 {{k64, "KB1", "Fix one"}},
                 "Office 64   64\r\n",
                 {"Fix one"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TwoViewsFailing, OtherViewUnreadableLeavesTheOwn) {
  platform::sim::Workstation ws;
  ws.SetBitness(Bitness::k64, Bitness::k32);
  Registry& r = ws.registry();
  const std::string own = r.StoredPath(RegRoot::kLocalMachine, UninstallKey("{A}"), k32);
  const std::string other = r.StoredPath(RegRoot::kLocalMachine, UninstallKey("{B}"), k64);
  r.SetString(RegRoot::kLocalMachine, own, "DisplayName", "Own program");
  r.SetString(RegRoot::kLocalMachine, other, "DisplayName", "Other program");
  r.DenyOpen(RegRoot::kLocalMachine, kUninstall, ERROR_ACCESS_DENIED);  // the 64-bit view's
  EXPECT_EQ(Section(), std::string(kHeading) + "Own program   \r\n");
}

// IsWow64Process missing or failing: the 32-bit build reads its own view alone, once.
TEST(TwoViewsFailing, SystemThatCannotSayIsReadAsOneView) {
  platform::sim::Workstation ws;
  ws.SetBitness(Bitness::k64, Bitness::k32);
  Registry& r = ws.registry();
  r.SetString(RegRoot::kLocalMachine,
              r.StoredPath(RegRoot::kLocalMachine, UninstallKey("{A}"), k32), "DisplayName",
              "Own program");
  r.SetString(RegRoot::kLocalMachine,
              r.StoredPath(RegRoot::kLocalMachine, UninstallKey("{B}"), k64), "DisplayName",
              "Other program");
  r.Fail(RegCall::kOtherView, ERROR_ACCESS_DENIED);
  EXPECT_EQ(Section(), std::string(kHeading) + "Own program   \r\n");
}

}  // namespace
