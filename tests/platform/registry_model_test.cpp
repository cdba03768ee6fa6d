// What the simulated registry offers beyond the Win32 contract: fault injection, access
// rules and a count of keys left open.
#include <gtest/gtest.h>

#include "platform/prompt.h"
#include "platform/registry.h"
#include "platform/sim/workstation.h"
#include "platform/trace.h"
#include "platform/win32_codes.h"

namespace {

using platform::RegKey;
using platform::RegRoot;
using platform::sim::RegCall;

constexpr char kPath[] = "Software\\Test";

TEST(SimRegistry, FaultHitsOnlyItsCallKeyAndValueForItsCount) {
  platform::sim::Workstation ws;
  ws.registry()
      .SetString(RegRoot::kLocalMachine, kPath, "A", "a")
      .SetString(RegRoot::kLocalMachine, kPath, "B", "b")
      .Fail(RegCall::kQueryValue, ERROR_ACCESS_DENIED, "software\\TEST", "a", 1);
  RegKey key;
  ASSERT_EQ(key.Open(RegRoot::kLocalMachine, kPath, KEY_READ), ERROR_SUCCESS);
  char data[8] = {};
  EXPECT_EQ(platform::ReadRegString(key, "B", data, sizeof(data)), ERROR_SUCCESS);
  EXPECT_EQ(platform::ReadRegString(key, "A", data, sizeof(data)), ERROR_ACCESS_DENIED);
  EXPECT_EQ(platform::ReadRegString(key, "A", data, sizeof(data)), ERROR_SUCCESS) << "used up";
  EXPECT_STREQ(data, "a");
}

TEST(SimRegistry, FailedWriteChangesNothing) {
  platform::sim::Workstation ws;
  ws.registry()
      .SetDword(RegRoot::kLocalMachine, kPath, "N", 1)
      .Fail(RegCall::kSetValue, ERROR_ACCESS_DENIED);
  RegKey key;
  ASSERT_EQ(key.Open(RegRoot::kLocalMachine, kPath, KEY_READ | KEY_SET_VALUE), ERROR_SUCCESS);
  const unsigned char zero[4] = {};
  EXPECT_EQ(key.SetValue("N", REG_DWORD, zero, 4), ERROR_ACCESS_DENIED);
  EXPECT_EQ(ws.registry().WriteCount(), 0);
  EXPECT_EQ(ws.registry().Value(RegRoot::kLocalMachine, kPath, "N")->data,
            std::string("\x01\x00\x00\x00", 4));
}

TEST(SimRegistry, OpenFaultAndOpenKeyCount) {
  platform::sim::Workstation ws;
  ws.registry().AddKey(RegRoot::kCurrentUser, kPath).Fail(RegCall::kOpen, 1234, kPath);
  RegKey key;
  EXPECT_EQ(key.Open(RegRoot::kCurrentUser, kPath, KEY_READ), 1234);
  EXPECT_EQ(ws.registry().OpenKeyCount(), 0);
  {
    RegKey a;
    RegKey b;
    ws.registry().AddKey(RegRoot::kCurrentUser, "Other");
    ASSERT_EQ(a.Open(RegRoot::kCurrentUser, "Other", KEY_READ), ERROR_SUCCESS);
    ASSERT_EQ(b.Open(RegRoot::kCurrentUser, "Other", KEY_READ), ERROR_SUCCESS);
    EXPECT_EQ(ws.registry().OpenKeyCount(), 2);
    b = std::move(a);  // closes what b held
    EXPECT_EQ(ws.registry().OpenKeyCount(), 1);
  }
  EXPECT_EQ(ws.registry().OpenKeyCount(), 0);
}

// Enumeration keeps its place between steps, and starts again when asked for an earlier index
// or when a sub-key has been added since.
TEST(SimRegistry, EnumerationInAnyOrderAndAfterAKeyIsAdded) {
  platform::sim::Workstation ws;
  for (const char* name : {"b", "d", "f"}) {
    ws.registry().AddKey(RegRoot::kLocalMachine, std::string(kPath) + "\\" + name);
  }
  RegKey key;
  ASSERT_EQ(key.Open(RegRoot::kLocalMachine, kPath, KEY_READ), ERROR_SUCCESS);
  auto name = [&key](std::uint32_t index) {
    char text[16] = {};
    std::uint32_t length = sizeof(text);
    const long result = key.EnumKeyEx(index, text, &length);
    return result == ERROR_SUCCESS ? std::string(text) : "error " + std::to_string(result);
  };
  EXPECT_EQ(name(0), "b");
  EXPECT_EQ(name(2), "f");
  EXPECT_EQ(name(1), "d");
  EXPECT_EQ(name(3), "error 259");
  ws.registry().AddKey(RegRoot::kLocalMachine, std::string(kPath) + "\\c");
  EXPECT_EQ(name(1), "c");
  EXPECT_EQ(name(2), "d");
  EXPECT_EQ(name(3), "f");
}

// A double-byte character whose trail byte is '\\' (0x5C) or a lower-case letter stays one
// name: it neither splits the path nor folds into another character.
TEST(SimRegistry, DoubleByteNamesAreNeitherSplitNorFolded) {
  platform::sim::Workstation ws;
  const std::string withBackslash = "\x81\x5C";  // trail byte 0x5C
  const std::string withLetter = "\x81\x61";     // trail byte 'a'
  ws.registry().AddKey(RegRoot::kCurrentUser, "Software\\" + withBackslash);
  ws.registry().SetString(RegRoot::kCurrentUser, "Software", withLetter, "v");
  EXPECT_TRUE(ws.registry().HasKey(RegRoot::kCurrentUser, "software\\" + withBackslash));
  EXPECT_FALSE(ws.registry().HasKey(RegRoot::kCurrentUser, "Software\\\x81"));
  EXPECT_TRUE(ws.registry().Value(RegRoot::kCurrentUser, "Software", withLetter));
  EXPECT_FALSE(ws.registry().Value(RegRoot::kCurrentUser, "Software", "\x81\x41"));
}

TEST(SimRegistry, TracesAndMessageBoxesAreRecordedInOrder) {
  platform::sim::Workstation ws;
  platform::DebugTrace("one\r\n");
  EXPECT_EQ(platform::ShowMessageBox("box"), IDOK);
  platform::DebugTrace("two");
  EXPECT_EQ(ws.Traces(), (std::vector<std::string>{"one\r\n", "two"}));
  EXPECT_EQ(ws.MessageBoxes(), (std::vector<std::string>{"box"}));
}

}  // namespace
