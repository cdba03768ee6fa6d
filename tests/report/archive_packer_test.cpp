// The archive packer on the simulated workstation. Every archive it writes is read back by
// readers we did not write: python3's zipfile (entries, CRCs, the local headers, the deflate
// stream against zlib's own level 9) and `unzip -t`.
#include "report/archive_packer.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <fstream>
#include <functional>
#include <optional>
#include <ostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "platform/sim/workstation.h"
#include "platform/win32_codes.h"
#include "tests/report/zip_reader.h"
#include "tests/support/hex.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace {

using platform::FileTime;
using platform::sim::FileCall;
using platform::sim::Files;
using platform::sim::Workstation;

constexpr char kTemp[] = "C:\\Users\\tester\\AppData\\Local\\Temp\\";
const std::string kLog = std::string(kTemp) + "Vantik.log";
const std::string kHotfixes = std::string(kTemp) + "WindowsUpdate.log";
const std::string kArchive = "C:\\Users\\tester\\Desktop\\Vantik.zip";

// minizip does not free an entry's directory record when the entry cannot be started: its
// leak, on that path alone, and not one the sanitizer build should fail on.
#if defined(__SANITIZE_ADDRESS__)
using MinizipLeakAllowed = __lsan::ScopedDisabler;
#else
struct MinizipLeakAllowed {};
#endif

// A UTC time as a FILETIME, through the C library rather than the code under test.
FileTime Utc(int year, int month, int day, int hour, int minute, int second) {
  tm fields{};
  fields.tm_year = year - 1900;
  fields.tm_mon = month - 1;
  fields.tm_mday = day;
  fields.tm_hour = hour;
  fields.tm_min = minute;
  fields.tm_sec = second;
  const std::uint64_t ticks =
      (static_cast<std::uint64_t>(timegm(&fields)) + 11644473600ull) * 10000000ull;
  return FileTime{static_cast<std::uint32_t>(ticks), static_cast<std::uint32_t>(ticks >> 32)};
}

// Log-like text: it compresses, so level 9 and the default level give different streams.
std::string Text(std::size_t size) {
  std::string text;
  for (int line = 0; text.size() < size; ++line) {
    text += "Interface " + std::to_string(line % 17) + ": metric " + std::to_string(line * 7) +
            ", state UP\r\n";
  }
  text.resize(size);
  return text;
}

std::string Noise(std::size_t size) {
  std::mt19937 generator(4096);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(generator() & 0xFF);
  return bytes;
}

// Where the central directory starts, from the end record: the end of the last entry.
std::uint32_t CentralDirectoryOffset(const std::string& zip) {
  if (zip.size() < 22) return 0;
  const auto byte = [&zip](std::size_t at) { return static_cast<std::uint8_t>(zip[at]); };
  const std::size_t end = zip.size() - 22;  // no archive comment
  if (byte(end) != 0x50 || byte(end + 1) != 0x4B || byte(end + 2) != 5 || byte(end + 3) != 6) {
    return 0;
  }
  return byte(end + 16) | byte(end + 17) << 8 | byte(end + 18) << 16 |
         static_cast<std::uint32_t>(byte(end + 19)) << 24;
}

// What a test reads back of one entry, beside what it expects.
void ExpectEntry(const Entry& entry, const std::string& name, const std::string& contents,
                 const DateTime& dateTime) {
  EXPECT_EQ(Hex(entry.name), Hex(name));
  EXPECT_EQ(entry.method, 8);  // deflate
  EXPECT_EQ(entry.flags, 2);   // bit 1: the maximum compression option, levels 8 and 9
  EXPECT_TRUE(entry.level9Stream) << name << ": not zlib's level-9 stream";
  EXPECT_TRUE(entry.localHeaderAgrees) << name << ": local header differs from the directory";
  EXPECT_EQ(entry.dateTime, dateTime);
  EXPECT_EQ(entry.size, contents.size());
  EXPECT_TRUE(entry.contents == contents) << name << ": contents differ";
  EXPECT_EQ(entry.extraLength, 0);
  EXPECT_EQ(entry.commentLength, 0);
  // We give 0; minizip itself sets bit 0 when deflate took the data for text.
  EXPECT_EQ(entry.internalAttributes & ~1LL, 0);
  EXPECT_EQ(entry.externalAttributes, 0);
}

// One file of every awkward length: none, around one block, several blocks, more than minizip
// buffers at once, and incompressible bytes.
struct LengthCase {
  const char* name;
  std::string contents;
};

void PrintTo(const LengthCase& c, std::ostream* os) { *os << c.name; }

class PackOneFile : public ::testing::TestWithParam<LengthCase> {};

TEST_P(PackOneFile, EntryHoldsTheWholeFileThenTheFileIsDeleted) {
  Workstation ws;
  const std::string& contents = GetParam().contents;
  ws.files().AddFile(kLog, contents, Utc(2010, 6, 15, 13, 45, 31));

  EXPECT_EQ(PackExportFiles(kArchive, {kLog}), 1);

  const Archive archive = ReadArchive(ws, kArchive);
  ASSERT_TRUE(archive.readable) << archive.error;
  EXPECT_TRUE(archive.unzipOk) << archive.error;
  EXPECT_EQ(archive.commentLength, 0);
  ASSERT_EQ(archive.entries.size(), 1u);
  // DOS times have two-second steps: 31 s is stored as 30.
  ExpectEntry(archive.entries[0], "Vantik.log", contents, {2010, 6, 15, 13, 45, 30});
  EXPECT_FALSE(ws.files().Contents(kLog));
  EXPECT_TRUE(ws.MessageBoxes().empty());
  EXPECT_EQ(ws.files().OpenFileCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Lengths, PackOneFile,
                         ::testing::Values(LengthCase{"Empty", ""}, LengthCase{"OneByte", "x"},
                                           LengthCase{"OneByteShortOfABlock", Text(4095)},
                                           LengthCase{"OneBlock", Text(4096)},
                                           LengthCase{"TwoBlocks", Text(8192)},
                                           LengthCase{"TwoBlocksAndOneByte", Text(8193)},
                                           LengthCase{"Incompressible", Noise(10000)},
                                           LengthCase{"MoreThanMinizipBuffers", Text(300000)}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PackExportFiles, EntriesFollowTheListNamedAfterTheLastBackslash) {
  Workstation ws;
  // 0x81 0x5C is one code page 936 character whose trail byte is a backslash: the name must
  // keep it whole.
  const std::string wide = std::string("\x81\x5C") + "net.log";
  const std::string widePath = std::string(kTemp) + wide;
  const std::string bare = "hosts.txt";  // no backslash: the whole path is the name
  ws.files()
      .AddFile(kHotfixes, Text(5000), Utc(2011, 1, 2, 3, 4, 6))
      .AddFile(kLog, Text(300), Utc(2012, 12, 31, 23, 59, 58))
      .AddFile(widePath, "wide", Utc(1999, 9, 9, 9, 9, 10))
      .AddFile(bare, "", Utc(1980, 1, 1, 0, 0, 0));

  EXPECT_EQ(PackExportFiles(kArchive, {kHotfixes, kLog, widePath, bare}), 1);

  const Archive archive = ReadArchive(ws, kArchive);
  ASSERT_TRUE(archive.readable) << archive.error;
  ASSERT_EQ(archive.entries.size(), 4u);
  ExpectEntry(archive.entries[0], "WindowsUpdate.log", Text(5000), {2011, 1, 2, 3, 4, 6});
  ExpectEntry(archive.entries[1], "Vantik.log", Text(300), {2012, 12, 31, 23, 59, 58});
  ExpectEntry(archive.entries[2], wide, "wide", {1999, 9, 9, 9, 9, 10});
  ExpectEntry(archive.entries[3], bare, "", {1980, 1, 1, 0, 0, 0});
  for (const auto& path : {kHotfixes, kLog, widePath, bare}) {
    EXPECT_FALSE(ws.files().Contents(path)) << path << " is still there";
  }
}

TEST(PackExportFiles, MissingFileIsSkippedSilently) {
  Workstation ws;
  ws.files().AddFile(kLog, "log", Utc(2010, 6, 15, 13, 45, 30));

  EXPECT_EQ(PackExportFiles(kArchive, {kHotfixes, kLog}), 1);

  const Archive archive = ReadArchive(ws, kArchive);
  ASSERT_TRUE(archive.readable) << archive.error;
  ASSERT_EQ(archive.entries.size(), 1u);
  ExpectEntry(archive.entries[0], "Vantik.log", "log", {2010, 6, 15, 13, 45, 30});
  EXPECT_TRUE(ws.MessageBoxes().empty());
}

TEST(PackExportFiles, PathListedTwiceIsPackedOnce) {
  Workstation ws;
  ws.files()
      .AddFile(kHotfixes, "hotfixes", Utc(2010, 6, 15, 13, 45, 30))
      .AddFile(kLog, "log", Utc(2010, 6, 15, 13, 45, 30));

  EXPECT_EQ(PackExportFiles(kArchive, {kHotfixes, kLog, kHotfixes, kLog}), 1);

  const Archive archive = ReadArchive(ws, kArchive);
  ASSERT_TRUE(archive.readable) << archive.error;
  ASSERT_EQ(archive.entries.size(), 2u);
  EXPECT_EQ(archive.entries[0].name, "WindowsUpdate.log");
  EXPECT_EQ(archive.entries[1].name, "Vantik.log");
  EXPECT_FALSE(ws.files().Contents(kHotfixes));
  EXPECT_FALSE(ws.files().Contents(kLog));
}

TEST(PackExportFiles, NothingToPackGivesAnEmptyArchive) {
  Workstation ws;

  EXPECT_EQ(PackExportFiles(kArchive, {kLog}), 1);

  const Archive archive = ReadArchive(ws, kArchive);
  ASSERT_TRUE(archive.readable) << archive.error;
  EXPECT_TRUE(archive.entries.empty());
}

TEST(CZLib, DestructorCompletesAnArchiveLeftOpen) {
  Workstation ws;
  ws.files().AddFile(kLog, Text(5000), Utc(2010, 6, 15, 13, 45, 30));
  {
    CZLib zip;
    ASSERT_TRUE(zip.Open(kArchive.c_str()));
    EXPECT_EQ(zip.AddFile(kLog.c_str()), 1);
    EXPECT_EQ(ws.files().OpenFileCount(), 1);  // the archive
  }
  EXPECT_EQ(ws.files().OpenFileCount(), 0);
  const Archive archive = ReadArchive(ws, kArchive);
  ASSERT_TRUE(archive.readable) << archive.error;
  ASSERT_EQ(archive.entries.size(), 1u);
  ExpectEntry(archive.entries[0], "Vantik.log", Text(5000), {2010, 6, 15, 13, 45, 30});
  EXPECT_TRUE(ws.files().Contents(kLog)) << "AddFile alone deletes nothing";
}

TEST(GetFileLocalWriteTime, FoundFileGivesItsTimeAndMissingOneZero) {
  Workstation ws;
  const FileTime seeded = Utc(2010, 6, 15, 13, 45, 31);
  ws.files().AddFile(kLog, "log", seeded);

  const FileTime found = GetFileLocalWriteTime(kLog.c_str());
  EXPECT_EQ(found.low, seeded.low);
  EXPECT_EQ(found.high, seeded.high);
  const FileTime missing = GetFileLocalWriteTime(kHotfixes.c_str());
  EXPECT_EQ(missing.low, 0u);
  EXPECT_EQ(missing.high, 0u);
}

// The bytes of an archive of `paths` as the packer writes them, from a workstation of its own.
std::string ArchiveOf(const std::vector<std::pair<std::string, std::string>>& files) {
  Workstation scratch;
  std::vector<std::string> paths;
  for (const auto& [path, contents] : files) {
    scratch.files().AddFile(path, contents, Utc(2010, 6, 15, 13, 45, 30));
    paths.push_back(path);
  }
  EXPECT_EQ(PackExportFiles(kArchive, paths), 1);
  return scratch.files().Contents(kArchive).value_or("");
}

// A failure on the second of two files: the archive keeps the first entry and is closed whole,
// so the first file goes; the second stays.
struct SecondFileCase {
  const char* name;
  std::function<void(Files&, std::uint32_t endOfFirstEntry)> fault;
  std::optional<std::string> messageHex;  // the message box, in code page 936
  std::vector<std::string> entries;
  bool minizipLeaks = false;
};

void PrintTo(const SecondFileCase& c, std::ostream* os) { *os << c.name; }

const std::string kFirst = Text(6000);
const std::string kSecond = Text(2000);

class FailureOnSecondFile : public ::testing::TestWithParam<SecondFileCase> {};

TEST_P(FailureOnSecondFile, ArchiveKeepsTheFirstEntryAndOnlyTheFirstFileGoes) {
  const std::uint32_t endOfFirstEntry = CentralDirectoryOffset(ArchiveOf({{kLog, kFirst}}));
  ASSERT_GT(endOfFirstEntry, 0u);
  Workstation ws;
  ws.files()
      .AddFile(kLog, kFirst, Utc(2010, 6, 15, 13, 45, 30))
      .AddFile(kHotfixes, kSecond, Utc(2010, 6, 15, 13, 45, 30));
  GetParam().fault(ws.files(), endOfFirstEntry);

  {
    std::optional<MinizipLeakAllowed> allowLeak;
    if (GetParam().minizipLeaks) allowLeak.emplace();
    EXPECT_EQ(PackExportFiles(kArchive, {kLog, kHotfixes}), 0);
  }

  const Archive archive = ReadArchive(ws, kArchive);
  ASSERT_TRUE(archive.readable) << archive.error;
  EXPECT_TRUE(archive.unzipOk) << archive.error;
  ASSERT_EQ(archive.entries.size(), GetParam().entries.size());
  ExpectEntry(archive.entries[0], "Vantik.log", kFirst, {2010, 6, 15, 13, 45, 30});
  for (std::size_t i = 1; i < archive.entries.size(); ++i) {
    EXPECT_EQ(archive.entries[i].name, GetParam().entries[i]);
  }
  EXPECT_FALSE(ws.files().Contents(kLog));
  EXPECT_EQ(ws.files().Contents(kHotfixes), kSecond);
  const auto boxes = ws.MessageBoxes();
  if (GetParam().messageHex) {
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(Hex(boxes[0]), *GetParam().messageHex);
  } else {
    EXPECT_TRUE(boxes.empty());
  }
  EXPECT_EQ(ws.files().OpenFileCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FailureOnSecondFile,
    ::testing::Values(
        // "创建文件失败! 错误代码 [32]\r\n"
        SecondFileCase{"CannotBeOpened",
                       [](Files& f, std::uint32_t) {
                         f.Fail(FileCall::kOpen, ERROR_SHARING_VIOLATION, kHotfixes);
                       },
                       "b4b4bda8cec4bcfecaa7b0dc2120b4edcef3b4fac2eb205b33325d0d0a",
                       {"Vantik.log"}},
        // The disk refuses the second entry's header once, then takes the directory.
        SecondFileCase{"EntryCannotBeStarted",
                       [](Files& f, std::uint32_t endOfFirstEntry) {
                         f.Fail(FileCall::kWrite, ERROR_DISK_FULL, kArchive, 1, endOfFirstEntry);
                       },
                       std::nullopt,
                       {"Vantik.log"},
                       true},
        // minizip cannot take back an entry it has begun: the second holds what was read
        // before the failure, here nothing. Its file stays, so nothing is lost.
        SecondFileCase{"ReadFails",
                       [](Files& f, std::uint32_t) {
                         f.Fail(FileCall::kRead, ERROR_ACCESS_DENIED, kHotfixes, 1);
                       },
                       std::nullopt,
                       {"Vantik.log", "WindowsUpdate.log"}}),
    [](const auto& info) { return std::string(info.param.name); });

// The archive is not completed: whatever was packed stays in the temporary folder.
struct NoArchiveCase {
  const char* name;
  std::function<void(Files&, std::uint32_t directoryOffset)> fault;
  std::string archivePath;
};

void PrintTo(const NoArchiveCase& c, std::ostream* os) { *os << c.name; }

class ArchiveNotCompleted : public ::testing::TestWithParam<NoArchiveCase> {};

TEST_P(ArchiveNotCompleted, ResultIsZeroAndEveryFileStays) {
  const std::uint32_t directoryOffset =
      CentralDirectoryOffset(ArchiveOf({{kLog, kFirst}, {kHotfixes, kSecond}}));
  ASSERT_GT(directoryOffset, 0u);
  Workstation ws;
  ws.files()
      .AddFile(kLog, kFirst, Utc(2010, 6, 15, 13, 45, 30))
      .AddFile(kHotfixes, kSecond, Utc(2010, 6, 15, 13, 45, 30));
  GetParam().fault(ws.files(), directoryOffset);

  EXPECT_EQ(PackExportFiles(GetParam().archivePath, {kLog, kHotfixes}), 0);

  EXPECT_EQ(ws.files().Contents(kLog), kFirst);
  EXPECT_EQ(ws.files().Contents(kHotfixes), kSecond);
  EXPECT_TRUE(ws.MessageBoxes().empty());
  EXPECT_EQ(ws.files().OpenFileCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ArchiveNotCompleted,
    ::testing::Values(NoArchiveCase{"ArchivePathEmpty", [](Files&, std::uint32_t) {}, ""},
                      NoArchiveCase{"ArchiveCannotBeCreated",
                                    [](Files& f, std::uint32_t) {
                                      f.Fail(FileCall::kCreate, ERROR_ACCESS_DENIED, kArchive);
                                    },
                                    kArchive},
                      // Both entries are out; the disk fills up under the central directory.
                      NoArchiveCase{"DiskFullAtTheDirectory",
                                    [](Files& f, std::uint32_t directoryOffset) {
                                      f.Fail(FileCall::kWrite, ERROR_DISK_FULL, kArchive, -1,
                                             directoryOffset);
                                    },
                                    kArchive},
                      NoArchiveCase{"DiskFullInTheFirstEntry",
                                    [](Files& f, std::uint32_t) {
                                      f.Fail(FileCall::kWrite, ERROR_DISK_FULL, kArchive, -1, 100);
                                    },
                                    kArchive},
                      NoArchiveCase{"ArchiveCloseFails",
                                    [](Files& f, std::uint32_t) {
                                      f.Fail(FileCall::kClose, ERROR_DISK_FULL, kArchive);
                                    },
                                    kArchive}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PackExportFiles, EmptyOrUncreatableArchiveLeavesNoArchive) {
  Workstation ws;
  ws.files().AddFile(kLog, "log", Utc(2010, 6, 15, 13, 45, 30));
  ws.files().Fail(FileCall::kCreate, ERROR_ACCESS_DENIED, kArchive);

  EXPECT_EQ(PackExportFiles("", {kLog}), 0);
  EXPECT_EQ(PackExportFiles(kArchive, {kLog}), 0);

  EXPECT_EQ(ws.files().Paths(), std::vector<std::string>{kLog});
}

}  // namespace
