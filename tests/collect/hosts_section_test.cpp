// The hosts file section on the simulated workstation, byte for byte. The simulated
// workstation's local time is UTC.
#include "collect/hosts_section.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "collect/section_renderers.h"
#include "platform/sim/workstation.h"
#include "tests/support/hex.h"

namespace {

using platform::FileStatus;
using platform::FileTime;
using platform::sim::Workstation;

constexpr char kHosts[] = "C:\\WINDOWS\\system32\\drivers\\etc\\hosts";
const std::string kSeparator = "\r\n++++++++++++++++++++++++++++++++++++++++++\r\n";

// 2009-07-14 04:34:44 UTC, 2011-03-05 10:06:00 UTC, 2024-02-29 23:30:15 UTC.
constexpr FileTime kCreated{0x69058A00u, 0x01CA043Cu};
constexpr FileTime kWritten{0xED7AB400u, 0x01CBDB1Cu};
constexpr FileTime kRead{0x3F615D80u, 0x01DA6B67u};

// The status lines of a hosts file with the three times above.
std::string StatusLines(std::int64_t size, const std::string& attributes) {
  return std::string(kHosts) + "\r\n大小：" + std::to_string(size) +
         "字节\r\n创建：2009年07月14日   04:34:44\r\n修改：2011年03月05日   10:06:00\r\n"
         "访问：2024年02月29日   23:30:15\r\n属性：" +
         attributes;
}

void AddHosts(Workstation& ws, const std::string& bytes, std::uint32_t attributes = 0x20) {
  ws.files().AddFile(kHosts, bytes, kWritten);
  ws.files().SetTimes(kHosts, kCreated, kRead).SetAttributes(kHosts, attributes);
}

std::string Render() {
  std::string hosts = "left from before";
  RenderHostsSection(hosts);
  return hosts;
}

TEST(HostsSection, StatusSeparatorAndContent) {
  Workstation ws;
  AddHosts(ws, "127.0.0.1 localhost\n::1 localhost\n");
  EXPECT_EQ(Render(),
            StatusLines(34, "存档 ") + kSeparator + "127.0.0.1 localhost\r\n::1 localhost\r\n");
}

TEST(HostsSection, StatusLinesAreCodePage936) {
  Workstation ws;
  AddHosts(ws, std::string(734, 'h'));
  const std::string text = Render();
  const std::size_t size = text.find("\r\n") + 2;
  // "大小：734字节", then "创建：2009年07月14日   04:34:44".
  EXPECT_EQ(Hex(text.substr(size, 15)), "b4f3d0a1a3ba" + Hex("734") + "d7d6bdda" + Hex("\r\n"));
  EXPECT_EQ(Hex(text.substr(size + 15, 33)), "b4b4bda8a3ba" + Hex("2009") + "c4ea" + Hex("07") +
                                                 "d4c2" + Hex("14") + "c8d5" +
                                                 Hex("   04:34:44\r\n"));
  // "属性：存档 " closed by the separator's line end.
  EXPECT_NE(Hex(text).find("caf4d0d4a3ba"
                           "b4e6b5b520" +
                           Hex(kSeparator)),
            std::string::npos);
}

TEST(HostsSection, ContentReadAsText) {
  const struct {
    const char* name;
    std::string bytes;
    std::string content;
  } cases[] = {
      {"LfLines", "a b\nc d\n", "a b\r\nc d\r\n"},
      {"CrLfLines", "a b\r\nc d\r\n", "a b\r\nc d\r\n"},
      {"LoneCr", "a\rb\r\n", "a\rb\r\n"},
      {"NoFinalLineEnd", "a\nb", "a\r\nb"},
      // The zero cuts the rest of its 259-byte chunk; the next chunk is kept.
      {"ZeroByte", "abc" + std::string(1, '\0') + std::string(255, 'x') + "next\n", "abcnext\r\n"},
      {"ZeroByteEndingAChunk", std::string(258, 'a') + std::string(1, '\0') + "b",
       std::string(258, 'a') + "b"},
      {"CtrlZEndsTheContent",
       "a\n\x1A"
       "b\n",
       "a\r\n"},
      {"Exactly259Bytes", std::string(259, 'y'), std::string(259, 'y')},
      {"CrLfShortensTheChunks", std::string(259, 'y') + "\r\n" + std::string(258, 'z'),
       std::string(259, 'y') + "\r\n" + std::string(258, 'z')},
      {"Empty", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Workstation ws;
    AddHosts(ws, c.bytes);
    const std::string text = Render();
    const std::size_t separator = text.find(kSeparator);
    ASSERT_NE(separator, std::string::npos);
    EXPECT_EQ(text.substr(separator + kSeparator.size()), c.content);
  }
}

TEST(HostsSection, MissingFileGivesAnEmptySection) {
  Workstation ws;
  EXPECT_EQ(Render(), "");
}

TEST(HostsSection, FileThatCannotBeOpenedKeepsOnlyItsStatus) {
  Workstation ws;
  AddHosts(ws, "127.0.0.1 localhost\n");
  ws.files().Fail(platform::sim::FileCall::kOpen, 32 /* ERROR_SHARING_VIOLATION */, kHosts);
  EXPECT_EQ(Render(), StatusLines(20, "存档 ")) << "the attribute line has no line end";
  EXPECT_EQ(ws.files().OpenFileCount(), 0);
}

// A path too long for the status is still read: the section starts with the separator.
TEST(HostsSection, PathTooLongForItsStatusStartsWithTheSeparator) {
  Workstation ws;
  const std::string folder = "C:\\" + std::string(239, 's');
  ws.SetSystemFolder(folder);
  const std::string path = folder + "\\drivers\\etc\\hosts";
  ASSERT_EQ(path.size(), 260u);
  ws.files().AddFile(path, "x\n");
  EXPECT_EQ(Render(), kSeparator + "x\r\n");
}

TEST(HostsSection, NoSystemFolderNoSection) {
  Workstation ws;
  AddHosts(ws, "x\n");
  ws.SetSystemFolder(std::nullopt);
  EXPECT_EQ(Render(), "");
}

TEST(HostsStatus, AttributeWordsInTheirFixedOrder) {
  const struct {
    std::uint32_t attributes;
    const char* words;
  } cases[] = {
      {0x00, ""},
      {0x20, "存档 "},
      {0x03, "只读 隐藏 "},
      {0x27, "只读 隐藏 存档 系统文件 "},
      {0x24, "存档 系统文件 "},
      {0x80, ""},  // FILE_ATTRIBUTE_NORMAL is not named
  };
  for (const auto& c : cases) {
    FileStatus status;
    status.creation = kCreated;
    status.lastWrite = kWritten;
    status.lastAccess = kRead;
    status.size = 34;
    status.attributes = c.attributes;
    EXPECT_EQ(FormatHostsStatus(kHosts, status), StatusLines(34, c.words)) << c.attributes;
  }
}

TEST(HostsStatus, TimesTheFileSystemDoesNotHoldShowTheLastWrite) {
  FileStatus status;
  status.lastWrite = kWritten;
  status.size = 1;
  EXPECT_EQ(FormatHostsStatus("h", status),
            "h\r\n大小：1字节\r\n创建：2011年03月05日   10:06:00\r\n"
            "修改：2011年03月05日   10:06:00\r\n访问：2011年03月05日   10:06:00\r\n属性：");
}

// A time before 1970 has no place in the report's time stamps: its line is left out whole.
TEST(HostsStatus, TimeWithoutALocalFormLeavesItsLineOut) {
  FileStatus status;
  status.creation = FileTime{1, 0};  // 1601
  status.lastWrite = kWritten;
  status.lastAccess = FileTime{0xFFFFFFFFu, 0xFFFFFFFFu};  // no SYSTEMTIME form
  status.size = 1;
  EXPECT_EQ(FormatHostsStatus("h", status),
            "h\r\n大小：1字节\r\n修改：2011年03月05日   10:06:00\r\n属性：");
}

TEST(HostsStatus, SizeShowsItsLow32BitsSigned) {
  FileStatus status;
  status.lastWrite = kWritten;
  for (const auto& [size, text] : {std::pair<std::uint64_t, const char*>{0, "0"},
                                   {0x7FFFFFFFu, "2147483647"},
                                   {0x80000000u, "-2147483648"},
                                   {0x100000005ull, "5"}}) {
    status.size = size;
    const std::string line = FormatHostsStatus("h", status).substr(3);
    EXPECT_EQ(line.substr(0, line.find("\r\n")), std::string("大小：") + text + "字节") << size;
  }
}

TEST(AppendWithCrLf, EveryLfBecomesCrLf) {
  std::string out = "x";
  AppendWithCrLf(out, "\n\na\r\n", 5);
  EXPECT_EQ(out, "x\r\n\r\na\r\r\n");
}

}  // namespace
