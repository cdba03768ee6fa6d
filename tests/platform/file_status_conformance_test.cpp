// The contract of the file status and text-mode reading seams, on the simulated workstation
// natively and on Wine's real file system and C runtime in the Windows build. Under Wine the
// test runs eight hours east of UTC (tests/platform/CMakeLists.txt), so that the conversion to
// local time shows; the simulated workstation's local time is UTC.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_status.h"
#include "platform/text_file.h"
#include "tests/support/test_files.h"
#ifndef _WIN32
#include "platform/sim/workstation.h"
#endif

namespace {

using platform::FileStatus;
using platform::FileTime;
using platform::LocalTime;
using platform::TextFile;

// 2024-02-29 23:30:15 UTC.
constexpr FileTime kLeapDayEvening{0x3F615D80u, 0x01DA6B67u};

std::uint64_t Ticks(const FileTime& time) {
  return (static_cast<std::uint64_t>(time.high) << 32) | time.low;
}

class FileStatusConformance : public ::testing::Test {
 protected:
  std::string Path(std::string_view name) const {
    return files_.TempFolder() + ::testing::UnitTest::GetInstance()->current_test_info()->name() +
           '-' + std::string(name);
  }

  // Everything a file reads as in text mode, `chunk` bytes per read, with the count of reads.
  static std::string ReadText(const std::string& path, std::uint32_t chunk, int* reads = nullptr) {
    TextFile file;
    EXPECT_TRUE(file.Open(path.c_str())) << path;
    std::string text;
    std::vector<char> buffer(chunk);
    int count = 0;
    for (;;) {
      const std::uint32_t read = file.Read(buffer.data(), chunk);
      ++count;
      // Never past the buffer, whatever a faulty read says it read.
      text.append(buffer.data(), std::min(read, chunk));
      if (read < chunk || count > 100000) break;
    }
    if (reads != nullptr) *reads = count;
    return text;
  }

  TestFiles files_;  // on the simulated backend, it holds the workstation
};

TEST_F(FileStatusConformance, StatusGivesSizeWriteTimeAndTheArchiveBit) {
  const std::string path = Path("hosts");
  files_.Write(path, std::string(734, 'h'));
  files_.SetWriteTime(path, kLeapDayEvening);
  FileStatus status;
  ASSERT_TRUE(platform::GetFileStatus(path.c_str(), &status));
  EXPECT_EQ(status.size, 734u);
  EXPECT_EQ(Ticks(status.lastWrite), Ticks(kLeapDayEvening)) << "in UTC";
  EXPECT_EQ(status.attributes & platform::kAttributeArchive, platform::kAttributeArchive);
  EXPECT_EQ(status.attributes & (platform::kAttributeReadOnly | platform::kAttributeHidden |
                                 platform::kAttributeSystem),
            0u);
}

TEST_F(FileStatusConformance, MissingFileOrOverlongPathHasNoStatus) {
  FileStatus status;
  status.size = 12345;
  EXPECT_FALSE(platform::GetFileStatus(Path("missing").c_str(), &status));
  const std::string overlong = files_.TempFolder() + std::string(260, 'a');
  EXPECT_FALSE(platform::GetFileStatus(overlong.c_str(), &status));
  EXPECT_EQ(status.size, 12345u) << "untouched";
}

TEST_F(FileStatusConformance, LocalTimeIsTheSystemsOwnConversion) {
  const FileTime local = files_.LocalFromUtc(kLeapDayEvening);
  LocalTime parts;
  ASSERT_TRUE(platform::ToLocalTime(kLeapDayEvening, &parts));
  // The parts of the local FILETIME, counted from 2024-02-29 00:00:00 (a whole day's ticks).
  constexpr std::uint64_t kLeapDay = 0x01DA6AA2ull << 32 | 0x3CE90000ull;
  const std::uint64_t seconds = (Ticks(local) - kLeapDay) / 10000000;
  const int days = static_cast<int>(seconds / 86400);
  EXPECT_EQ(parts.year, 2024);
  EXPECT_EQ(parts.month, days == 0 ? 2 : 3);
  EXPECT_EQ(parts.day, days == 0 ? 29 : days);
  EXPECT_EQ(parts.hour, static_cast<int>(seconds / 3600 % 24));
  EXPECT_EQ(parts.minute, 30);
  EXPECT_EQ(parts.second, 15);
#ifdef _WIN32
  EXPECT_EQ(Ticks(local) - Ticks(kLeapDayEvening), 8ull * 3600 * 10000000) << "TZ=CST-8";
  EXPECT_EQ(parts.day, 1);
  EXPECT_EQ(parts.hour, 7);
#else
  EXPECT_EQ(parts.hour, 23) << "local time is UTC";
#endif
}

TEST_F(FileStatusConformance, TextModeTranslatesLineEndsAndStopsAtCtrlZ) {
  const struct {
    const char* name;
    std::string bytes;
    std::string text;
  } cases[] = {
      {"lf", "a\nb\n", "a\nb\n"},
      {"crlf", "a\r\nb\r\n", "a\nb\n"},
      {"lone-cr", "a\rb\r", "a\rb\r"},
      {"cr-cr-lf", "a\r\r\nb", "a\r\nb"},
      {"zero-bytes", std::string("a\0b\r\n\0", 6), std::string("a\0b\n\0", 5)},
      {"ctrl-z",
       "a\r\nb\x1A"
       "c\r\nd",
       "a\nb"},
      {"cr-then-ctrl-z", "a\r\x1A\n", "a\r"},
      {"empty", "", ""},
      {"gbk", "\xB0\xE6\xB1\xBE\r\n", "\xB0\xE6\xB1\xBE\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = Path(c.name);
    files_.Write(path, c.bytes);
    EXPECT_EQ(ReadText(path, 259), c.text);
    EXPECT_EQ(ReadText(path, 1), c.text);
  }
}

// A CR LF pair split by the end of any buffer, the reader's or the library's, still comes out
// as LF alone.
TEST_F(FileStatusConformance, PairsAcrossBufferEdgesStayPairs) {
  for (const std::size_t at : {258u, 259u, 511u, 512u, 4095u, 4096u, 8191u}) {
    SCOPED_TRACE(at);
    std::string bytes(at, 'x');
    bytes += "\r\n";
    bytes += std::string(300, 'y');
    const std::string path = Path(std::to_string(at));
    files_.Write(path, bytes);
    EXPECT_EQ(ReadText(path, 259), std::string(at, 'x') + '\n' + std::string(300, 'y'));
  }
}

TEST_F(FileStatusConformance, ExactMultipleOfTheChunkNeedsAnEmptyLastRead) {
  const std::string path = Path("518");
  files_.Write(path, std::string(518, 'x'));
  int reads = 0;
  EXPECT_EQ(ReadText(path, 259, &reads), std::string(518, 'x'));
  EXPECT_EQ(reads, 3);
}

TEST_F(FileStatusConformance, MissingFileDoesNotOpen) {
  TextFile file;
  EXPECT_FALSE(file.Open(Path("missing").c_str()));
  EXPECT_FALSE(file.IsOpen());
  char buffer[4];
  EXPECT_EQ(file.Read(buffer, sizeof(buffer)), 0u);
}

#ifndef _WIN32
// What the test support cannot seed on Wine: creation and access times and the other attribute
// bits, set on the simulated workstation and given back as set.
TEST_F(FileStatusConformance, SimTimesAndAttributesAsSet) {
  const std::string path = Path("seeded");
  platform::sim::Workstation::Current().files().AddFile(path, "x", kLeapDayEvening);
  platform::sim::Workstation::Current()
      .files()
      .SetTimes(path, FileTime{1, 0}, FileTime{2, 0})
      .SetAttributes(path, 0x27);
  FileStatus status;
  ASSERT_TRUE(platform::GetFileStatus(path.c_str(), &status));
  EXPECT_EQ(Ticks(status.creation), 1u);
  EXPECT_EQ(Ticks(status.lastAccess), 2u);
  EXPECT_EQ(status.attributes, 0x27u);
}
#endif

}  // namespace
