// The registry seam's contract. The same cases run on the simulated registry natively and on
// Wine's real registry in the Windows build, with the same expectations; the few that Wine
// cannot produce (it runs every program elevated and never refuses a write) are at the end,
// built for the simulated backend only.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/win32_codes.h"
#include "tests/support/test_registry.h"

namespace {

using platform::RegKey;
using platform::RegRoot;

constexpr RegRoot kRoot = RegRoot::kCurrentUser;

class RegistryConformance : public ::testing::Test {
 protected:
  // Each test works under a key of its own.
  std::string Path(const std::string& sub = "") const {
    std::string path = "Software\\VantikConformance\\";
    path += ::testing::UnitTest::GetInstance()->current_test_info()->name();
    if (!sub.empty()) path += "\\" + sub;
    return path;
  }

  RegKey OpenForReading(const std::string& sub = "") {
    RegKey key;
    EXPECT_EQ(key.Open(kRoot, Path(sub).c_str(), KEY_READ), ERROR_SUCCESS);
    return key;
  }

  TestRegistry registry_;
};

std::string Text(std::size_t length) {
  std::string text;
  for (std::size_t i = 0; i < length; ++i) text += static_cast<char>('a' + i % 26);
  return text;
}

TEST_F(RegistryConformance, MissingValueGivesNotFoundAndKeepsTheSize) {
  registry_.SetString(kRoot, Path(), "Present", "x");
  RegKey key = OpenForReading();
  char data[32] = {};
  std::uint32_t size = sizeof(data);
  EXPECT_EQ(key.QueryValue("Absent", nullptr, data, &size), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(size, 32u);
}

TEST_F(RegistryConformance, ValueLongerThanTheBufferGivesMoreDataAndItsSize) {
  registry_.SetString(kRoot, Path(), "Long", Text(40));  // 41 bytes with its zero
  RegKey key = OpenForReading();
  std::vector<char> data(32, '#');
  std::uint32_t size = 32;
  std::uint32_t type = 0;
  EXPECT_EQ(key.QueryValue("Long", &type, data.data(), &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 41u);
  EXPECT_EQ(std::string(data.data(), data.size()), std::string(32, '#')) << "buffer untouched";
}

TEST_F(RegistryConformance, NoBufferGivesTheSize) {
  registry_.SetString(kRoot, Path(), "Long", Text(40));
  RegKey key = OpenForReading();
  std::uint32_t size = 0;
  std::uint32_t type = 0;
  EXPECT_EQ(key.QueryValue("Long", &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 41u);
  EXPECT_EQ(type, static_cast<std::uint32_t>(REG_SZ));
}

TEST_F(RegistryConformance, ZeroSizeReadOfNonEmptyValueGivesMoreData) {
  registry_.SetDword(kRoot, Path(), "Number", 7);
  RegKey key = OpenForReading();
  char data[4] = {'#', '#', '#', '#'};
  std::uint32_t size = 0;
  EXPECT_EQ(key.QueryValue("Number", nullptr, data, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(std::string(data, 4), "####");
}

TEST_F(RegistryConformance, EmptyDataReadsAsSuccessWithSizeZero) {
  for (const std::uint32_t type : {REG_SZ, REG_BINARY}) {
    SCOPED_TRACE(type);
    registry_.SetValue(kRoot, Path(), "Empty", type, "");
    RegKey key = OpenForReading();
    char data[8] = {'#', '#', '#', '#', '#', '#', '#', '#'};
    std::uint32_t size = sizeof(data);
    std::uint32_t readType = 0;
    EXPECT_EQ(key.QueryValue("Empty", &readType, data, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(readType, type);
    EXPECT_EQ(data[0], '#') << "nothing written";
  }
}

TEST_F(RegistryConformance, ValuesRoundTripWithTheirTypes) {
  const std::string multi("one\0two\0\0", 9);
  const std::string gbkText = "\xB0\xE6\xB1\xBE\xA3\xBA";  // "版本：" in code page 936
  const struct {
    const char* name;
    std::uint32_t type;
    std::string bytes;
  } cases[] = {
      {"Multi", REG_MULTI_SZ, multi},
      {"Dword", REG_DWORD, std::string("\x01\x00\x00\x00", 4)},
      {"Expand", REG_EXPAND_SZ, std::string("%SystemRoot%\\x", 15)},
      {"Binary", REG_BINARY, std::string("\x00\xFF\x10", 3)},
      {"Chinese", REG_SZ, gbkText + '\0'},
  };
  registry_.AddKey(kRoot, Path());
  {
    RegKey key;
    ASSERT_EQ(key.Open(kRoot, Path().c_str(), KEY_READ | KEY_SET_VALUE), ERROR_SUCCESS);
    for (const auto& c : cases) {
      EXPECT_EQ(
          key.SetValue(c.name, c.type, c.bytes.data(), static_cast<std::uint32_t>(c.bytes.size())),
          ERROR_SUCCESS)
          << c.name;
    }
  }
  RegKey key = OpenForReading();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    char data[64] = {};
    std::uint32_t size = sizeof(data);
    std::uint32_t type = 0;
    ASSERT_EQ(key.QueryValue(c.name, &type, data, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, c.type);
    EXPECT_EQ(std::string(data, size), c.bytes);
  }
}

// The reading helper keeps every text within its buffer, whatever was stored.
TEST_F(RegistryConformance, StringReadsAlwaysEndWithinTheBuffer) {
  registry_.SetValue(kRoot, Path(), "Bare4", REG_SZ, "abcd");
  registry_.SetValue(kRoot, Path(), "Bare3", REG_SZ, "abc");
  registry_.SetString(kRoot, Path(), "Fits", "abc");
  registry_.SetValue(kRoot, Path(), "Empty", REG_SZ, "");
  RegKey key = OpenForReading();
  const struct {
    const char* name;
    long result;
    const char* text;  // what the buffer holds afterwards
  } cases[] = {
      {"Bare4", ERROR_MORE_DATA, "###"},  // needs a fifth byte for its zero
      {"Bare3", ERROR_SUCCESS, "abc"},   {"Fits", ERROR_SUCCESS, "abc"},
      {"Empty", ERROR_SUCCESS, ""},      {"Absent", ERROR_FILE_NOT_FOUND, "###"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    char buffer[5] = {'#', '#', '#', '\0', '!'};
    EXPECT_EQ(platform::ReadRegString(key, c.name, buffer, 4), c.result);
    EXPECT_STREQ(buffer, c.text);
    EXPECT_EQ(buffer[4], '!') << "written past the buffer";
  }
}

TEST_F(RegistryConformance, DefaultValueAndNamesIgnoreCase) {
  registry_.SetString(kRoot, Path(), "", "default text");
  registry_.SetString(kRoot, Path(), "MixedCase", "mixed");
  std::string upperCase = Path();
  for (char& c : upperCase) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  RegKey key;
  ASSERT_EQ(key.Open(kRoot, upperCase.c_str(), KEY_QUERY_VALUE), ERROR_SUCCESS);
  char data[32] = {};
  EXPECT_EQ(platform::ReadRegString(key, nullptr, data, sizeof(data)), ERROR_SUCCESS);
  EXPECT_STREQ(data, "default text");
  EXPECT_EQ(platform::ReadRegString(key, "", data, sizeof(data)), ERROR_SUCCESS);
  EXPECT_STREQ(data, "default text");
  EXPECT_EQ(platform::ReadRegString(key, "MIXEDcase", data, sizeof(data)), ERROR_SUCCESS);
  EXPECT_STREQ(data, "mixed");
}

TEST_F(RegistryConformance, EnumerationIsInNameOrderAndEndsWithNoMoreItems) {
  for (const char* sub : {"beta", "Alpha", "gamma", "Delta"}) registry_.AddKey(kRoot, Path(sub));
  RegKey key = OpenForReading();
  const std::vector<std::string> expected = {"Alpha", "beta", "Delta", "gamma"};

  std::vector<std::string> names;
  long result = ERROR_SUCCESS;
  for (std::uint32_t i = 0; result == ERROR_SUCCESS; ++i) {
    char name[256];
    std::uint32_t length = sizeof(name);
    result = key.EnumKeyEx(i, name, &length);
    if (result == ERROR_SUCCESS) {
      EXPECT_EQ(length, std::strlen(name));
      names.emplace_back(name);
    }
  }
  EXPECT_EQ(result, ERROR_NO_MORE_ITEMS);
  EXPECT_EQ(names, expected);

  names.clear();
  for (std::uint32_t i = 0;; ++i) {
    char name[260];
    result = key.EnumKey(i, name, sizeof(name));
    if (result != ERROR_SUCCESS) break;
    names.emplace_back(name);
  }
  EXPECT_EQ(result, ERROR_NO_MORE_ITEMS);
  EXPECT_EQ(names, expected);

  std::uint32_t subKeys = 0;
  EXPECT_EQ(key.QueryInfo(&subKeys, nullptr), ERROR_SUCCESS);
  EXPECT_EQ(subKeys, 4u);
}

TEST_F(RegistryConformance, NameBufferTooSmallGivesMoreData) {
  registry_.AddKey(kRoot, Path("LongerName"));
  RegKey key = OpenForReading();
  char name[4];
  std::uint32_t length = sizeof(name);
  EXPECT_EQ(key.EnumKeyEx(0, name, &length), ERROR_MORE_DATA);
  EXPECT_EQ(key.EnumKey(0, name, sizeof(name)), ERROR_MORE_DATA);
}

TEST_F(RegistryConformance, MissingKeyGivesNotFound) {
  registry_.AddKey(kRoot, Path());
  RegKey key;
  EXPECT_EQ(key.Open(kRoot, Path("Absent\\Deeper").c_str(), KEY_READ), ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(key.IsOpen());
  EXPECT_EQ(key.Open(kRoot, Path("Absent").c_str(), KEY_READ | KEY_SET_VALUE),
            ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryConformance, WritingNeedsAKeyOpenedForWriting) {
  registry_.SetDword(kRoot, Path(), "Number", 1);
  RegKey key;
  ASSERT_EQ(key.Open(kRoot, Path().c_str(), KEY_QUERY_VALUE), ERROR_SUCCESS);
  const unsigned char zero[4] = {};
  EXPECT_EQ(key.SetValue("Number", REG_DWORD, zero, sizeof(zero)), ERROR_ACCESS_DENIED);
  const auto stored = registry_.Value(kRoot, Path(), "Number");
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->data, std::string("\x01\x00\x00\x00", 4));
}

TEST_F(RegistryConformance, MovedKeyStaysOpenAndClosesOnce) {
  registry_.SetString(kRoot, Path(), "Value", "v");
  RegKey first = OpenForReading();
  RegKey second = std::move(first);
  EXPECT_FALSE(first.IsOpen());
  ASSERT_TRUE(second.IsOpen());
  char data[8] = {};
  EXPECT_EQ(platform::ReadRegString(second, "Value", data, sizeof(data)), ERROR_SUCCESS);
  EXPECT_STREQ(data, "v");
  second.Close();
  EXPECT_FALSE(second.IsOpen());
}

}  // namespace

#ifndef _WIN32
// Cases Wine cannot produce: simulated backend only.
#include "platform/sim/workstation.h"

namespace {

class RegistrySimOnly : public RegistryConformance {
 protected:
  platform::sim::Registry& sim() { return platform::sim::Workstation::Current().registry(); }
};

// Windows hands back text stored without its terminator as it is; Wine adds the terminator
// (four bytes stored read as five), so only the simulated backend can show this. The helper
// test above holds on both.
TEST_F(RegistrySimOnly, TextWithoutTerminatorComesBackWithoutOne) {
  registry_.SetValue(kRoot, Path(), "Bare", REG_SZ, "abcd");
  RegKey key = OpenForReading();
  char data[4] = {'#', '#', '#', '#'};
  std::uint32_t size = sizeof(data);
  ASSERT_EQ(key.QueryValue("Bare", nullptr, data, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(std::string(data, 4), "abcd");
}

TEST_F(RegistrySimOnly, KeyWithoutWriteAccessOpensForReadingOnly) {
  sim().SetDword(kRoot, Path(), "Number", 1).DenyWrite(kRoot, Path());
  RegKey key;
  EXPECT_EQ(key.Open(kRoot, Path().c_str(), KEY_READ | KEY_SET_VALUE), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(key.IsOpen());
  EXPECT_EQ(key.Open(kRoot, Path().c_str(), KEY_READ), ERROR_SUCCESS);
}

TEST_F(RegistrySimOnly, MissingKeyIsToldApartFromRefusedKey) {
  sim().DenyOpen(kRoot, Path("Refused"), ERROR_ACCESS_DENIED);
  RegKey key;
  EXPECT_EQ(key.Open(kRoot, Path("Refused").c_str(), KEY_READ), ERROR_ACCESS_DENIED);
  EXPECT_EQ(key.Open(kRoot, Path("Missing").c_str(), KEY_READ), ERROR_FILE_NOT_FOUND);
}

}  // namespace
#endif
