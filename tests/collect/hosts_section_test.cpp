// The hosts file section on the simulated workstation, byte for byte. The simulated
// workstation's local time is UTC.
#include "collect/hosts_section.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "platform/sim/workstation.h"
#include "tests/support/hex.h"

namespace {

using namespace collect;

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

std::string Render() { return RenderHostsSection(GatherHostsSection()); }

// The status of a hosts file with the three times above, as the section gathers them.
HostsStatus Status(std::uint64_t size, std::uint32_t attributes) {
  return HostsStatus{size, platform::LocalTime{2009, 7, 14, 4, 34, 44},
                     platform::LocalTime{2011, 3, 5, 10, 6, 0},
                     platform::LocalTime{2024, 2, 29, 23, 30, 15}, attributes};
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
    EXPECT_EQ(FormatHostsStatus(kHosts, Status(34, c.attributes)), StatusLines(34, c.words))
        << c.attributes;
  }
}

TEST(HostsStatus, TimesTheFileSystemDoesNotHoldShowTheLastWrite) {
  Workstation ws;
  ws.files().AddFile(kHosts, "x", kWritten).SetTimes(kHosts, FileTime{}, FileTime{});
  const HostsSection section = GatherHostsSection();
  ASSERT_TRUE(section.status);
  EXPECT_EQ(FormatHostsStatus("h", *section.status),
            "h\r\n大小：1字节\r\n创建：2011年03月05日   10:06:00\r\n"
            "修改：2011年03月05日   10:06:00\r\n访问：2011年03月05日   10:06:00\r\n属性：存档 ");
}

// A time before 1970 has no place in the report's time stamps, and one without a local form
// none at all: either line is left out whole.
TEST(HostsStatus, TimeWithoutALocalFormLeavesItsLineOut) {
  Workstation ws;
  ws.files()
      .AddFile(kHosts, "x", kWritten)
      .SetTimes(kHosts, FileTime{1, 0} /* 1601 */, FileTime{0xFFFFFFFFu, 0xFFFFFFFFu});
  const HostsSection section = GatherHostsSection();
  ASSERT_TRUE(section.status);
  EXPECT_FALSE(section.status->accessed) << "no SYSTEMTIME form";
  EXPECT_EQ(FormatHostsStatus("h", *section.status),
            "h\r\n大小：1字节\r\n修改：2011年03月05日   10:06:00\r\n属性：存档 ");
}

TEST(HostsStatus, SizeShowsItsLow32BitsSigned) {
  for (const auto& [size, text] : {std::pair<std::uint64_t, const char*>{0, "0"},
                                   {0x7FFFFFFFu, "2147483647"},
                                   {0x80000000u, "-2147483648"},
                                   {0x100000005ull, "5"}}) {
    const std::string line = FormatHostsStatus("h", Status(size, 0)).substr(3);
    EXPECT_EQ(line.substr(0, line.find("\r\n")), std::string("大小：") + text + "字节") << size;
  }
}

// The record alone decides the text: a status and no content (a file that could not be opened),
// a content and no status, and the content's LF made CR LF after the separator.
TEST(HostsSectionRendered, FromARecord) {
  EXPECT_EQ(RenderHostsSection(HostsSection{kHosts, Status(3, 0x01), std::nullopt}),
            StatusLines(3, "只读 "));
  EXPECT_EQ(RenderHostsSection(HostsSection{kHosts, std::nullopt, std::string("a\nb\0c", 5)}),
            kSeparator + std::string("a\r\nb\0c", 6));
  EXPECT_EQ(RenderHostsSection(HostsSection{}), "");
}

TEST(AppendWithCrLf, EveryLfBecomesCrLf) {
  std::string out = "x";
  AppendWithCrLf(out, "\n\na\r\n", 5);
  EXPECT_EQ(out, "x\r\n\r\na\r\r\n");
}

}  // namespace
