// The contract of the files, shell and Windows version seams. The same cases run on the
// simulated workstation natively and on Wine's real file system and cmd.exe in the Windows
// build, with the same expectations; what Wine cannot produce (injected faults, Save As
// answers, a failing version query) is at the end, built for the simulated backend only.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "platform/folders.h"
#include "platform/shell.h"
#include "platform/system_info.h"
#include "platform/win32_codes.h"
#include "tests/support/test_files.h"

namespace {

using platform::File;
using platform::FileTime;

constexpr std::uint32_t kBlock = 4096;

// "中文 目录" in code page 936.
constexpr std::string_view kChineseName = "\xD6\xD0\xCE\xC4 \xC4\xBF\xC2\xBC";

class FilesConformance : public ::testing::Test {
 protected:
  // A path in the temporary folder, named after the test so that no two tests meet.
  std::string Path(std::string_view name) const { return PathForTest(files_, name); }

  // Reads a whole file through the seam in blocks of kBlock bytes, noting each count read.
  std::string ReadAll(const std::string& path, std::vector<std::uint32_t>* counts = nullptr) {
    File file;
    EXPECT_EQ(file.OpenForReading(path.c_str()), ERROR_SUCCESS) << path;
    std::string bytes;
    std::vector<char> block(kBlock);
    for (int i = 0; i < 100; ++i) {
      std::uint32_t read = 12345;
      const long result = file.Read(block.data(), kBlock, &read);
      EXPECT_EQ(result, ERROR_SUCCESS);
      if (result != ERROR_SUCCESS) break;
      if (counts != nullptr) counts->push_back(read);
      bytes.append(block.data(), read);
      if (read == 0) break;
    }
    EXPECT_EQ(file.Close(), ERROR_SUCCESS);
    return bytes;
  }

  TestFiles files_;
};

std::string Pattern(std::size_t length) {
  std::string bytes;
  for (std::size_t i = 0; i < length; ++i) bytes += static_cast<char>((i * 7) & 0xFF);
  return bytes;
}

TEST_F(FilesConformance, WrittenBytesReadBackUnchangedInBlocks) {
  const struct {
    const char* name;
    std::string bytes;
    std::vector<std::uint32_t> reads;  // the counts of the successive 4096-byte reads
  } cases[] = {
      {"empty", "", {0}},
      {"binary", std::string("\x00\xFF\r\n\x1A\x7F", 6), {6, 0}},
      {"gbk", "\xB0\xE6\xB1\xBE\xA3\xBA\r\n", {8, 0}},  // "版本：" and a line break
      {"one-block", Pattern(kBlock), {kBlock, 0}},
      {"two-blocks", Pattern(2 * kBlock), {kBlock, kBlock, 0}},
      {"block-and-one", Pattern(kBlock + 1), {kBlock, 1, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = Path(c.name);
    File file;
    ASSERT_EQ(file.CreateForWriting(path.c_str()), ERROR_SUCCESS);
    EXPECT_TRUE(file.IsOpen());
    // Written in two pieces, the second possibly empty.
    const std::size_t half = c.bytes.size() / 2;
    EXPECT_EQ(file.Write(c.bytes.data(), static_cast<std::uint32_t>(half)), ERROR_SUCCESS);
    EXPECT_EQ(file.Write(c.bytes.data() + half, static_cast<std::uint32_t>(c.bytes.size() - half)),
              ERROR_SUCCESS);
    EXPECT_EQ(file.Close(), ERROR_SUCCESS);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(files_.Contents(path), c.bytes);

    std::vector<std::uint32_t> reads;
    EXPECT_EQ(ReadAll(path, &reads), c.bytes);
    EXPECT_EQ(reads, c.reads);
  }
}

TEST_F(FilesConformance, CreatingReplacesAndEmptiesAFile) {
  const std::string path = Path("replaced.log");
  files_.Write(path, "the earlier, longer contents");
  {
    File file;
    ASSERT_EQ(file.CreateForWriting(path.c_str()), ERROR_SUCCESS);
    EXPECT_EQ(file.Close(), ERROR_SUCCESS);
  }
  EXPECT_EQ(files_.Contents(path), "");
  {
    File file;
    ASSERT_EQ(file.CreateForWriting(path.c_str()), ERROR_SUCCESS);
    EXPECT_EQ(file.Write("new", 3), ERROR_SUCCESS);
    // Closed by the destructor.
  }
  EXPECT_EQ(files_.Contents(path), "new");
}

TEST_F(FilesConformance, MissingFilesAreReportedAsNotFound) {
  const std::string missing = Path("missing.log");
  File file;
  EXPECT_EQ(file.OpenForReading(missing.c_str()), ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(file.IsOpen());
  EXPECT_FALSE(platform::FileExists(missing.c_str()));
  EXPECT_EQ(platform::RemoveFile(missing.c_str()), ERROR_FILE_NOT_FOUND);

  FileTime time{1, 1};
  EXPECT_FALSE(platform::GetLocalWriteTime(missing.c_str(), &time));
  EXPECT_EQ(time.low, 0u);
  EXPECT_EQ(time.high, 0u);
}

TEST_F(FilesConformance, ExistenceAndRemoval) {
  const std::string path = Path("present.log");
  files_.Write(path, "x");
  std::string folder = files_.TempFolder();
  const struct {
    std::string path;
    long lookedUp;
  } cases[] = {
      {path, ERROR_SUCCESS},
      {Path("absent.log"), ERROR_FILE_NOT_FOUND},
      {files_.AbsentFolder(Path("no such folder")) + "\\absent.log", ERROR_PATH_NOT_FOUND},
      {folder, ERROR_SUCCESS},
      {folder.substr(0, folder.size() - 1), ERROR_SUCCESS},  // the folder without its backslash
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::LookUpPath(c.path.c_str()), c.lookedUp) << c.path;
    EXPECT_EQ(platform::FileExists(c.path.c_str()), c.lookedUp == ERROR_SUCCESS) << c.path;
  }

  EXPECT_EQ(platform::RemoveFile(path.c_str()), ERROR_SUCCESS);
  EXPECT_FALSE(platform::FileExists(path.c_str()));
  EXPECT_FALSE(files_.Contents(path));
  EXPECT_EQ(platform::RemoveFile(path.c_str()), ERROR_FILE_NOT_FOUND);
}

// ASCII letters match in either case; the bytes of a double-byte character never do, even
// where a trail byte looks like a letter or a backslash.
TEST_F(FilesConformance, NamesIgnoreAsciiCaseOnly) {
  const struct {
    const char* written;
    const char* opened;
    const char* contents;
  } cases[] = {
      {"Mixed.Log", "MIXED.LOG", "ascii"},
      {"\x81\x61.log", "\x81\x61.LOG", "trail a"},  // 乤: trail byte 'a'
      {"\x81\x41.log", "\x81\x41.log", "trail A"},  // 丄: trail byte 'A', another character
      {"\x81\x5C.log", "\x81\x5C.log", "trail backslash"},  // 乗
  };
  for (const auto& c : cases) files_.Write(Path(c.written), c.contents);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.written);
    EXPECT_EQ(ReadAll(Path(c.opened)), c.contents);
    EXPECT_TRUE(platform::FileExists(Path(c.opened).c_str()));
  }
}

TEST_F(FilesConformance, PathsWithSpacesAndChineseWork) {
  for (const std::string& name : {std::string("with space.log"), std::string(kChineseName)}) {
    SCOPED_TRACE(name);
    const std::string path = Path(name);
    File file;
    ASSERT_EQ(file.CreateForWriting(path.c_str()), ERROR_SUCCESS);
    EXPECT_EQ(file.Write(name.data(), static_cast<std::uint32_t>(name.size())), ERROR_SUCCESS);
    EXPECT_EQ(file.Close(), ERROR_SUCCESS);
    EXPECT_EQ(files_.Contents(path), name);
    EXPECT_EQ(ReadAll(path), name);
    EXPECT_TRUE(platform::FileExists(path.c_str()));
    FileTime time;
    EXPECT_TRUE(platform::GetLocalWriteTime(path.c_str(), &time));
    EXPECT_NE(time.high, 0u);
    EXPECT_EQ(platform::RemoveFile(path.c_str()), ERROR_SUCCESS);
    EXPECT_FALSE(files_.Contents(path));
  }
}

TEST_F(FilesConformance, TempFolderEndsWithABackslashAndNeedsRoomForItsZero) {
  char folder[300];
  std::memset(folder, '#', sizeof(folder));
  const std::uint32_t length = platform::GetTempFolder(folder, sizeof(folder));
  ASSERT_GT(length, 0u);
  ASSERT_LT(length, sizeof(folder));
  EXPECT_EQ(std::strlen(folder), length);
  EXPECT_EQ(folder[length - 1], '\\');
  EXPECT_EQ(folder, files_.TempFolder());

  for (const std::uint32_t size : {0u, 1u, length - 1, length}) {
    SCOPED_TRACE(size);
    char small[300];
    std::memset(small, '#', sizeof(small));
    EXPECT_EQ(platform::GetTempFolder(small, size), length + 1);
    EXPECT_EQ(std::string(small, sizeof(small)), std::string(sizeof(small), '#'));
  }
  char exact[300];
  EXPECT_EQ(platform::GetTempFolder(exact, length + 1), length);
  EXPECT_STREQ(exact, folder);
}

TEST_F(FilesConformance, ReadingAndWritingNeedTheModeOpenedFor) {
  const std::string path = Path("mode.log");
  files_.Write(path, "abc");
  char data[8] = {};
  std::uint32_t read = 99;
  {
    File writer;
    ASSERT_EQ(writer.CreateForWriting(path.c_str()), ERROR_SUCCESS);
    EXPECT_EQ(writer.Read(data, sizeof(data), &read), ERROR_ACCESS_DENIED);
    EXPECT_EQ(read, 0u);
  }
  {
    File reader;
    ASSERT_EQ(reader.OpenForReading(path.c_str()), ERROR_SUCCESS);
    EXPECT_EQ(reader.Write("x", 1), ERROR_ACCESS_DENIED);
  }
  File closed;
  EXPECT_EQ(closed.Write("x", 1), ERROR_INVALID_HANDLE);
  read = 99;
  EXPECT_EQ(closed.Read(data, sizeof(data), &read), ERROR_INVALID_HANDLE);
  EXPECT_EQ(read, 0u);
  EXPECT_EQ(closed.Close(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(files_.Contents(path), "");
}

// The writer shares reading only and the reader shares nothing, so neither lets another
// handle in; removal is refused while either is open.
TEST_F(FilesConformance, OpenFilesShareAsAsked) {
  const std::string path = Path("shared.log");
  {
    File writer;
    ASSERT_EQ(writer.CreateForWriting(path.c_str()), ERROR_SUCCESS);
    File other;
    EXPECT_EQ(other.OpenForReading(path.c_str()), ERROR_SHARING_VIOLATION);
    EXPECT_EQ(other.CreateForWriting(path.c_str()), ERROR_SHARING_VIOLATION);
    EXPECT_FALSE(other.IsOpen());
    EXPECT_EQ(platform::RemoveFile(path.c_str()), ERROR_SHARING_VIOLATION);
    EXPECT_EQ(writer.Write("kept", 4), ERROR_SUCCESS);
  }
  {
    File reader;
    ASSERT_EQ(reader.OpenForReading(path.c_str()), ERROR_SUCCESS);
    File other;
    EXPECT_EQ(other.OpenForReading(path.c_str()), ERROR_SHARING_VIOLATION);
    EXPECT_EQ(platform::RemoveFile(path.c_str()), ERROR_SHARING_VIOLATION);
  }
  EXPECT_EQ(ReadAll(path), "kept");
  EXPECT_EQ(platform::RemoveFile(path.c_str()), ERROR_SUCCESS);
}

// A read that shares writing stands beside a writer, as the packer reads a file that a command
// left running still writes; an append stands beside such a read, not beside a writer that
// shares no writing, and lands at the end as it is then. No removal meanwhile.
TEST_F(FilesConformance, SharedReadsAndAppendsStandBesideOthers) {
  const std::string path = Path("written.log");
  File writer;
  ASSERT_EQ(writer.CreateForWriting(path.c_str()), ERROR_SUCCESS);
  ASSERT_EQ(writer.Write("so far", 6), ERROR_SUCCESS);
  File reader;
  ASSERT_EQ(reader.OpenSharedForReading(path.c_str()), ERROR_SUCCESS);
  char data[32] = {};
  std::uint32_t read = 0;
  EXPECT_EQ(reader.Read(data, sizeof(data), &read), ERROR_SUCCESS);
  EXPECT_EQ(std::string(data, read), "so far");
  File appender;
  EXPECT_EQ(appender.OpenForAppending(path.c_str()), ERROR_SHARING_VIOLATION);
  EXPECT_EQ(platform::RemoveFile(path.c_str()), ERROR_SHARING_VIOLATION);
  EXPECT_EQ(writer.Close(), ERROR_SUCCESS);

  ASSERT_EQ(appender.OpenForAppending(path.c_str()), ERROR_SUCCESS);
  EXPECT_EQ(appender.Write(", then", 6), ERROR_SUCCESS);
  File another;
  ASSERT_EQ(another.OpenForAppending(path.c_str()), ERROR_SUCCESS);
  EXPECT_EQ(another.Write(" more", 5), ERROR_SUCCESS);
  EXPECT_EQ(appender.Write("!", 1), ERROR_SUCCESS);
  EXPECT_EQ(platform::RemoveFile(path.c_str()), ERROR_SHARING_VIOLATION);
  EXPECT_EQ(another.Close(), ERROR_SUCCESS);
  EXPECT_EQ(appender.Close(), ERROR_SUCCESS);
  EXPECT_EQ(reader.Close(), ERROR_SUCCESS);
  EXPECT_EQ(ReadAll(path), "so far, then more!");

  EXPECT_EQ(appender.OpenForAppending(Path("absent.log").c_str()), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(reader.OpenSharedForReading(Path("absent.log").c_str()), ERROR_FILE_NOT_FOUND);
}

TEST_F(FilesConformance, SeekMovesWhereTheNextWriteAndReadGo) {
  const std::string path = Path("seek.bin");
  File file;
  ASSERT_EQ(file.CreateForWriting(path.c_str()), ERROR_SUCCESS);
  ASSERT_EQ(file.Write("abcdef", 6), ERROR_SUCCESS);
  const struct {
    std::int64_t offset;
    platform::SeekOrigin from;
    long result;
    std::uint64_t position;  // where the file stands afterwards
    const char* write;       // then written there, if not null
  } steps[] = {
      {0, platform::SeekOrigin::kCurrent, ERROR_SUCCESS, 6, nullptr},
      {2, platform::SeekOrigin::kBegin, ERROR_SUCCESS, 2, "XY"},
      {0, platform::SeekOrigin::kCurrent, ERROR_SUCCESS, 4, nullptr},
      {-5, platform::SeekOrigin::kCurrent, ERROR_NEGATIVE_SEEK, 4, nullptr},
      {-1, platform::SeekOrigin::kEnd, ERROR_SUCCESS, 5, nullptr},
      {3, platform::SeekOrigin::kEnd, ERROR_SUCCESS, 9, "Z"},  // the gap fills with zeros
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.offset);
    std::uint64_t position = 12345;
    const long result = file.Seek(step.offset, step.from, &position);
    EXPECT_EQ(result, step.result);
    if (result != ERROR_SUCCESS) {
      EXPECT_EQ(position, 12345u) << "untouched on failure";
      ASSERT_EQ(file.Seek(0, platform::SeekOrigin::kCurrent, &position), ERROR_SUCCESS);
    }
    EXPECT_EQ(position, step.position);
    if (step.write != nullptr) {
      EXPECT_EQ(file.Write(step.write, static_cast<std::uint32_t>(std::strlen(step.write))),
                ERROR_SUCCESS);
    }
  }
  EXPECT_EQ(file.Close(), ERROR_SUCCESS);
  EXPECT_EQ(file.Seek(0, platform::SeekOrigin::kBegin, nullptr), ERROR_INVALID_HANDLE);
  const std::string expected("abXYef\0\0\0Z", 10);
  EXPECT_EQ(files_.Contents(path), expected);

  ASSERT_EQ(file.OpenForReading(path.c_str()), ERROR_SUCCESS);
  ASSERT_EQ(file.Seek(4, platform::SeekOrigin::kBegin, nullptr), ERROR_SUCCESS);
  char data[16] = {};
  std::uint32_t read = 0;
  ASSERT_EQ(file.Read(data, sizeof(data), &read), ERROR_SUCCESS);
  EXPECT_EQ(std::string(data, read), expected.substr(4));
}

TEST_F(FilesConformance, MovedFileStaysOpenAndClosesOnce) {
  const std::string written = Path("written.log");
  const std::string other = Path("other.log");
  files_.Write(other, "other");

  File first;
  ASSERT_EQ(first.CreateForWriting(written.c_str()), ERROR_SUCCESS);
  File second = std::move(first);
  EXPECT_FALSE(first.IsOpen());
  ASSERT_TRUE(second.IsOpen());
  EXPECT_EQ(second.Write("moved", 5), ERROR_SUCCESS);

  File third;
  ASSERT_EQ(third.OpenForReading(other.c_str()), ERROR_SUCCESS);
  third = std::move(second);  // closes the reader of `other`
  EXPECT_FALSE(second.IsOpen());
  EXPECT_EQ(ReadAll(other), "other") << "the replaced handle was not closed";
  EXPECT_EQ(third.Write("!", 1), ERROR_SUCCESS);
  EXPECT_EQ(third.Close(), ERROR_SUCCESS);
  EXPECT_EQ(third.Close(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(files_.Contents(written), "moved!");
}

// 2009-07-14 12:34:56 UTC as a FILETIME (100 ns steps since 1601).
constexpr FileTime kJuly2009{0x7E4FD800u, 0x01CA047Fu};

TEST_F(FilesConformance, WriteTimeComesBackAsLocalTime) {
  const std::string path = Path("dated.log");
  files_.Write(path, "x");
  files_.SetWriteTime(path, kJuly2009);
  const FileTime expected = files_.LocalFromUtc(kJuly2009);
  FileTime time;
  ASSERT_TRUE(platform::GetLocalWriteTime(path.c_str(), &time));
  EXPECT_EQ(time.low, expected.low);
  EXPECT_EQ(time.high, expected.high);
}

// More known times, worked out by hand like kJuly2009.
constexpr FileTime kLeapDay2000{0x159DA980u, 0x01BF8311u};   // 2000-02-29 23:59:59
constexpr FileTime kFirstDosTime{0xE1D58000u, 0x01A8E79Fu};  // 1980-01-01 00:00:00
constexpr FileTime kLastDosTime{0x66D29300u, 0x023868B8u};   // 2107-12-31 23:59:58
constexpr FileTime kBeforeDos{0xE13CE980u, 0x01A8E79Fu};     // 1979-12-31 23:59:59

TEST_F(FilesConformance, DosDateAndTimeOfKnownTimes) {
  const struct {
    const char* when;
    FileTime time;
    bool converts;
    std::uint16_t date;   // (year - 1980) << 9 | month << 5 | day
    std::uint16_t clock;  // hour << 11 | minute << 5 | second / 2
  } cases[] = {
      {"2009-07-14", kJuly2009, true, (29 << 9) | (7 << 5) | 14, (12 << 11) | (34 << 5) | 28},
      {"2000-02-29", kLeapDay2000, true, (20 << 9) | (2 << 5) | 29, (23 << 11) | (59 << 5) | 29},
      {"1980-01-01", kFirstDosTime, true, (0 << 9) | (1 << 5) | 1, 0},
      {"2107-12-31", kLastDosTime, true, (127 << 9) | (12 << 5) | 31, (23 << 11) | (59 << 5) | 29},
      {"1979-12-31", kBeforeDos, false, 0x1111, 0x2222},
      {"1601-01-01", {0, 0}, false, 0x1111, 0x2222},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.when);
    std::uint16_t date = 0x1111;
    std::uint16_t clock = 0x2222;
    EXPECT_EQ(platform::ToDosDateTime(c.time, &date, &clock), c.converts);
    EXPECT_EQ(date, c.date);
    EXPECT_EQ(clock, c.clock);
  }
}

TEST_F(FilesConformance, ShellCommandsRunHiddenAndGiveTheirExitCodes) {
  const struct {
    const char* verb;
    const char* parameters;
    std::uint32_t exitCode;
  } cases[] = {
      {"open", " /C exit 7", 7},
      {"runas", " /C exit 7", 7},
      {"open", " /C exit 0", 0},
      {"runas", " /C exit 1", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.verb) + c.parameters);
    std::uint32_t code = 12345;
    EXPECT_GT(platform::RunHiddenAndWait(c.verb, "cmd.exe", c.parameters, nullptr,
                                         platform::kNoTimeLimit, &code),
              32);
    EXPECT_EQ(code, c.exitCode);
  }
}

TEST_F(FilesConformance, ShellRedirectionAppendsToAPathWithSpaces) {
  const std::string seeded = Path("seeded log.txt");
  const std::string fresh = Path("fresh log.txt");
  files_.Write(seeded, "seed\r\n");
  for (const std::string* path : {&seeded, &fresh}) {
    for (const char* word : {"one", "two"}) {
      const std::string parameters = std::string(" /C echo ") + word + ">> \"" + *path + "\"";
      std::uint32_t code = 12345;
      EXPECT_GT(platform::RunHiddenAndWait("open", "cmd.exe", parameters.c_str(), nullptr,
                                           platform::kNoTimeLimit, &code),
                32);
      EXPECT_EQ(code, 0u);
    }
  }
  EXPECT_EQ(files_.Contents(seeded), "seed\r\none\r\ntwo\r\n");
  EXPECT_EQ(files_.Contents(fresh), "one\r\ntwo\r\n");
}

#ifdef _WIN32
// The command starts in the folder given. (The simulated shell runs nothing; it records the
// folder, see FilesSimOnly.)
TEST_F(FilesConformance, ShellCommandStartsInTheGivenFolder) {
  char system[260];
  const std::uint32_t length = platform::GetSystemFolder(system, sizeof(system));
  ASSERT_GT(length, 0u);
  ASSERT_LT(length, sizeof(system));
  std::string temp = files_.TempFolder();
  ASSERT_EQ(temp.back(), '\\');
  temp.pop_back();
  const std::string output = Path("working folder.txt");
  const std::string parameters = " /C cd >> \"" + output + "\"";
  for (const std::string& folder : {std::string(system), temp}) {
    std::uint32_t code = 12345;
    EXPECT_GT(platform::RunHiddenAndWait("open", "cmd.exe", parameters.c_str(), folder.c_str(),
                                         platform::kNoTimeLimit, &code),
              32);
    EXPECT_EQ(code, 0u);
  }
  EXPECT_EQ(files_.Contents(output), std::string(system) + "\r\n" + temp + "\r\n");
}

// The sleeper's path as Wine sees the build folder: drive Z: is the Linux root.
std::string SleeperPath() {
  std::string path = "Z:" VANTIK_COMMAND_SLEEPER;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

// A command that outlives the wait is left to run: no exit code comes back, and it finishes by
// itself later. Meanwhile the file it holds as a shell's ">>" does can be read and appended to
// beside it, as the export does with its log. (Windows then refuses to remove the file; Wine
// removes it: that case is the simulated backend's alone.)
TEST_F(FilesConformance, CommandOutlivingItsWaitIsLeftToFinish) {
  const std::string output = Path("slow output.txt");
  const std::string parameters = "4000 \"" + output + "\"";
  std::uint32_t code = 12345;
  bool finished = true;
  EXPECT_GT(platform::RunHiddenAndWait("open", SleeperPath().c_str(), parameters.c_str(), nullptr,
                                       1000, &code, &finished),
            32);
  EXPECT_FALSE(finished);
  EXPECT_EQ(code, 0xFFFFFFFFu);
  ASSERT_TRUE(files_.ContentsOnceHolding(output, "started", 30));

  File note;
  ASSERT_EQ(note.OpenForAppending(output.c_str()), ERROR_SUCCESS);
  EXPECT_EQ(note.Write("note\r\n", 6), ERROR_SUCCESS);
  EXPECT_EQ(note.Close(), ERROR_SUCCESS);
  File reader;
  EXPECT_EQ(reader.OpenSharedForReading(output.c_str()), ERROR_SUCCESS);
  EXPECT_EQ(reader.Close(), ERROR_SUCCESS);

  EXPECT_EQ(files_.ContentsOnceHolding(output, "slept", 60), "started\r\nnote\r\nslept\r\n");
}
#endif

// Wine's prefix and the simulated workstation both start as Windows 7 SP1 workstation.
TEST_F(FilesConformance, WindowsVersionByDefault) {
  platform::VersionInfo version;
  ASSERT_TRUE(platform::GetWindowsVersion(&version));
  EXPECT_EQ(version.platformId, 2u);
  EXPECT_EQ(version.major, 6u);
  EXPECT_EQ(version.minor, 1u);
  EXPECT_EQ(version.build, 7601u);
  EXPECT_EQ(version.servicePackMajor, 1u);
  EXPECT_EQ(version.productType, 1u);
  EXPECT_EQ(version.csdLetter, 'e');  // "Service Pack 1"
}

}  // namespace

#ifndef _WIN32
// Cases Wine cannot produce: simulated backend only.
#include <optional>

#include "platform/prompt.h"
#include "platform/sim/workstation.h"

namespace {

using platform::sim::FileCall;
using platform::sim::Workstation;

class FilesSimOnly : public FilesConformance {
 protected:
  Workstation& ws() { return Workstation::Current(); }
  platform::sim::Files& sim() { return ws().files(); }
};

TEST_F(FilesSimOnly, WriteFaultLetsTheFirstBytesThroughAsAFullDisk) {
  const struct {
    const char* name;
    int times;
    std::vector<long> results;  // of writing "abcdef" three times
    std::string contents;
  } cases[] = {
      {"always", -1, {ERROR_SUCCESS, ERROR_DISK_FULL, ERROR_DISK_FULL}, "abcdefghij"},
      {"once", 1, {ERROR_SUCCESS, ERROR_DISK_FULL, ERROR_SUCCESS}, "abcdefghijabcdef"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = Path(c.name);
    const std::string spared = Path(std::string(c.name) + "-spared");
    sim().Fail(FileCall::kWrite, ERROR_DISK_FULL, path, c.times, 10);
    File file;
    File other;
    ASSERT_EQ(file.CreateForWriting(path.c_str()), ERROR_SUCCESS);
    ASSERT_EQ(other.CreateForWriting(spared.c_str()), ERROR_SUCCESS);
    std::vector<long> results;
    std::string pieces[] = {"abcdef", "ghijkl", "abcdef"};
    for (const std::string& piece : pieces) {
      results.push_back(file.Write(piece.data(), 6));
      EXPECT_EQ(other.Write(piece.data(), 6), ERROR_SUCCESS) << "another file is not full";
    }
    EXPECT_EQ(results, c.results);
    EXPECT_EQ(file.Close(), ERROR_SUCCESS);
    EXPECT_EQ(other.Close(), ERROR_SUCCESS);
    EXPECT_EQ(sim().Contents(path), c.contents);
    EXPECT_EQ(sim().Contents(spared), "abcdefghijklabcdef");
  }
}

TEST_F(FilesSimOnly, InjectedFaultsFailTheirCallOnTheirPath) {
  const std::string path = Path("target.log");
  const std::string spared = Path("spared.log");
  const struct {
    FileCall call;
    long code;
  } cases[] = {
      {FileCall::kCreate, ERROR_ACCESS_DENIED}, {FileCall::kOpen, ERROR_SHARING_VIOLATION},
      {FileCall::kRead, ERROR_INVALID_HANDLE},  {FileCall::kClose, ERROR_INVALID_HANDLE},
      {FileCall::kRemove, ERROR_ACCESS_DENIED},
  };
  // Runs `call` on `where` and gives its result.
  const auto run = [&](FileCall call, const std::string& where) -> long {
    files_.Write(where, "data");
    File file;
    char data[8];
    std::uint32_t read = 0;
    switch (call) {
      case FileCall::kCreate:
        return file.CreateForWriting(where.c_str());
      case FileCall::kOpen:
        return file.OpenForReading(where.c_str());
      case FileCall::kRead:
        if (const long opened = file.OpenForReading(where.c_str())) return opened;
        return file.Read(data, sizeof(data), &read);
      case FileCall::kClose:
        if (const long opened = file.OpenForReading(where.c_str())) return opened;
        return file.Close();
      case FileCall::kRemove:
        return platform::RemoveFile(where.c_str());
      default:
        return -1;
    }
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.call));
    sim().Fail(c.call, c.code, path, 1);
    EXPECT_EQ(run(c.call, spared), ERROR_SUCCESS);
    EXPECT_EQ(run(c.call, path), c.code);
    EXPECT_EQ(run(c.call, path), ERROR_SUCCESS) << "the fault was for one call";
    EXPECT_EQ(sim().OpenFileCount(), 0) << "a handle left open";
  }
}

// Windows refuses times after 2107; Wine's FileTimeToDosDateTime gives TRUE for 2108-01-01
// with the year wrapped round to 1980 (date 0x0021).
TEST_F(FilesSimOnly, DosDateAfter2107HasNoForm) {
  constexpr FileTime kAfterDos{0x6803C000u, 0x023868B8u};  // 2108-01-01 00:00:00
  std::uint16_t date = 0x1111;
  std::uint16_t clock = 0x2222;
  EXPECT_FALSE(platform::ToDosDateTime(kAfterDos, &date, &clock));
  EXPECT_EQ(date, 0x1111);
  EXPECT_EQ(clock, 0x2222);
}

TEST_F(FilesSimOnly, TempFolderCanFailOrMove) {
  char folder[64];
  std::memset(folder, '#', sizeof(folder));
  sim().Fail(FileCall::kTempFolder, ERROR_ACCESS_DENIED, {}, 1);
  long error = ERROR_SUCCESS;
  EXPECT_EQ(platform::GetTempFolder(folder, sizeof(folder), &error), 0u);
  EXPECT_EQ(error, ERROR_ACCESS_DENIED);
  EXPECT_EQ(folder[0], '#');
  sim().SetTempFolder("D:\\T\\");
  error = ERROR_SUCCESS;
  EXPECT_EQ(platform::GetTempFolder(folder, sizeof(folder), &error), 5u);
  EXPECT_EQ(error, ERROR_SUCCESS) << "untouched when the folder is had";
  EXPECT_STREQ(folder, "D:\\T\\");
}

TEST_F(FilesSimOnly, FilesAreListedInPathOrderWithTheirFirstSpelling) {
  sim().AddFile("C:\\b.log", "b").AddFile("C:\\A.log", "a");
  sim().Append("c:\\a.LOG", "+");
  EXPECT_EQ(sim().Paths(), (std::vector<std::string>{"C:\\A.log", "C:\\b.log"}));
  EXPECT_EQ(sim().Contents("C:\\A.LOG"), "a+");
}

TEST_F(FilesSimOnly, CommandThatDidNotStartKeepsThePresetExitCode) {
  ws().shell().SetHandler([](const platform::sim::ShellCall&, platform::sim::Files&) {
    return platform::sim::ShellOutcome{2, 9};
  });
  std::uint32_t code = 0;
  EXPECT_EQ(platform::RunHiddenAndWait("runas", "C:\\W\\cmd.exe", " /C ipconfig", "C:\\W",
                                       platform::kNoTimeLimit, &code),
            2);
  EXPECT_EQ(code, 0xFFFFFFFFu);

  ws().shell().SetHandler(nullptr);
  EXPECT_GT(platform::RunHiddenAndWait("open", "cmd.exe", " /C ipconfig", nullptr,
                                       platform::kNoTimeLimit, &code),
            32);
  EXPECT_EQ(code, 0u);
  const auto calls = ws().shell().Calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].verb, "runas");
  EXPECT_EQ(calls[0].file, "C:\\W\\cmd.exe");
  EXPECT_EQ(calls[0].parameters, " /C ipconfig");
  EXPECT_EQ(calls[0].directory, "C:\\W");
  EXPECT_EQ(calls[1].directory, "") << "none given";
}

// The simulated clock goes on by the time a command runs, or by the whole wait for one that runs
// longer, which is then still running and gives no exit code.
TEST_F(FilesSimOnly, CommandTakesItsTimeOrTheWholeWait) {
  const struct {
    std::uint32_t runs;
    std::uint32_t wait;
    bool finished;
    std::uint32_t code;
    std::uint64_t waited;
  } cases[] = {
      {0, 100, true, 7, 0},
      {100, 100, true, 7, 100},
      {101, 100, false, 0xFFFFFFFFu, 100},
      {platform::sim::kRunsForever, 120000, false, 0xFFFFFFFFu, 120000},
      {5000, platform::kNoTimeLimit, true, 7, 5000},
  };
  std::uint64_t before = ws().clock().Milliseconds();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.runs);
    ws().shell().SetHandler([&c](const platform::sim::ShellCall&, platform::sim::Files&) {
      return platform::sim::ShellOutcome{42, 7, c.runs};
    });
    std::uint32_t code = 0;
    bool finished = !c.finished;
    EXPECT_EQ(
        platform::RunHiddenAndWait("open", "cmd.exe", " /C x", nullptr, c.wait, &code, &finished),
        42);
    EXPECT_EQ(finished, c.finished);
    EXPECT_EQ(code, c.code);
    EXPECT_EQ(ws().clock().Milliseconds() - before, c.waited);
    EXPECT_EQ(ws().shell().Calls().back().waitMilliseconds, c.wait);
    before = ws().clock().Milliseconds();
  }
  ws().shell().SetHandler(nullptr);
}

// Waiting without a time limit for a command that never ends would hang the program: the
// simulated workstation stops the test instead.
TEST_F(FilesSimOnly, CommandThatNeverEndsWaitedForWithoutLimitStopsTheTest) {
  ws().shell().SetHandler([](const platform::sim::ShellCall&, platform::sim::Files&) {
    return platform::sim::ShellOutcome{42, 0, platform::sim::kRunsForever};
  });
  std::uint32_t code = 0;
  EXPECT_DEATH((void)platform::RunHiddenAndWait("open", "cmd.exe", " /C wmic", nullptr,
                                                platform::kNoTimeLimit, &code),
               "never ends");
}

TEST_F(FilesSimOnly, VersionQueryFallsBackToTheBasicFormThenFails) {
  ws().SetWindowsVersion(platform::VersionInfo{2, 5, 1, 2600, 3, 1, 'e'});
  platform::VersionInfo version;
  ASSERT_TRUE(platform::GetWindowsVersion(&version));
  EXPECT_EQ(version.minor, 1u);
  EXPECT_EQ(version.servicePackMajor, 3u);

  ws().FailVersionQuery(true);
  version = {};
  ASSERT_TRUE(platform::GetWindowsVersion(&version));
  EXPECT_EQ(version.platformId, 2u);
  EXPECT_EQ(version.major, 5u);
  EXPECT_EQ(version.minor, 1u);
  EXPECT_EQ(version.build, 2600u);
  EXPECT_EQ(version.csdLetter, 'e');
  EXPECT_EQ(version.servicePackMajor, 0) << "not in the basic form";
  EXPECT_EQ(version.productType, 0) << "not in the basic form";

  ws().FailVersionQuery(false);
  version.major = 99;
  EXPECT_FALSE(platform::GetWindowsVersion(&version));
  EXPECT_EQ(version.major, 99u) << "untouched on failure";
}

TEST_F(FilesSimOnly, SaveAsAnswersInOrderAndLeavesThePathUnlessConfirmed) {
  using platform::SaveAsAnswer;
  // Longer than the ANSI calls take but within the dialog's buffer: it comes back, for the
  // caller to judge; one that does not fit the buffer is the dialog's own failure.
  const std::string longPath = "C:\\" + std::string(300, 'x') + ".zip";
  const std::string tooLong = "C:\\" + std::string(platform::kSaveAsPathCapacity, 'x');
  ws().AnswerSaveAs("C:\\out\\Vantik.zip");
  ws().AnswerSaveAs(std::nullopt);
  ws().AnswerSaveAs(longPath);
  ws().AnswerSaveAs(tooLong);
  ws().FailSaveAs(0xFFFF);  // CDERR_DIALOGFAILURE
  const struct {
    SaveAsAnswer answer;
    std::string path;
    unsigned long error;
  } expected[] = {
      {SaveAsAnswer::kConfirmed, "C:\\out\\Vantik.zip", 7},
      {SaveAsAnswer::kCancelled, "untouched", 7},
      {SaveAsAnswer::kConfirmed, longPath, 7},
      {SaveAsAnswer::kTooLong, "untouched", 7},
      {SaveAsAnswer::kFailed, "untouched", 0xFFFF},
      {SaveAsAnswer::kCancelled, "untouched", 7},  // no answer left
  };
  for (const auto& e : expected) {
    SCOPED_TRACE(e.path.substr(0, 20));
    std::string path = "untouched";
    unsigned long error = 7;
    EXPECT_EQ(platform::AskSaveAsPath("Vantik.zip", "Zip Files (*.zip)|*.zip||", &path, &error),
              e.answer);
    EXPECT_EQ(path, e.path);
    EXPECT_EQ(error, e.error);
  }
  const auto calls = ws().SaveAsCalls();
  ASSERT_EQ(calls.size(), std::size(expected));
  for (const auto& call : calls) {
    EXPECT_EQ(call.initialName, "Vantik.zip");
    EXPECT_EQ(call.filter, "Zip Files (*.zip)|*.zip||");
  }
}

}  // namespace
#endif
