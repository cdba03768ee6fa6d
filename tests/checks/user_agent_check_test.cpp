#include "checks/user_agent_check.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/workstation.h"
#include "platform/win32_codes.h"

namespace {

using namespace checks;

using platform::RegRoot;
using platform::sim::RegCall;
using platform::sim::Registry;
using platform::sim::RegValue;

constexpr char kUA[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\5.0\\User Agent";
constexpr RegRoot kUser = RegRoot::kCurrentUser;
constexpr RegRoot kMachine = RegRoot::kLocalMachine;
constexpr char kTooLong[] =
    "waring:The length of this value is more than 260,please check by yourself!";
constexpr char kCompatibleTooLong[] =
    "waring:The length of compatible is more than 260,please check by yourself!";
constexpr char kVersionTooLong[] =
    "waring:The length of version value is more than 260,please check by yourself!";

const std::string kLong300(300, 'x');
const std::string kMax259(259, 'y');  // the longest text that fits 260 bytes
// The longest texts that their prefix ("compatible;", "MSIE 8.0;") keeps within 259.
const std::string kCompatibleRoom(259 - 11, 'c');
const std::string kVersionRoom(259 - 9, 'v');
// "\xB0\x4D" is one code page 936 character whose trail byte is 'M'; "\x81\x63" one whose
// trail byte is 'c'. Neither starts a keyword.
const std::string kTrailM = "\xB0\x4DSIE 7.0";
const std::string kTrailC = "\x81\x63ompatible";

RegValue Sz(const std::string& text) { return RegValue{REG_SZ, text + '\0'}; }

// ---------------------------------------------------------------- the collector

TEST(ReadUserAgentValues, NeitherKeyGivesDefaultEverywhere) {
  platform::sim::Workstation ws;
  IEInfo info;
  EXPECT_EQ(ReadUserAgentValues(info), 0);
  for (const char* field :
       {info.szUserCompatible, info.szUserVersion, info.szUserPlatform, info.szMachineCompatible,
        info.szMachineVersion, info.szMachinePlatform}) {
    EXPECT_STREQ(field, "default");
  }
  EXPECT_EQ(ws.registry().OpenKeyCount(), 0);
}

TEST(ReadUserAgentValues, StoresEachOutcomeInItsField) {
  platform::sim::Workstation ws;
  ws.registry()
      .SetString(kUser, kUA, "Compatible", "Mozilla/4.0")
      .SetString(kUser, kUA, "Version", "")
      .SetString(kUser, kUA, "Platform", "Win32", REG_EXPAND_SZ)
      .SetString(kMachine, kUA, "Compatible", kLong300)
      .SetString(kMachine, kUA, "Version", kMax259)
      .SetValue(kMachine, kUA, "Platform", REG_SZ, std::string(260, 'z'));  // no terminator
  IEInfo info;
  EXPECT_EQ(ReadUserAgentValues(info), 0);
  EXPECT_STREQ(info.szUserCompatible, "Mozilla/4.0");
  EXPECT_STREQ(info.szUserVersion, "default") << "empty text";
  EXPECT_STREQ(info.szUserPlatform, "Win32") << "type not looked at";
  EXPECT_STREQ(info.szMachineCompatible, kTooLong);
  EXPECT_EQ(info.szMachineVersion, kMax259);
  // 260 bytes without a terminator cannot be held as text in 260 bytes: it counts as too long
  // rather than being read past the end of its field.
  EXPECT_STREQ(info.szMachinePlatform, kTooLong);
}

TEST(ReadUserAgentValues, UnexpectedErrorsStopWithFieldsNotReachedUntouched) {
  {
    platform::sim::Workstation ws;
    ws.registry()
        .DenyOpen(kUser, kUA, ERROR_ACCESS_DENIED)
        .SetString(kMachine, kUA, "Version", "v");
    IEInfo info;
    EXPECT_EQ(ReadUserAgentValues(info), -1);
    EXPECT_STREQ(info.szUserCompatible, "");
    EXPECT_STREQ(info.szMachineVersion, "");
  }
  {
    platform::sim::Workstation ws;
    ws.registry()
        .SetString(kMachine, kUA, "Compatible", "compatible")
        .SetString(kMachine, kUA, "Version", "MSIE 6.0")
        .Fail(RegCall::kQueryValue, ERROR_ACCESS_DENIED, kUA, "Version");
    IEInfo info;
    EXPECT_EQ(ReadUserAgentValues(info), -1);
    EXPECT_STREQ(info.szUserVersion, "default") << "per-user key absent";
    EXPECT_STREQ(info.szMachineCompatible, "compatible");
    EXPECT_STREQ(info.szMachineVersion, "");
    EXPECT_STREQ(info.szMachinePlatform, "");
    EXPECT_EQ(ws.registry().OpenKeyCount(), 0);
  }
}

// ---------------------------------------------------------------- the check

struct CheckCase {
  const char* name;
  std::function<void(Registry&)> setUp;
  int expected;
};

// Names the case in test output instead of dumping its bytes.
void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.name; }

const CheckCase kCheckCases[] = {
    {"NeitherKey", [](Registry&) {}, 0},
    {"UserCompatibleWithoutKeyword",
     [](Registry& r) { r.SetString(kUser, kUA, "Compatible", "Mozilla/4.0"); }, 1},
    {"VersionMsie7", [](Registry& r) { r.SetString(kUser, kUA, "Version", "MSIE 7.0"); }, 0},
    {"VersionLowerCase", [](Registry& r) { r.SetString(kUser, kUA, "Version", "msie 7.0"); }, 1},
    {"VersionKeywordOnlyAcrossATrailByte",
     [](Registry& r) { r.SetString(kUser, kUA, "Version", kTrailM); }, 1},
    {"CompatibleKeywordOnlyAcrossATrailByte",
     [](Registry& r) { r.SetString(kMachine, kUA, "Compatible", kTrailC); }, 1},
    {"KeywordAfterAChineseCharacter",
     [](Registry& r) { r.SetString(kUser, kUA, "Version", "\xB0\x4DMSIE 7.0"); }, 0},
    {"EmptyValue", [](Registry& r) { r.SetString(kMachine, kUA, "Compatible", ""); }, 0},
    {"StoredDefault", [](Registry& r) { r.SetString(kMachine, kUA, "Compatible", "default"); }, 0},
    {"OverLength", [](Registry& r) { r.SetString(kUser, kUA, "Version", kLong300); }, 1},
    {"OnlyMachineWrong",
     [](Registry& r) {
       r.SetString(kUser, kUA, "Compatible", "compatible").SetString(kMachine, kUA, "Version", "6");
     },
     1},
    {"PlatformIsNeverJudged", [](Registry& r) { r.SetString(kUser, kUA, "Platform", "junk"); }, 0},
    {"KeyRefused", [](Registry& r) { r.DenyOpen(kMachine, kUA, ERROR_ACCESS_DENIED); }, -1},
};

class UserAgentCheck : public ::testing::TestWithParam<CheckCase> {};

TEST_P(UserAgentCheck, Verdict) {
  platform::sim::Workstation ws;
  GetParam().setUp(ws.registry());
  EXPECT_EQ(CheckUserAgent(), GetParam().expected);
  EXPECT_EQ(ws.registry().WriteCount(), 0);
  EXPECT_EQ(ws.registry().OpenKeyCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, UserAgentCheck, ::testing::ValuesIn(kCheckCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- the repair

struct Expected {
  RegRoot root;
  const char* name;
  std::optional<RegValue> value;
};

struct FixCase {
  const char* name;
  std::function<void(Registry&)> setUp;
  int result;
  std::vector<Expected> after;
  std::vector<std::string> messages;
  int writes;
};

// Names the case in test output instead of dumping its bytes.
void PrintTo(const FixCase& c, std::ostream* os) { *os << c.name; }

const FixCase kFixCases[] = {
    {"NeitherKey", [](Registry&) {}, 0, {{kUser, "Compatible", std::nullopt}}, {}, 0},
    {"UserCompatibleGetsPrefix",
     [](Registry& r) { r.SetString(kUser, kUA, "Compatible", "Mozilla/4.0"); },
     0,
     {{kUser, "Compatible", Sz("compatible;Mozilla/4.0")}},
     {},
     1},
    {"LowerCaseVersionGetsPrefix",
     [](Registry& r) { r.SetString(kUser, kUA, "Version", "msie 7.0"); },
     0,
     {{kUser, "Version", Sz("MSIE 8.0;msie 7.0")}},
     {},
     1},
    {"OtherTypeIsWrittenBackAsText",
     [](Registry& r) { r.SetString(kMachine, kUA, "Compatible", "Mozilla", REG_EXPAND_SZ); },
     0,
     {{kMachine, "Compatible", Sz("compatible;Mozilla")}},
     {},
     1},
    {"StoredDefaultGetsPrefix",
     [](Registry& r) { r.SetString(kUser, kUA, "Compatible", "default"); },
     0,
     {{kUser, "Compatible", Sz("compatible;default")}},
     {},
     1},
    {"EmptyValueIsLeftAlone",
     [](Registry& r) { r.SetString(kUser, kUA, "Version", ""); },
     0,
     {{kUser, "Version", Sz("")}},
     {},
     0},
    {"LongestValueThatStaysReadableKeepsItsWholeText",
     [](Registry& r) {
       r.SetString(kUser, kUA, "Compatible", kCompatibleRoom)
           .SetString(kMachine, kUA, "Version", kVersionRoom);
     },
     0,
     {{kUser, "Compatible", Sz("compatible;" + kCompatibleRoom)},
      {kMachine, "Version", Sz("MSIE 8.0;" + kVersionRoom)}},
     {},
     2},
    // The prefix would take the value past what the check can read: it is left as it was.
    {"CompatibleThePrefixWouldMakeTooLong",
     [](Registry& r) {
       r.SetString(kUser, kUA, "Compatible", kCompatibleRoom + "c")
           .SetString(kUser, kUA, "Version", "4.0");
     },
     -1,
     {{kUser, "Compatible", Sz(kCompatibleRoom + "c")}, {kUser, "Version", Sz("4.0")}},
     {kCompatibleTooLong},
     0},
    {"LongestVersionThePrefixWouldMakeTooLong",
     [](Registry& r) { r.SetString(kMachine, kUA, "Version", kMax259); },
     -1,
     {{kMachine, "Version", Sz(kMax259)}},
     {kTooLong},
     0},
    {"KeywordOnlyAcrossATrailByteGetsPrefix",
     [](Registry& r) { r.SetString(kUser, kUA, "Version", kTrailM); },
     0,
     {{kUser, "Version", Sz("MSIE 8.0;" + kTrailM)}},
     {},
     1},
    {"OnlyMachineValuesWrong",
     [](Registry& r) {
       r.SetString(kUser, kUA, "Compatible", "compatible")
           .SetString(kUser, kUA, "Version", "MSIE 6.0")
           .SetString(kMachine, kUA, "Compatible", "Mozilla/4.0")
           .SetString(kMachine, kUA, "Version", "4.0")
           .SetString(kMachine, kUA, "Platform", "Win32");
     },
     0,
     {{kUser, "Compatible", Sz("compatible")},
      {kUser, "Version", Sz("MSIE 6.0")},
      {kMachine, "Compatible", Sz("compatible;Mozilla/4.0")},
      {kMachine, "Version", Sz("MSIE 8.0;4.0")},
      {kMachine, "Platform", Sz("Win32")}},
     {},
     2},
    {"UserCompatibleTooLongStops",
     [](Registry& r) {
       r.SetString(kUser, kUA, "Compatible", kLong300)
           .SetString(kUser, kUA, "Version", "4.0")
           .SetString(kMachine, kUA, "Compatible", "4.0");
     },
     -1,
     {{kUser, "Version", Sz("4.0")}, {kMachine, "Compatible", Sz("4.0")}},
     {kCompatibleTooLong},
     0},
    {"UserVersionTooLongAfterAWrite",
     [](Registry& r) {
       r.SetString(kUser, kUA, "Compatible", "Mozilla").SetString(kUser, kUA, "Version", kLong300);
     },
     -1,
     {{kUser, "Compatible", Sz("compatible;Mozilla")}},
     {kVersionTooLong},
     1},
    {"MachineCompatibleTooLong",
     [](Registry& r) { r.SetString(kMachine, kUA, "Compatible", kLong300); },
     -1,
     {},
     {kCompatibleTooLong},
     0},
    {"MachineVersionTooLong",
     [](Registry& r) { r.SetString(kMachine, kUA, "Version", kLong300); },
     -1,
     {},
     {kTooLong},
     0},
    {"UnterminatedFullBufferIsTooLongNotTruncated",
     [](Registry& r) { r.SetValue(kUser, kUA, "Compatible", REG_SZ, std::string(260, 'm')); },
     -1,
     {{kUser, "Compatible", RegValue{REG_SZ, std::string(260, 'm')}}},
     {kCompatibleTooLong},
     0},
    {"FailedWriteGoesOnAndReportsOne",
     [](Registry& r) {
       r.SetString(kUser, kUA, "Compatible", "Mozilla")
           .SetString(kUser, kUA, "Version", "4.0")
           .Fail(RegCall::kSetValue, ERROR_ACCESS_DENIED, kUA, "Compatible", 1);
     },
     1,
     {{kUser, "Compatible", Sz("Mozilla")}, {kUser, "Version", Sz("MSIE 8.0;4.0")}},
     {},
     1},
    {"FailedWriteStillOneWhenMachineKeyAbsent",
     [](Registry& r) {
       r.SetString(kUser, kUA, "Compatible", "Mozilla")
           .Fail(RegCall::kSetValue, ERROR_ACCESS_DENIED);
     },
     1,
     {{kUser, "Compatible", Sz("Mozilla")}},
     {},
     0},
    {"MachineKeyNotOpenForWriting",
     [](Registry& r) {
       r.SetString(kUser, kUA, "Compatible", "Mozilla")
           .SetString(kMachine, kUA, "Compatible", "Mozilla")
           .DenyWrite(kMachine, kUA);
     },
     -1,
     {{kUser, "Compatible", Sz("compatible;Mozilla")}, {kMachine, "Compatible", Sz("Mozilla")}},
     {},
     1},
    {"UserKeyRefused",
     [](Registry& r) {
       r.DenyOpen(kUser, kUA, ERROR_ACCESS_DENIED).SetString(kMachine, kUA, "Compatible", "M");
     },
     -1,
     {{kMachine, "Compatible", Sz("M")}},
     {},
     0},
    {"UnreadableValue",
     [](Registry& r) {
       r.SetString(kUser, kUA, "Version", "4.0")
           .SetString(kMachine, kUA, "Version", "4.0")
           .Fail(RegCall::kQueryValue, ERROR_ACCESS_DENIED, kUA, "Compatible", 1);
     },
     -1,
     {{kUser, "Version", Sz("4.0")}},
     {},
     0},
};

class UserAgentFix : public ::testing::TestWithParam<FixCase> {};

TEST_P(UserAgentFix, RewritesWhatLacksItsKeyword) {
  const FixCase& c = GetParam();
  platform::sim::Workstation ws;
  c.setUp(ws.registry());
  EXPECT_EQ(FixUserAgent(), c.result);
  for (const Expected& e : c.after) {
    EXPECT_EQ(ws.registry().Value(e.root, kUA, e.name), e.value)
        << (e.root == kUser ? "user " : "machine ") << e.name;
  }
  EXPECT_EQ(ws.MessageBoxes(), c.messages);
  EXPECT_EQ(ws.registry().WriteCount(), c.writes);
  EXPECT_EQ(ws.registry().OpenKeyCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, UserAgentFix, ::testing::ValuesIn(kFixCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(UserAgentTaskEntries, RepairThenCheckAgainIsNormal) {
  platform::sim::Workstation ws;
  ws.registry()
      .SetString(kUser, kUA, "Compatible", "Mozilla/4.0")
      .SetString(kMachine, kUA, "Version", "msie");
  EXPECT_EQ(CheckIEUserAgent(), 1);
  EXPECT_EQ(FixIEUserAgent(), 0);
  EXPECT_EQ(CheckIEUserAgent(), 0);
  EXPECT_EQ(ws.Traces(), (std::vector<std::string>{"CheckIEUserAgent\r\n", "FixIEUserAgent\r\n",
                                                   "CheckIEUserAgent\r\n"}));
}

// A repair refused for length leaves nothing that reads back differently: the check still sees
// the value it saw before.
TEST(UserAgentTaskEntries, RefusedRepairLeavesTheCheckReadingTheSameValue) {
  platform::sim::Workstation ws;
  ws.registry().SetString(kUser, kUA, "Compatible", kMax259);
  IEInfo before;
  ASSERT_EQ(ReadUserAgentValues(before), 0);
  EXPECT_EQ(FixIEUserAgent(), -1);
  IEInfo after;
  ASSERT_EQ(ReadUserAgentValues(after), 0);
  EXPECT_STREQ(after.szUserCompatible, before.szUserCompatible);
  EXPECT_EQ(after.szUserCompatible, kMax259);
}

TEST(UserAgentTaskEntries, FailureIsStillTraced) {
  platform::sim::Workstation ws;
  ws.registry().DenyOpen(kUser, kUA, ERROR_ACCESS_DENIED);
  EXPECT_EQ(CheckIEUserAgent(), -1);
  EXPECT_EQ(FixIEUserAgent(), -1);
  EXPECT_EQ(ws.Traces(), (std::vector<std::string>{"CheckIEUserAgent\r\n", "FixIEUserAgent\r\n"}));
}

}  // namespace
