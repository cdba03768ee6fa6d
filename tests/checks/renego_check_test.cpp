#include "checks/renego_check.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <optional>
#include <string>

#include "platform/sim/workstation.h"
#include "platform/win32_codes.h"

namespace {

using namespace checks;

using platform::RegRoot;
using platform::sim::RegCall;
using platform::sim::Registry;
using platform::sim::RegValue;

constexpr char kSchannel[] = "System\\CurrentControlSet\\Control\\SecurityProviders\\SCHANNEL";
constexpr char kValue[] = "DisableRenegoOnClient";
const RegValue kDwordZero{REG_DWORD, std::string(4, '\0')};

struct RenegoCase {
  const char* name;
  std::function<void(Registry&)> setUp;
  int check;
  int fix;
  std::optional<RegValue> afterFix;  // nullopt: the value is absent afterwards
  bool fixWrites;
};

// Names the case in test output instead of dumping its bytes.
void PrintTo(const RenegoCase& c, std::ostream* os) { *os << c.name; }

void WithValue(Registry& r, std::uint32_t type, const std::string& bytes) {
  r.SetValue(RegRoot::kLocalMachine, kSchannel, kValue, type, bytes);
}

const RenegoCase kCases[] = {
    {"ValueAbsent", [](Registry& r) { r.AddKey(RegRoot::kLocalMachine, kSchannel); }, 0, 0,
     std::nullopt, false},
    {"DwordOne", [](Registry& r) { r.SetDword(RegRoot::kLocalMachine, kSchannel, kValue, 1); }, 1,
     0, kDwordZero, true},
    {"DwordZero", [](Registry& r) { r.SetDword(RegRoot::kLocalMachine, kSchannel, kValue, 0); }, 0,
     0, kDwordZero, false},
    {"SecondByteOnly",
     [](Registry& r) { r.SetDword(RegRoot::kLocalMachine, kSchannel, kValue, 0x100); }, 1, 0,
     kDwordZero, true},
    {"ThirdByteOnly",
     [](Registry& r) { r.SetDword(RegRoot::kLocalMachine, kSchannel, kValue, 0x10000); }, 1, 0,
     kDwordZero, true},
    {"HighByteOnly",
     [](Registry& r) { r.SetDword(RegRoot::kLocalMachine, kSchannel, kValue, 0x01000000); }, 1, 0,
     kDwordZero, true},
    {"EmptyData", [](Registry& r) { WithValue(r, REG_DWORD, ""); }, 1, 1, RegValue{REG_DWORD, ""},
     false},
    {"StringLongerThan32Bytes",
     [](Registry& r) { WithValue(r, REG_SZ, std::string(40, '0') + '\0'); }, 1, 1,
     RegValue{REG_SZ, std::string(40, '0') + '\0'}, false},
    {"ShortStringIsOverwrittenAsDword",
     [](Registry& r) { WithValue(r, REG_SZ, std::string("1\0", 2)); }, 1, 0, kDwordZero, true},
    {"SingleZeroByteIsNormal", [](Registry& r) { WithValue(r, REG_BINARY, std::string(1, '\0')); },
     0, 0, RegValue{REG_BINARY, std::string(1, '\0')}, false},
    {"SingleNonZeroByte", [](Registry& r) { WithValue(r, REG_BINARY, "\x02"); }, 1, 0, kDwordZero,
     true},
    {"FifthByteIsIgnored",
     [](Registry& r) { WithValue(r, REG_BINARY, std::string("\0\0\0\0\x01", 5)); }, 0, 0,
     RegValue{REG_BINARY, std::string("\0\0\0\0\x01", 5)}, false},
    {"UnreadableValue",
     [](Registry& r) {
       r.SetDword(RegRoot::kLocalMachine, kSchannel, kValue, 1);
       r.Fail(RegCall::kQueryValue, ERROR_ACCESS_DENIED, kSchannel, kValue);
     },
     1, 1, RegValue{REG_DWORD, std::string("\x01\0\0\0", 4)}, false},
    {"WriteFails",
     [](Registry& r) {
       r.SetDword(RegRoot::kLocalMachine, kSchannel, kValue, 1);
       r.Fail(RegCall::kSetValue, ERROR_ACCESS_DENIED);
     },
     1, 1, RegValue{REG_DWORD, std::string("\x01\0\0\0", 4)}, false},
    {"KeyMissing", [](Registry&) {}, -1, -1, std::nullopt, false},
    {"KeyNotOpenForWriting",
     [](Registry& r) {
       r.SetDword(RegRoot::kLocalMachine, kSchannel, kValue, 1);
       r.DenyWrite(RegRoot::kLocalMachine, kSchannel);
     },
     1, -1, RegValue{REG_DWORD, std::string("\x01\0\0\0", 4)}, false},
};

class RenegoSetting : public ::testing::TestWithParam<RenegoCase> {};

TEST_P(RenegoSetting, CheckThenRepairThenCheckAgain) {
  const RenegoCase& c = GetParam();
  platform::sim::Workstation ws;
  c.setUp(ws.registry());

  EXPECT_EQ(CheckRenegoSetting(), c.check);
  EXPECT_EQ(ws.registry().WriteCount(), 0) << "the check only reads";
  EXPECT_EQ(FixRenegoSetting(), c.fix);
  EXPECT_EQ(ws.registry().WriteCount(), c.fixWrites ? 1 : 0);
  const auto after = ws.registry().Value(RegRoot::kLocalMachine, kSchannel, kValue);
  EXPECT_EQ(after, c.afterFix);
  if (c.fixWrites) {
    EXPECT_EQ(CheckRenegoSetting(), 0) << "repaired";
  }
  EXPECT_EQ(ws.registry().OpenKeyCount(), 0) << "every key closed";
  if (c.check == -1) {
    EXPECT_FALSE(ws.registry().HasKey(RegRoot::kLocalMachine, kSchannel)) << "nothing created";
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, RenegoSetting, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RenegoTaskEntries, ReturnTheResultAndTraceAfterTheWork) {
  platform::sim::Workstation ws;
  ws.registry().SetDword(RegRoot::kLocalMachine, kSchannel, kValue, 1);
  EXPECT_EQ(CheckKB977377(), 1);
  EXPECT_EQ(FixKB977377(), 0);
  EXPECT_EQ(CheckKB977377(), 0);
  EXPECT_EQ(ws.Traces(), (std::vector<std::string>{"CheckKB977377\r\n", "FixKB977377\r\n",
                                                   "CheckKB977377\r\n"}));
}

TEST(RenegoTaskEntries, TraceAlsoWhenTheKeyIsMissing) {
  platform::sim::Workstation ws;
  EXPECT_EQ(CheckKB977377(), -1);
  EXPECT_EQ(FixKB977377(), -1);
  EXPECT_EQ(ws.Traces(), (std::vector<std::string>{"CheckKB977377\r\n", "FixKB977377\r\n"}));
}

}  // namespace
