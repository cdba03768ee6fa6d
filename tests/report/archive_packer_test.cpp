// The archive packer on the simulated workstation. Every archive it writes is read back by
// readers we did not write: python3's zipfile (entries, CRCs, the local headers, the deflate
// stream against zlib's own level 9) and `unzip -t`. Whatever goes wrong, the file at the
// target is either the older one, byte for byte, or a complete new archive.
#include "report/archive_packer.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
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

namespace {

using namespace report;

using platform::FileTime;
using platform::sim::FileCall;
using platform::sim::Files;
using platform::sim::Workstation;

constexpr char kTemp[] = "C:\\Users\\tester\\AppData\\Local\\Temp\\";
const std::string kLog = std::string(kTemp) + "Vantik.log";
const std::string kHotfixes = std::string(kTemp) + "WindowsUpdate.log";
const std::string kArchive = "C:\\Users\\tester\\Desktop\\Vantik.zip";
// Every name the archive is written under before it takes the target's place.
const std::string kBeside = kArchive + "~*";
const std::string kOlderArchive = "PK\x05\x06 an older archive the user keeps";

const ExportFile kLogEntry{kLog, "Vantik.log"};
const ExportFile kHotfixEntry{kHotfixes, "WindowsUpdate.log"};

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

std::vector<std::string> Sorted(std::vector<std::string> paths) {
  std::sort(paths.begin(), paths.end());
  return paths;
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

  PackOutcome outcome;
  EXPECT_EQ(PackExportFiles(kArchive, {kLogEntry}, &outcome), 1);

  const Archive archive = ReadArchive(ws, kArchive);
  ASSERT_TRUE(archive.readable) << archive.error;
  EXPECT_TRUE(archive.unzipOk) << archive.error;
  EXPECT_EQ(archive.commentLength, 0);
  ASSERT_EQ(archive.entries.size(), 1u);
  // DOS times have two-second steps: 31 s is stored as 30.
  ExpectEntry(archive.entries[0], "Vantik.log", contents, {2010, 6, 15, 13, 45, 30});
  // Nothing is left beside the archive, and the packed file is gone.
  EXPECT_EQ(ws.files().Paths(), std::vector<std::string>{kArchive});
  EXPECT_TRUE(ws.MessageBoxes().empty());
  EXPECT_EQ(ws.files().OpenFileCount(), 0);
  EXPECT_TRUE(outcome.finished && outcome.placed);
  EXPECT_EQ(outcome.error, ERROR_SUCCESS);
  EXPECT_TRUE(outcome.unpacked.empty());
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

// The entries take the names they are given, in list order, whatever the paths hold: a folder
// named "Donné" in a Western code page ends in 0xE9, which code page 936 would take for a lead
// byte and join to the backslash after it.
TEST(PackExportFiles, EntriesFollowTheListUnderTheNamesGiven) {
  Workstation ws;
  const std::string western = "C:\\Users\\Donn\xE9\\Vantik.log";
  const std::string wide = std::string(kTemp) + "\x81\x5C" + "net.log";  // trail byte '\'
  ws.files()
      .AddFile(kHotfixes, Text(5000), Utc(2011, 1, 2, 3, 4, 6))
      .AddFile(western, Text(300), Utc(2012, 12, 31, 23, 59, 58))
      .AddFile(wide, "wide", Utc(1999, 9, 9, 9, 9, 10));
  ws.files().AddFile(kArchive, kOlderArchive);

  EXPECT_EQ(PackExportFiles(kArchive, {kHotfixEntry, {western, "Vantik.log"}, {wide, "net.log"}}),
            1);

  const Archive archive = ReadArchive(ws, kArchive);
  ASSERT_TRUE(archive.readable) << archive.error;
  ASSERT_EQ(archive.entries.size(), 3u);
  ExpectEntry(archive.entries[0], "WindowsUpdate.log", Text(5000), {2011, 1, 2, 3, 4, 6});
  ExpectEntry(archive.entries[1], "Vantik.log", Text(300), {2012, 12, 31, 23, 59, 58});
  ExpectEntry(archive.entries[2], "net.log", "wide", {1999, 9, 9, 9, 9, 10});
  EXPECT_EQ(ws.files().Paths(), std::vector<std::string>{kArchive}) << "all packed and deleted";
}

TEST(PackExportFiles, MissingFileIsSkippedSilently) {
  Workstation ws;
  ws.files().AddFile(kLog, "log", Utc(2010, 6, 15, 13, 45, 30));

  PackOutcome outcome;
  EXPECT_EQ(PackExportFiles(kArchive, {kHotfixEntry, kLogEntry}, &outcome), 1);

  const Archive archive = ReadArchive(ws, kArchive);
  ASSERT_TRUE(archive.readable) << archive.error;
  ASSERT_EQ(archive.entries.size(), 1u);
  ExpectEntry(archive.entries[0], "Vantik.log", "log", {2010, 6, 15, 13, 45, 30});
  EXPECT_TRUE(ws.MessageBoxes().empty());
  EXPECT_TRUE(outcome.unpacked.empty()) << "a file that is not there was not produced, not lost";
}

TEST(PackExportFiles, PathListedTwiceIsPackedOnce) {
  Workstation ws;
  ws.files()
      .AddFile(kHotfixes, "hotfixes", Utc(2010, 6, 15, 13, 45, 30))
      .AddFile(kLog, "log", Utc(2010, 6, 15, 13, 45, 30));

  EXPECT_EQ(PackExportFiles(kArchive, {kHotfixEntry, kLogEntry, kHotfixEntry, kLogEntry}), 1);

  const Archive archive = ReadArchive(ws, kArchive);
  ASSERT_TRUE(archive.readable) << archive.error;
  EXPECT_EQ(Names(archive), (std::vector<std::string>{"WindowsUpdate.log", "Vantik.log"}));
  EXPECT_FALSE(ws.files().Contents(kHotfixes));
  EXPECT_FALSE(ws.files().Contents(kLog));
}

// An empty archive in place of the user's file would destroy it and claim an export.
TEST(PackExportFiles, NothingToPackLeavesTheTargetAlone) {
  Workstation ws;
  ws.files().AddFile(kArchive, kOlderArchive);

  PackOutcome outcome;
  EXPECT_EQ(PackExportFiles(kArchive, {kLogEntry}, &outcome), 0);

  EXPECT_EQ(ws.files().Paths(), std::vector<std::string>{kArchive});
  EXPECT_EQ(ws.files().Contents(kArchive), kOlderArchive);
  EXPECT_TRUE(outcome.finished);
  EXPECT_FALSE(outcome.placed);
  EXPECT_EQ(outcome.error, ERROR_FILE_NOT_FOUND);
}

TEST(ArchiveWriter, DestructorCompletesAnArchiveLeftOpenAndClosesItsFile) {
  Workstation ws;
  ws.files().AddFile(kLog, Text(5000), Utc(2010, 6, 15, 13, 45, 30));
  {
    platform::File file;
    ASSERT_EQ(file.CreateForWriting(kArchive.c_str()), ERROR_SUCCESS);
    ArchiveWriter zip;
    ASSERT_TRUE(zip.Open(file));
    EXPECT_EQ(zip.AddFile(kLog.c_str(), "Vantik.log"), AddResult::kAdded);
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

// The bytes of an archive of `files` as the packer writes them, from a workstation of its own.
std::string ArchiveOf(const std::vector<std::pair<ExportFile, std::string>>& files) {
  Workstation scratch;
  std::vector<ExportFile> list;
  for (const auto& [file, contents] : files) {
    scratch.files().AddFile(file.path, contents, Utc(2010, 6, 15, 13, 45, 30));
    list.push_back(file);
  }
  EXPECT_EQ(PackExportFiles(kArchive, list), 1);
  return scratch.files().Contents(kArchive).value_or("");
}

const std::string kFirst = Text(6000);
const std::string kSecond = Text(2000);

// Where things lie in the complete archive of the two files: the end of the first entry, the
// start of the central directory and the whole size.
struct Layout {
  std::uint32_t endOfFirstEntry = 0;
  std::uint32_t directory = 0;
  std::uint32_t size = 0;
};

Layout TwoFileLayout() {
  Layout layout;
  layout.endOfFirstEntry = CentralDirectoryOffset(ArchiveOf({{kLogEntry, kFirst}}));
  const std::string whole = ArchiveOf({{kLogEntry, kFirst}, {kHotfixEntry, kSecond}});
  layout.directory = CentralDirectoryOffset(whole);
  layout.size = static_cast<std::uint32_t>(whole.size());
  return layout;
}

// A file that cannot be opened or read is left out; the rest goes into an archive that takes
// the target's place, and the files packed go.
struct LeftOutCase {
  const char* name;
  std::function<void(Files&)> fault;
  std::vector<std::string> entries;
  std::vector<UnpackedFile> unpacked;
  std::optional<std::string> messageHex;  // the message box, in code page 936
};

void PrintTo(const LeftOutCase& c, std::ostream* os) { *os << c.name; }

class FileLeftOut : public ::testing::TestWithParam<LeftOutCase> {};

TEST_P(FileLeftOut, ArchiveHoldsTheRestAndTheFileStays) {
  const LeftOutCase& c = GetParam();
  Workstation ws;
  ws.files()
      .AddFile(kArchive, kOlderArchive)
      .AddFile(kLog, kFirst, Utc(2010, 6, 15, 13, 45, 30))
      .AddFile(kHotfixes, kSecond, Utc(2010, 6, 15, 13, 45, 30));
  c.fault(ws.files());

  PackOutcome outcome;
  EXPECT_EQ(PackExportFiles(kArchive, {kLogEntry, kHotfixEntry}, &outcome), 0);

  const Archive archive = ReadArchive(ws, kArchive);
  ASSERT_TRUE(archive.readable) << archive.error;
  EXPECT_TRUE(archive.unzipOk) << archive.error;
  EXPECT_EQ(Names(archive), c.entries);
  EXPECT_TRUE(outcome.finished && outcome.placed);
  EXPECT_EQ(outcome.unpacked, c.unpacked);
  // The file left out stays; the one packed goes; nothing is left beside the archive.
  std::vector<std::string> left = {kArchive};
  for (const UnpackedFile& file : c.unpacked) {
    left.push_back(file.name == "Vantik.log" ? kLog : kHotfixes);
  }
  EXPECT_EQ(Sorted(ws.files().Paths()), Sorted(left));
  const auto boxes = ws.MessageBoxes();
  if (c.messageHex) {
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(Hex(boxes[0]), *c.messageHex);
  } else {
    EXPECT_TRUE(boxes.empty());
  }
  EXPECT_EQ(ws.files().OpenFileCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FileLeftOut,
    ::testing::Values(
        // "创建文件失败! 错误代码 [32]\r\n"
        LeftOutCase{"SecondCannotBeOpened",
                    [](Files& f) { f.Fail(FileCall::kOpen, ERROR_SHARING_VIOLATION, kHotfixes); },
                    {"Vantik.log"},
                    {{"WindowsUpdate.log", ERROR_SHARING_VIOLATION}},
                    "b4b4bda8cec4bcfecaa7b0dc2120b4edcef3b4fac2eb205b33325d0d0a"},
        LeftOutCase{"FirstHeldByAnotherProgram",
                    [](Files& f) { f.HoldExclusively(kLog); },
                    {"WindowsUpdate.log"},
                    {{"Vantik.log", ERROR_SHARING_VIOLATION}},
                    "b4b4bda8cec4bcfecaa7b0dc2120b4edcef3b4fac2eb205b33325d0d0a"},
        // minizip cannot take back an entry it has begun: the archive is written again without
        // the file, so that no part of it is in there.
        LeftOutCase{"SecondCannotBeRead",
                    [](Files& f) { f.Fail(FileCall::kRead, ERROR_ACCESS_DENIED, kHotfixes, 1); },
                    {"Vantik.log"},
                    {{"WindowsUpdate.log", ERROR_ACCESS_DENIED}},
                    std::nullopt},
        LeftOutCase{"FirstFailsHalfwayThrough",
                    [](Files& f) {
                      // Its first block reads; the second does not.
                      f.Fail(FileCall::kRead, ERROR_ACCESS_DENIED, kLog, 1);
                    },
                    {"WindowsUpdate.log"},
                    {{"Vantik.log", ERROR_ACCESS_DENIED}},
                    std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

// The archive cannot be completed, read back or put in place: the target keeps its bytes,
// nothing is left beside it, and every file stays.
struct KeptCase {
  const char* name;
  std::function<void(Files&, const Layout&)> fault;
  long error;               // what the outcome says
  bool folderGone = false;  // and the older archive with it
};

void PrintTo(const KeptCase& c, std::ostream* os) { *os << c.name; }

class TargetKept : public ::testing::TestWithParam<KeptCase> {};

TEST_P(TargetKept, OlderArchiveKeepsItsBytesAndEveryFileStays) {
  const KeptCase& c = GetParam();
  const Layout layout = TwoFileLayout();
  ASSERT_GT(layout.endOfFirstEntry, 0u);
  ASSERT_GT(layout.directory, layout.endOfFirstEntry);
  Workstation ws;
  ws.files()
      .AddFile(kArchive, kOlderArchive)
      .AddFile(kLog, kFirst, Utc(2010, 6, 15, 13, 45, 30))
      .AddFile(kHotfixes, kSecond, Utc(2010, 6, 15, 13, 45, 30));
  c.fault(ws.files(), layout);

  PackOutcome outcome;
  EXPECT_EQ(PackExportFiles(kArchive, {kLogEntry, kHotfixEntry}, &outcome), 0);

  const std::optional<std::string> older =
      c.folderGone ? std::nullopt : std::optional<std::string>(kOlderArchive);
  EXPECT_EQ(ws.files().Contents(kArchive), older);
  EXPECT_EQ(ws.files().Contents(kLog), kFirst);
  EXPECT_EQ(ws.files().Contents(kHotfixes), kSecond);
  std::vector<std::string> expected = {kHotfixes, kLog};
  if (older) expected.push_back(kArchive);
  EXPECT_EQ(Sorted(ws.files().Paths()), Sorted(expected)) << "nothing left beside the target";
  EXPECT_TRUE(outcome.finished);
  EXPECT_FALSE(outcome.placed);
  EXPECT_EQ(outcome.error, c.error);
  EXPECT_EQ(ws.files().OpenFileCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, TargetKept,
    ::testing::Values(
        KeptCase{"FolderGone",
                 [](Files& f, const Layout&) { f.MissingFolder("C:\\Users\\tester\\Desktop"); },
                 ERROR_PATH_NOT_FOUND, true},
        KeptCase{"FolderRefusesNewFiles",
                 [](Files& f, const Layout&) {
                   f.Fail(FileCall::kCreate, ERROR_ACCESS_DENIED, kBeside);
                 },
                 ERROR_ACCESS_DENIED},
        // The disk fills up after N bytes of the new archive, for N from nothing at all to
        // the last byte of the end record.
        KeptCase{"DiskFullAtOnce",
                 [](Files& f, const Layout&) {
                   f.Fail(FileCall::kWrite, ERROR_DISK_FULL, kBeside, -1, 0);
                 },
                 ERROR_DISK_FULL},
        KeptCase{"DiskFullInTheFirstEntry",
                 [](Files& f, const Layout&) {
                   f.Fail(FileCall::kWrite, ERROR_DISK_FULL, kBeside, -1, 100);
                 },
                 ERROR_DISK_FULL},
        // The disk refuses the second entry's header once, then takes the rest.
        KeptCase{"SecondEntryCannotBeStarted",
                 [](Files& f, const Layout& at) {
                   f.Fail(FileCall::kWrite, ERROR_DISK_FULL, kBeside, 1, at.endOfFirstEntry);
                 },
                 ERROR_DISK_FULL},
        KeptCase{"DiskFullAtTheDirectory",
                 [](Files& f, const Layout& at) {
                   f.Fail(FileCall::kWrite, ERROR_DISK_FULL, kBeside, -1, at.directory);
                 },
                 ERROR_DISK_FULL},
        KeptCase{"DiskFullInsideTheDirectory",
                 [](Files& f, const Layout& at) {
                   f.Fail(FileCall::kWrite, ERROR_DISK_FULL, kBeside, -1, at.directory + 30);
                 },
                 ERROR_DISK_FULL},
        KeptCase{"DiskFullAtTheLastByte",
                 [](Files& f, const Layout& at) {
                   f.Fail(FileCall::kWrite, ERROR_DISK_FULL, kBeside, -1, at.size - 1);
                 },
                 ERROR_DISK_FULL},
        KeptCase{
            "FlushFails",
            [](Files& f, const Layout&) { f.Fail(FileCall::kFlush, ERROR_DISK_FULL, kBeside); },
            ERROR_DISK_FULL},
        KeptCase{
            "CloseFails",
            [](Files& f, const Layout&) { f.Fail(FileCall::kClose, ERROR_DISK_FULL, kBeside, 1); },
            ERROR_DISK_FULL},
        // The disk says it took the directory but kept only a part: reading back finds it.
        KeptCase{"DiskLosesWhatItWasGiven",
                 [](Files& f, const Layout& at) {
                   f.Fail(FileCall::kWrite, ERROR_SUCCESS, kBeside, 1, at.directory + 10);
                 },
                 ERROR_INVALID_DATA},
        KeptCase{"ReadingBackFails",
                 [](Files& f, const Layout&) {
                   f.Fail(FileCall::kRead, ERROR_SHARING_VIOLATION, kBeside);
                 },
                 ERROR_SHARING_VIOLATION},
        // A viewer has the older archive open.
        KeptCase{"TargetHeldOpen", [](Files& f, const Layout&) { f.Hold(kArchive); },
                 ERROR_SHARING_VIOLATION},
        KeptCase{
            "MoveRefused",
            [](Files& f, const Layout&) { f.Fail(FileCall::kMove, ERROR_ACCESS_DENIED, kBeside); },
            ERROR_ACCESS_DENIED}),
    [](const auto& info) { return std::string(info.param.name); });

// A command that outlived its wait still writes its output: the archive holds what it wrote so
// far, and the file, which cannot be deleted while the command holds it, stays.
TEST(PackExportFiles, FileStillBeingWrittenIsPackedAsFarAsWrittenAndStays) {
  Workstation ws;
  ws.files()
      .AddFile(kLog, kFirst, Utc(2010, 6, 15, 13, 45, 30))
      .AddFile(kHotfixes, kSecond, Utc(2010, 6, 15, 13, 45, 30))
      .Hold(kHotfixes);

  PackOutcome outcome;
  EXPECT_EQ(PackExportFiles(kArchive, {kLogEntry, kHotfixEntry}, &outcome), 1);

  const Archive archive = ReadArchive(ws, kArchive);
  ASSERT_TRUE(archive.readable) << archive.error;
  ASSERT_EQ(Names(archive), (std::vector<std::string>{"Vantik.log", "WindowsUpdate.log"}));
  EXPECT_EQ(archive.entries[1].contents, kSecond);
  EXPECT_TRUE(outcome.placed);
  EXPECT_TRUE(outcome.unpacked.empty());
  EXPECT_EQ(Sorted(ws.files().Paths()), Sorted({kArchive, kHotfixes}));
  EXPECT_TRUE(ws.MessageBoxes().empty());
}

// An archive that lost every file it was to hold does not take the place of the user's.
TEST(PackExportFiles, ArchiveOfNoFileDoesNotReplaceTheTarget) {
  Workstation ws;
  ws.files()
      .AddFile(kArchive, kOlderArchive)
      .AddFile(kLog, kFirst, Utc(2010, 6, 15, 13, 45, 30))
      .HoldExclusively(kLog);

  PackOutcome outcome;
  EXPECT_EQ(PackExportFiles(kArchive, {kLogEntry}, &outcome), 0);

  EXPECT_EQ(ws.files().Contents(kArchive), kOlderArchive);
  EXPECT_FALSE(outcome.placed);
  EXPECT_EQ(outcome.error, ERROR_SUCCESS);
  EXPECT_EQ(outcome.unpacked, (std::vector<UnpackedFile>{{"Vantik.log", ERROR_SHARING_VIOLATION}}));
  EXPECT_EQ(Sorted(ws.files().Paths()), Sorted({kArchive, kLog}));
}

// Where the target must be kept, an archive goes only where no file is; one that is there stays
// with every file to pack, and nothing is left beside it.
TEST(PackExportFiles, KeepingTheTargetPlacesTheArchiveOnlyWhereNoFileIs) {
  for (const bool taken : {false, true}) {
    SCOPED_TRACE(taken ? "a file at the target" : "no file at the target");
    Workstation ws;
    ws.files().AddFile(kLog, "log", Utc(2010, 6, 15, 13, 45, 30));
    if (taken) ws.files().AddFile(kArchive, kOlderArchive);

    PackOutcome outcome;
    EXPECT_EQ(PackExportFiles(kArchive, {kLogEntry}, &outcome, TargetPolicy::kKeep), taken ? 0 : 1);

    EXPECT_EQ(outcome.placed, !taken);
    if (taken) {
      EXPECT_EQ(outcome.error, ERROR_ALREADY_EXISTS);
      EXPECT_EQ(ws.files().Contents(kArchive), kOlderArchive);
      EXPECT_TRUE(outcome.entries.empty());
      EXPECT_EQ(Sorted(ws.files().Paths()), Sorted({kArchive, kLog}));
    } else {
      EXPECT_TRUE(ReadArchive(ws, kArchive).readable);
      EXPECT_EQ(ws.files().Paths(), std::vector<std::string>{kArchive});
    }
  }
}

// The outcome lists what the archive at the target holds, as a reader we did not write finds it.
TEST(PackExportFiles, OutcomeListsTheEntriesAsReadBack) {
  Workstation ws;
  ws.files()
      .AddFile(kHotfixes, "", Utc(2010, 6, 15, 13, 45, 30))
      .AddFile(kLog, Text(9000), Utc(2010, 6, 15, 13, 45, 30));
  PackOutcome outcome;
  EXPECT_EQ(PackExportFiles(kArchive, {kLogEntry, kHotfixEntry}, &outcome), 1);
  const Archive archive = ReadArchive(ws, kArchive);
  ASSERT_TRUE(archive.readable) << archive.error;
  ASSERT_EQ(outcome.entries.size(), archive.entries.size());
  for (std::size_t i = 0; i < archive.entries.size(); ++i) {
    EXPECT_EQ(outcome.entries[i], (ArchiveEntry{archive.entries[i].name, archive.entries[i].size,
                                                archive.entries[i].crc}));
  }
  EXPECT_EQ(outcome.entries[0].size, 9000u);
}

TEST(PackExportFiles, EmptyTargetPathWritesNothing) {
  Workstation ws;
  ws.files().AddFile(kLog, "log", Utc(2010, 6, 15, 13, 45, 30));
  PackOutcome outcome;
  EXPECT_EQ(PackExportFiles("", {kLogEntry}, &outcome), 0);
  EXPECT_EQ(ws.files().Paths(), std::vector<std::string>{kLog});
  EXPECT_FALSE(outcome.placed);
  EXPECT_EQ(outcome.error, ERROR_PATH_NOT_FOUND);
}

// The packing unit of a run that ended while it packed: the target is not touched and nothing
// is said for the run.
TEST(PackExportFiles, AbandonedRunLeavesTheTargetAndItsOutcomeAlone) {
  Workstation ws;
  ws.files().AddFile(kArchive, kOlderArchive).AddFile(kLog, kFirst, Utc(2010, 6, 15, 13, 45, 30));
  RunClaim ended;
  ended.Close();
  PackOutcome outcome;
  outcome.error = 12345;
  const int result =
      PackExportFiles(kArchive, {kLogEntry}, &outcome, TargetPolicy::kReplace, &ended);

  EXPECT_EQ(result, 0);
  EXPECT_EQ(ws.files().Contents(kArchive), kOlderArchive);
  EXPECT_FALSE(outcome.finished);
  EXPECT_EQ(outcome.error, 12345);
  EXPECT_EQ(Sorted(ws.files().Paths()), Sorted({kArchive, kLog}));
}

}  // namespace
