// The code page 936 helper: case rules of ASCII letters only, and no trail byte ever taken for
// a character of its own. Under Wine the same texts are checked against Windows' own
// CharUpperBuffA and lstrcmpiA in code page 936.
#ifdef _WIN32
#include "platform/win32/windows_api.h"
#endif

#include "platform/cp936.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/hex.h"

namespace {

namespace cp936 = platform::cp936;

// Characters whose trail bytes are ASCII: 0x81 0x61 ('a'), 0x81 0x4D ('M'), 0x81 0x5C ('\\').
const std::string kTrailA = "\x81\x61";
const std::string kTrailM = "\x81\x4d";
const std::string kTrailBackslash = "\x81\x5c";
const std::string kUpdate = "更新";  // b8 fc d0 c2

TEST(Cp936Test, LiteralsAreCodePage936) { EXPECT_EQ(Hex(kUpdate), "b8fcd0c2"); }

struct UpperCase {
  std::string text;
  std::string upper;
};

TEST(Cp936Test, ToUpperFoldsAsciiLettersOnly) {
  const UpperCase cases[] = {
      {"", ""},
      {"Tcpip ethernet KB977377", "TCPIP ETHERNET KB977377"},
      {kTrailA + "b", kTrailA + "B"},  // the trail 'a' is part of its character
      {"x" + kTrailM + "sie", "X" + kTrailM + "SIE"},
      {kUpdate + "kb", kUpdate + "KB"},
      {"a\x81", "A\x81"},  // a lead byte with nothing after it stands alone
  };
  for (const UpperCase& c : cases) {
    EXPECT_EQ(Hex(cp936::ToUpper(c.text)), Hex(c.upper)) << Hex(c.text);
  }
}

struct EqualCase {
  std::string a;
  std::string b;
  bool equal;
};

const EqualCase kEqualCases[] = {
    {"Tcpip", "TCPIP", true},
    {"MirrelDrv", "mirreldrv", true},
    {"Mirrel Adapter V1.0", "MIRREL ADAPTER v1.0", true},
    {kUpdate, kUpdate, true},
    {kTrailA, "\x81\x41", false},  // trail bytes 'a' and 'A' are different characters
    {kUpdate + "ab", kUpdate + "AB", true},
    {"Tcpip", "Tcpi", false},
    {"", "", true},
};

TEST(Cp936Test, EqualsIgnoreCaseComparesCharacters) {
  for (const EqualCase& c : kEqualCases) {
    EXPECT_EQ(cp936::EqualsIgnoreCase(c.a, c.b), c.equal) << Hex(c.a) << " " << Hex(c.b);
  }
}

TEST(Cp936Test, FindStartsOnlyWhereACharacterStarts) {
  // "M" as the trail byte of a character followed by "SIE" is no "MSIE".
  EXPECT_EQ(cp936::Find(kTrailM + "SIE 7.0", "MSIE"), std::string::npos);
  EXPECT_EQ(cp936::Find("x" + kTrailM + "SIE MSIE 8.0", "MSIE"), 7u);
  EXPECT_EQ(cp936::Find("compatible; MSIE 8.0", "MSIE"), 12u);
  EXPECT_EQ(cp936::Find("Windows " + kUpdate, kUpdate), 8u);
  EXPECT_EQ(cp936::Find("abc", ""), 0u);
  EXPECT_EQ(cp936::Find("MS", "MSIE"), std::string::npos);
  EXPECT_TRUE(cp936::Contains("Mozilla/4.0 (compatible; MSIE 8.0)", "compatible"));
}

TEST(Cp936Test, PrefixLengthNeverEndsOnALeadByte) {
  EXPECT_EQ(cp936::PrefixLength("abcdef", 4), 4u);
  EXPECT_EQ(cp936::PrefixLength("abc", 4), 3u);
  EXPECT_EQ(cp936::PrefixLength("abc" + kUpdate, 4), 3u) << "the lead byte at 3 goes too";
  EXPECT_EQ(cp936::PrefixLength("ab" + kUpdate, 4), 4u);
  EXPECT_EQ(cp936::PrefixLength(kTrailA + kTrailM, 3), 2u);
  EXPECT_EQ(cp936::PrefixLength("", 4), 0u);
}

TEST(Cp936Test, WholeLengthDropsOnlyALeadByteLeftAlone) {
  EXPECT_EQ(cp936::WholeLength("abc"), 3u);
  EXPECT_EQ(cp936::WholeLength("ab" + kUpdate), 6u);
  EXPECT_EQ(cp936::WholeLength("ab" + kUpdate.substr(0, 3)), 4u) << "d0 has lost its trail";
  // fc is the trail byte of b8 fc, though it could start a character of its own.
  EXPECT_EQ(cp936::WholeLength(kUpdate.substr(0, 2)), 2u);
  EXPECT_EQ(cp936::WholeLength(kTrailA), kTrailA.size());
  EXPECT_EQ(cp936::WholeLength("\xB8"), 0u);
  EXPECT_EQ(cp936::WholeLength(""), 0u);
}

TEST(Cp936Test, AfterLastSkipsTrailBackslashes) {
  EXPECT_EQ(cp936::AfterLast("C:\\Temp\\Vantik.log", '\\'), 8u);
  EXPECT_EQ(cp936::AfterLast("C:\\" + kTrailBackslash + "x", '\\'), 3u);
  EXPECT_EQ(cp936::AfterLast("Vantik.log", '\\'), 0u);
  EXPECT_EQ(cp936::AfterLast("C:\\Temp\\", '\\'), 8u);
}

#ifdef _WIN32
// Windows' own rules in code page 936 agree with the helper on the texts the program compares.
TEST(Cp936Test, AgreesWithWindowsInCodePage936) {
  ASSERT_EQ(GetACP(), 936u);
  const std::string texts[] = {"Tcpip ethernet tolmard KB977377 q123", kUpdate + "kb",
                               kTrailA + "b" + kTrailM + "sie" + kTrailBackslash + "x",
                               "Mozilla/4.0 (compatible; MSIE 8.0; Win32)"};
  for (const std::string& text : texts) {
    std::string windows = text;
    CharUpperBuffA(windows.data(), static_cast<DWORD>(windows.size()));
    EXPECT_EQ(Hex(cp936::ToUpper(text)), Hex(windows)) << Hex(text);
  }
  for (const EqualCase& c : kEqualCases) {
    EXPECT_EQ(lstrcmpiA(c.a.c_str(), c.b.c_str()) == 0, c.equal) << Hex(c.a) << " " << Hex(c.b);
  }
}
#endif

}  // namespace
