#include "text/text_table.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace text;

// Sets the process-wide language index for one test and puts the old value back, so a failing
// test cannot leave the English column selected for the tests after it.
class LanguageGuard {
 public:
  explicit LanguageGuard(unsigned char language) : saved_(g_language) { g_language = language; }
  ~LanguageGuard() { g_language = saved_; }
  LanguageGuard(const LanguageGuard&) = delete;
  LanguageGuard& operator=(const LanguageGuard&) = delete;

 private:
  unsigned char saved_;
};

// The test is built with the same execution character set as the table, so expected Chinese bytes
// are written in hex: a literal compared with a literal would pass whatever the encoding.
std::string Hex(const char* text) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (const char* p = text; *p != '\0'; ++p) {
    const unsigned char byte = static_cast<unsigned char>(*p);
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 0x0F];
  }
  return hex;
}

// Code page 936 structure: ASCII bytes stand alone; a lead byte 0x81-0xFE takes a trail byte
// 0x40-0xFE other than 0x7F. Returns false on any other byte sequence.
bool IsGbk(const char* text, int* double_byte_chars) {
  *double_byte_chars = 0;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p != 0; ++p) {
    if (*p < 0x80) continue;
    if (*p == 0x80 || *p == 0xFF) return false;
    const unsigned char trail = p[1];
    if (trail < 0x40 || trail > 0xFE || trail == 0x7F) return false;
    ++*double_byte_chars;
    ++p;
  }
  return true;
}

TEST(TextTableTest, ChineseBytesAreCodePage936) {
  struct Pin {
    int id;
    const char* gbk_hex;
  };
  const Pin kPins[] = {
      {TEXT_VERSION, "b0e6b1bea3ba"},  // 版本：
      {TEXT_YES, "cac7"},              // 是
      // 丢包率, four ASCII blanks, full-width colon.
      {TEXT_LOST_RATE, "b6aab0fcc2ca20202020a3ba"},
      // ASCII comma in the middle, not a full-width one.
      {TEXT_NETWORK_WEAK, "b5b1c7b0cdf8c2e7d6cac1bfbdcfb2ee2cbfc9c4dcd3b0cfeccab9d3c3cce5d1e9"},
      // ASCII colon and blank.
      {TEXT_MEDIA_DISCONNECTED, "c3bdcce53a20d2d1b6cfbfaac1acbdd3"},
      // Full-width parentheses around ASCII BHO.
      {TEXT_BROWSER_HELPER_OBJECTS, "e4afc0c0c6f7b8a8d6fab6d4cff3a3a842484fa3a9a3ba"},
      {TEXT_PROXY_HTTP11, "cda8b9fdb4fac0edc1acbdd3cab9d3c32048545450312e31a3ba"},
      {TEXT_VIRTUAL_ADAPTER_DISABLED,
       "546f767261d0e9c4e2cdf8bfa8d2d1bdfbd3c3a3acc7ebcfc8c6f4d3c3cdf8bfa8212121"},
      {TEXT_FILE_FILTER,
       "d5efb6cfd0c5cfa2cec4bcfe20282a2e6c6f67297c2a2e6c6f677c416c6c2046696c657320282a2e2a29"
       "7c2a2e2a7c7c"},
      // The export's closing messages: ASCII exclamation marks, full-width comma and colon.
      {TEXT_EXPORT_FAILED, "b5bcb3f6caa7b0dc21"},  // 导出失败!
      {TEXT_ARCHIVE_DISK_FULL, "d1b9cbf5cec4bcfed0b4c8ebcaa7b0dca3acb4c5c5ccbfd5bce4b2bbd7e321"},
      {TEXT_FILE_NOT_PACKED, "cec4bcfeb4f2b0fccaa7b0dca3ba"},  // 文件打包失败：
      {TEXT_ERROR_CODE, "b4edcef3b4fac2eb"},                   // 错误代码
      {TEXT_COMMAND_NOT_FINISHED,
       "c3fcc1eed4da313230c3ebc4daceb4bde1caf8a3ba"},  // 命令在120秒内未结束：
  };
  const LanguageGuard chinese(0);
  for (const Pin& pin : kPins) {
    SCOPED_TRACE(pin.id);
    EXPECT_EQ(Hex(GetText(pin.id)), pin.gbk_hex);
  }
}

TEST(TextTableTest, LanguageIndexSelectsColumn) {
  // Nothing in the program sets the index, so reports must come out in Chinese.
  EXPECT_EQ(g_language, 0);
  EXPECT_EQ(Hex(GetText(TEXT_VERSION)), "b0e6b1bea3ba");
  {
    const LanguageGuard english(1);
    EXPECT_STREQ(GetText(TEXT_VERSION), " Version:");
    for (int id = 0; id < kTextCount; ++id) EXPECT_EQ(GetText(id), g_textTable[id].english) << id;
  }
  EXPECT_EQ(g_language, 0);
  for (int id = 0; id < kTextCount; ++id) EXPECT_EQ(GetText(id), g_textTable[id].chinese) << id;
}

TEST(TextTableTest, EnglishKeepsStoredWording) {
  struct Expected {
    int id;
    const char* english;
  };
  // The report's bytes are checked, so the misspellings and odd spacing must survive.
  const Expected kExpected[] = {
      {TEXT_VERSION, " Version:"},
      {TEXT_PC_INFORMATION, "PC Infomation"},
      {TEXT_NETWORK_DIAGNOSIS, "Network Diagnoses"},
      {TEXT_DOMAIN_OR_IP, "Domain(or IP ):"},
      {TEXT_INFO_IE_BROWSER, "IE Brower Info"},
      {TEXT_GATEWAY, "Getway"},
      {TEXT_OPERATING_SYSTEM, "Operation System:"},
      {TEXT_PHYSICAL_MEMORY, "Pysic Memory:"},
      {TEXT_IE_BROWSER_INFO, "IE Broer Info:"},
      {TEXT_AUTO_CONFIG_SCRIPT, "automatic configuration script:"},
      {TEXT_BROWSER_HELPER_OBJECTS, "Brower Help Object:"},
      {TEXT_PORT_FORWARD, "Portforward:"},
      {TEXT_SERVICE_NOT_INSTALLED, "QuorvService haven't been installed!"},
      {TEXT_SERVICE_RUNNING, "QuorvService have been installed,and been working!"},
      {TEXT_VIRTUAL_ADAPTER_DISABLED,
       "Tovra Virtual Adapter have been disabled, Please enable it!!!"},
      {TEXT_VIRTUAL_ADAPTER_NOT_INSTALLED, "Tovra Virtual Adapter haven't been installed!"},
      {TEXT_VIRTUAL_ADAPTER_DRIVER, "Virtual Adapter Drive"},
      {TEXT_FILE_FILTER, "Diagnose Info File (*.log)|*.log|All Files (*.*)|*.*||"},
      {TEXT_FILE_NOT_PACKED, "Fail to pack the file: "},  // the file's name follows
      {TEXT_ARCHIVE_FOLDER_NOT_FOUND,
       "Fail to write the archive, the folder does not exist or cannot be reached!"},
  };
  const LanguageGuard english(1);
  for (const Expected& expected : kExpected) {
    EXPECT_STREQ(GetText(expected.id), expected.english) << expected.id;
  }
}

TEST(TextTableTest, EveryEntrySitsAtItsIdAndIsWellFormed) {
  for (int position = 0; position < kTextCount; ++position) {
    SCOPED_TRACE(position);
    const TextEntry& entry = g_textTable[position];
    EXPECT_EQ(entry.id, position);
    ASSERT_NE(entry.chinese, nullptr);
    ASSERT_NE(entry.english, nullptr);

    EXPECT_NE(entry.english[0], '\0');
    for (const char* p = entry.english; *p != '\0'; ++p) {
      const unsigned char byte = static_cast<unsigned char>(*p);
      EXPECT_TRUE(byte >= 0x20 && byte <= 0x7E) << "byte 0x" << std::hex << int{byte};
    }

    // Every Chinese text holds at least one Chinese character; none is an English copy.
    int double_byte_chars = 0;
    EXPECT_TRUE(IsGbk(entry.chinese, &double_byte_chars)) << Hex(entry.chinese);
    EXPECT_GT(double_byte_chars, 0) << Hex(entry.chinese);
  }
}

}  // namespace
