// The contract of code page conversion, natively on the C library's conversions and under Wine
// on Windows' own (with the zh_CN.UTF-8 locale, ANSI code page 936). The bytes are written in
// hex: the sources' narrow literals are code page 936 themselves.
#include "platform/code_page.h"

#include <gtest/gtest.h>

#include <string>

#ifndef _WIN32
#include "platform/sim/workstation.h"
#endif
#include "tests/support/hex.h"

namespace {

const std::string kVersionGbk = "\xb0\xe6\xb1\xbe\xa3\xba";               // 版本：
const std::string kVersionUtf8 = "\xe7\x89\x88\xe6\x9c\xac\xef\xbc\x9a";  // 版本：

class CodePageConformance : public ::testing::Test {
#ifndef _WIN32
 protected:
  platform::sim::Workstation workstation_;
#endif
};

TEST_F(CodePageConformance, ChineseTextGoesThroughUtf16BothWays) {
  EXPECT_EQ(platform::ToUtf16(kVersionGbk, platform::kCodePageGbk), u"版本：");
  EXPECT_EQ(Hex(platform::ToUtf8(kVersionGbk, platform::kCodePageGbk)), Hex(kVersionUtf8));
  EXPECT_EQ(Hex(platform::FromUtf16(u"版本：", platform::kCodePageGbk)), Hex(kVersionGbk));
  EXPECT_EQ(platform::ToUtf16(kVersionUtf8, platform::kCodePageUtf8), u"版本：");
  // ASCII is ASCII in all of them.
  EXPECT_EQ(platform::ToUtf8("C:\\a b.zip", platform::kCodePageGbk), "C:\\a b.zip");
}

// An English console's code page has no Chinese: each character becomes one '?', never the
// bytes of another code page. (Windows writes a look-alike where it knows one, such as ':' for
// the full-width colon; the simulation knows none, so no such character is used here.)
TEST_F(CodePageConformance, CharacterTheCodePageLacksBecomesAQuestionMark) {
  EXPECT_EQ(platform::FromUtf16(u"版本 v1", 437), "?? v1");
  EXPECT_EQ(platform::FromUtf16(u"é", 437), "\x82");  // one it has
}

TEST_F(CodePageConformance, EmptyTextAndUnknownCodePageGiveNothing) {
  EXPECT_EQ(platform::ToUtf16("", platform::kCodePageGbk), u"");
  EXPECT_EQ(platform::FromUtf16(u"", platform::kCodePageGbk), "");
  EXPECT_EQ(platform::ToUtf16("abc", 12345), u"");
  EXPECT_EQ(platform::FromUtf16(u"abc", 12345), "");
}

// The tests' locale under Wine, and the simulated workstation, are Chinese.
TEST_F(CodePageConformance, AnsiCodePageIs936) { EXPECT_EQ(platform::AnsiCodePage(), 936u); }

}  // namespace
