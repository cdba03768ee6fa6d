// The contract of the file calls that let a file take another's place in one step, and of the
// program's own folders: new and unique names, flushing, moving over a file, making, listing
// and removing folders. The same cases run on the simulated workstation natively and on Wine's
// real file system in the Windows build; what Wine cannot produce (another program holding a
// file, a drive that is gone, injected faults) is at the end, for the simulated backend only.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "platform/win32_codes.h"
#include "tests/support/test_files.h"

namespace {

using platform::File;
using platform::FolderEntry;

class FileReplace : public ::testing::Test {
 protected:
  // A path in the temporary folder, named after the test so that no two tests meet.
  std::string Path(std::string_view name) const { return PathForTest(files_, name); }

  // What a folder holds, by name, with a trailing backslash for a folder.
  static std::vector<std::string> Listing(const std::string& folder, long* result) {
    std::vector<FolderEntry> entries = {FolderEntry{"stale", false}};
    *result = platform::ListFolder(folder, &entries);
    std::vector<std::string> names;
    for (const FolderEntry& entry : entries)
      names.push_back(entry.name + (entry.isFolder ? "\\" : ""));
    std::sort(names.begin(), names.end());
    return names;
  }

  TestFiles files_;
};

bool EndsInUniqueDigits(const std::string& path, const std::string& stem, std::size_t extra) {
  if (path.size() != stem.size() + platform::kUniqueDigits + extra) return false;
  if (path.compare(0, stem.size(), stem) != 0) return false;
  return std::all_of(
      path.begin() + static_cast<std::ptrdiff_t>(stem.size()),
      path.begin() + static_cast<std::ptrdiff_t>(stem.size() + platform::kUniqueDigits),
      [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
}

TEST_F(FileReplace, NewFileRefusesATakenName) {
  const std::string taken = Path("taken.zip");
  files_.Write(taken, "the user's archive");
  File file;
  EXPECT_EQ(file.CreateNew(taken.c_str()), ERROR_FILE_EXISTS);
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(files_.Contents(taken), "the user's archive");

  const std::string fresh = Path("fresh.zip");
  ASSERT_EQ(file.CreateNew(fresh.c_str()), ERROR_SUCCESS);
  EXPECT_EQ(file.Write("new", 3), ERROR_SUCCESS);
  EXPECT_EQ(file.Flush(), ERROR_SUCCESS);
  EXPECT_EQ(file.Close(), ERROR_SUCCESS);
  EXPECT_EQ(files_.Contents(fresh), "new");
}

TEST_F(FileReplace, UniqueFilesAndFoldersGetNamesOfTheirOwn) {
  const std::string stem = Path("archive.zip~");
  std::string first;
  std::string second;
  File a;
  File b;
  ASSERT_EQ(a.CreateUnique(stem, &first), ERROR_SUCCESS);
  ASSERT_EQ(b.CreateUnique(stem, &second), ERROR_SUCCESS);
  EXPECT_NE(first, second);
  for (const std::string& path : {first, second}) {
    EXPECT_TRUE(EndsInUniqueDigits(path, stem, 0)) << path;
    EXPECT_TRUE(platform::FileExists(path.c_str())) << path;
  }
  EXPECT_EQ(a.Write("a", 1), ERROR_SUCCESS);
  EXPECT_EQ(a.Close(), ERROR_SUCCESS);
  EXPECT_EQ(b.Close(), ERROR_SUCCESS);
  EXPECT_EQ(files_.Contents(first), "a");
  EXPECT_EQ(files_.Contents(second), "");

  const std::string folderStem = Path("run-");
  std::string one;
  std::string two;
  ASSERT_EQ(platform::CreateUniqueFolder(folderStem, &one), ERROR_SUCCESS);
  ASSERT_EQ(platform::CreateUniqueFolder(folderStem, &two), ERROR_SUCCESS);
  EXPECT_NE(one, two);
  for (const std::string& folder : {one, two}) {
    EXPECT_TRUE(EndsInUniqueDigits(folder, folderStem, 1)) << folder;
    EXPECT_EQ(folder.back(), '\\');
    EXPECT_TRUE(platform::FileExists(folder.c_str())) << folder;
  }

  // Neither kind can be made where there is no folder.
  const std::string nowhere = files_.AbsentFolder(Path("no such folder")) + "\\x~";
  std::string unchanged = "unchanged";
  File c;
  EXPECT_EQ(c.CreateUnique(nowhere, &unchanged), ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(platform::CreateUniqueFolder(nowhere, &unchanged), ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(unchanged, "unchanged");
}

TEST_F(FileReplace, FoldersAreMadeListedAndRemovedOnlyWhenEmpty) {
  const std::string folder = Path("folder");
  ASSERT_EQ(platform::CreateFolder(folder.c_str()), ERROR_SUCCESS);
  EXPECT_EQ(platform::CreateFolder(folder.c_str()), ERROR_ALREADY_EXISTS);
  EXPECT_TRUE(platform::FileExists(folder.c_str()));
  long listed = -1;
  EXPECT_EQ(Listing(folder + "\\", &listed), std::vector<std::string>{});
  EXPECT_EQ(listed, ERROR_SUCCESS);

  files_.Write(folder + "\\Vantik.log", "log");
  ASSERT_EQ(platform::CreateFolder((folder + "\\sub").c_str()), ERROR_SUCCESS);
  files_.Write(folder + "\\sub\\deeper.log", "deeper");
  EXPECT_EQ(Listing(folder + "\\", &listed), (std::vector<std::string>{"Vantik.log", "sub\\"}));
  EXPECT_EQ(listed, ERROR_SUCCESS);

  EXPECT_EQ(platform::RemoveFolder(folder.c_str()), ERROR_DIR_NOT_EMPTY);
  EXPECT_EQ(platform::RemoveFolder((folder + "\\sub").c_str()), ERROR_DIR_NOT_EMPTY);
  EXPECT_EQ(platform::RemoveFile((folder + "\\sub\\deeper.log").c_str()), ERROR_SUCCESS);
  EXPECT_EQ(platform::RemoveFolder((folder + "\\sub").c_str()), ERROR_SUCCESS);
  EXPECT_EQ(platform::RemoveFile((folder + "\\Vantik.log").c_str()), ERROR_SUCCESS);
  EXPECT_EQ(platform::RemoveFolder(folder.c_str()), ERROR_SUCCESS);
  EXPECT_FALSE(platform::FileExists(folder.c_str()));
  EXPECT_EQ(platform::RemoveFolder(folder.c_str()), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(Listing(folder + "\\", &listed), std::vector<std::string>{});
  EXPECT_EQ(listed, ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(platform::CreateFolder((folder + "\\sub").c_str()), ERROR_PATH_NOT_FOUND);
}

TEST_F(FileReplace, MoveReplacesInOneStepOrLeavesBothAsTheyWere) {
  const std::string target = Path("Vantik.zip");
  const std::string fresh = Path("Vantik.zip~1");
  const std::string other = Path("Vantik.zip~2");
  files_.Write(target, "older archive");
  files_.Write(fresh, "new archive");
  files_.Write(other, "another");

  EXPECT_EQ(platform::MoveFileTo(fresh.c_str(), target.c_str(), true), ERROR_SUCCESS);
  EXPECT_EQ(files_.Contents(target), "new archive");
  EXPECT_FALSE(files_.Contents(fresh));

  EXPECT_EQ(platform::MoveFileTo(other.c_str(), target.c_str(), false), ERROR_ALREADY_EXISTS);
  EXPECT_EQ(files_.Contents(target), "new archive");
  EXPECT_EQ(files_.Contents(other), "another");

  const std::string nowhere = files_.AbsentFolder(Path("no such folder")) + "\\Vantik.zip";
  EXPECT_EQ(platform::MoveFileTo(other.c_str(), nowhere.c_str(), true), ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(files_.Contents(other), "another");
  EXPECT_EQ(platform::MoveFileTo(fresh.c_str(), target.c_str(), true), ERROR_FILE_NOT_FOUND);

  // Without a file at the new name, either flag moves it there.
  const std::string renamed = Path("renamed.zip");
  EXPECT_EQ(platform::MoveFileTo(other.c_str(), renamed.c_str(), false), ERROR_SUCCESS);
  EXPECT_EQ(files_.Contents(renamed), "another");
  EXPECT_FALSE(files_.Contents(other));
}

// A viewer that has the archive open keeps it: the new one is not moved over it.
TEST_F(FileReplace, FileOpenElsewhereIsNotReplaced) {
  const std::string target = Path("Vantik.zip");
  const std::string fresh = Path("Vantik.zip~1");
  files_.Write(target, "older archive");
  files_.Write(fresh, "new archive");
  {
    File viewer;
    ASSERT_EQ(viewer.OpenForReading(target.c_str()), ERROR_SUCCESS);
    EXPECT_EQ(platform::MoveFileTo(fresh.c_str(), target.c_str(), true), ERROR_ACCESS_DENIED);
  }
  EXPECT_EQ(files_.Contents(target), "older archive");
  EXPECT_EQ(files_.Contents(fresh), "new archive");

  // Nor is a file moved away while it is open.
  {
    File writer;
    ASSERT_EQ(writer.CreateForWriting(Path("busy.zip").c_str()), ERROR_SUCCESS);
    EXPECT_EQ(platform::MoveFileTo(Path("busy.zip").c_str(), Path("moved.zip").c_str(), true),
              ERROR_SHARING_VIOLATION);
  }
  EXPECT_FALSE(files_.Contents(Path("moved.zip")));
}

TEST_F(FileReplace, FlushNeedsAFileOpenForWriting) {
  const std::string path = Path("flushed.log");
  files_.Write(path, "abc");
  File reader;
  ASSERT_EQ(reader.OpenForReading(path.c_str()), ERROR_SUCCESS);
  EXPECT_EQ(reader.Flush(), ERROR_ACCESS_DENIED);
  EXPECT_EQ(reader.Close(), ERROR_SUCCESS);
  EXPECT_EQ(reader.Flush(), ERROR_INVALID_HANDLE);
}

}  // namespace

#ifndef _WIN32
// Cases Wine cannot produce: simulated backend only.
#include "platform/sim/workstation.h"

namespace {

using platform::sim::FileCall;

class FileReplaceSimOnly : public FileReplace {
 protected:
  platform::sim::Files& sim() { return platform::sim::Workstation::Current().files(); }
};

TEST_F(FileReplaceSimOnly, UniqueNamesCountUpAndPassOverTakenOnes) {
  const std::string stem = Path("x~");
  sim().AddFile(stem + "00000001", "taken");
  std::string path;
  File file;
  ASSERT_EQ(file.CreateUnique(stem, &path), ERROR_SUCCESS);
  EXPECT_EQ(path, stem + "00000002");
  EXPECT_EQ(sim().Contents(stem + "00000001"), "taken");
}

TEST_F(FileReplaceSimOnly, FileHeldByAnotherProgramRefusesEveryChange) {
  const std::string held = Path("held.zip");
  const std::string fresh = Path("fresh.zip");
  sim().AddFile(held, "older").AddFile(fresh, "new").Hold(held);
  File file;
  EXPECT_EQ(file.OpenForReading(held.c_str()), ERROR_SHARING_VIOLATION);
  EXPECT_EQ(file.OpenForAppending(held.c_str()), ERROR_SHARING_VIOLATION);
  // Its holder writes and shares reading: a read that shares writing sees what it wrote.
  ASSERT_EQ(file.OpenSharedForReading(held.c_str()), ERROR_SUCCESS);
  char read[8] = {};
  std::uint32_t count = 0;
  EXPECT_EQ(file.Read(read, sizeof(read), &count), ERROR_SUCCESS);
  EXPECT_EQ(std::string(read, count), "older");
  EXPECT_EQ(file.Close(), ERROR_SUCCESS);
  EXPECT_EQ(file.CreateForWriting(held.c_str()), ERROR_SHARING_VIOLATION);
  EXPECT_EQ(platform::RemoveFile(held.c_str()), ERROR_SHARING_VIOLATION);
  EXPECT_EQ(platform::MoveFileTo(fresh.c_str(), held.c_str(), true), ERROR_ACCESS_DENIED);
  EXPECT_EQ(platform::MoveFileTo(held.c_str(), Path("away.zip").c_str(), true),
            ERROR_SHARING_VIOLATION);
  sim().Append(held, "appended");
  EXPECT_EQ(sim().Contents(held), "older");

  sim().Release(held);
  EXPECT_EQ(platform::MoveFileTo(fresh.c_str(), held.c_str(), true), ERROR_SUCCESS);
  EXPECT_EQ(sim().Contents(held), "new");

  // A shell's ">>" of a command still running shares writing too, but not removal.
  sim().HoldAppending(held);
  ASSERT_EQ(file.OpenForAppending(held.c_str()), ERROR_SUCCESS);
  EXPECT_EQ(file.Write("+", 1), ERROR_SUCCESS);
  EXPECT_EQ(file.Close(), ERROR_SUCCESS);
  sim().Append(held, "appended");
  EXPECT_EQ(sim().Contents(held), "new+appended");
  EXPECT_EQ(platform::RemoveFile(held.c_str()), ERROR_SHARING_VIOLATION);
  sim().Release(held);

  // A holder that shares nothing lets nothing in.
  sim().HoldExclusively(held);
  EXPECT_EQ(file.OpenSharedForReading(held.c_str()), ERROR_SHARING_VIOLATION);
  EXPECT_EQ(platform::RemoveFile(held.c_str()), ERROR_SHARING_VIOLATION);
}

TEST_F(FileReplaceSimOnly, MissingFolderTakesEverythingInItAndTakesNothingNew) {
  const std::string drive = "E:\\reports";
  sim().AddFile(drive + "\\old.zip", "old").AddFolder(drive + "\\sub").MissingFolder("E:\\");
  EXPECT_FALSE(sim().Contents(drive + "\\old.zip"));
  EXPECT_FALSE(platform::FileExists(drive.c_str()));
  File file;
  EXPECT_EQ(file.CreateForWriting((drive + "\\new.zip").c_str()), ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(file.OpenForReading((drive + "\\old.zip").c_str()), ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(platform::CreateFolder(drive.c_str()), ERROR_PATH_NOT_FOUND);
  sim().Append(drive + "\\capture.log", "text");
  EXPECT_FALSE(sim().Contents(drive + "\\capture.log"));
  EXPECT_EQ(sim().Folders(), std::vector<std::string>{});
}

TEST_F(FileReplaceSimOnly, FaultsOnAPathPatternAndASilentlyLosingDisk) {
  const std::string stem = Path("Vantik.zip~");
  sim().Fail(FileCall::kCreate, ERROR_ACCESS_DENIED, stem + "*", 1);
  File file;
  std::string path;
  EXPECT_EQ(file.CreateUnique(stem, &path), ERROR_ACCESS_DENIED);
  EXPECT_EQ(file.CreateForWriting(Path("Vantik.zip").c_str()), ERROR_SUCCESS) << "not the pattern";
  ASSERT_EQ(file.CreateUnique(stem, &path), ERROR_SUCCESS);

  // The disk keeps 4 bytes and says it took all 6.
  sim().Fail(FileCall::kWrite, ERROR_SUCCESS, stem + "*", 1, 4);
  EXPECT_EQ(file.Write("abcdef", 6), ERROR_SUCCESS);
  EXPECT_EQ(file.Close(), ERROR_SUCCESS);
  EXPECT_EQ(sim().Contents(path), "abcd");

  const struct {
    FileCall call;
    long code;
  } faults[] = {{FileCall::kFlush, ERROR_DISK_FULL},
                {FileCall::kMove, ERROR_ACCESS_DENIED},
                {FileCall::kCreateFolder, ERROR_ACCESS_DENIED},
                {FileCall::kRemoveFolder, ERROR_SHARING_VIOLATION},
                {FileCall::kList, ERROR_ACCESS_DENIED}};
  const std::string folder = Path("folder");
  for (const auto& fault : faults) {
    SCOPED_TRACE(static_cast<int>(fault.call));
    sim().Fail(fault.call, fault.code, {}, 1);
    File writer;
    std::vector<FolderEntry> entries;
    long result = -1;
    switch (fault.call) {
      case FileCall::kFlush:
        ASSERT_EQ(writer.CreateForWriting(Path("flushed").c_str()), ERROR_SUCCESS);
        result = writer.Flush();
        break;
      case FileCall::kMove:
        result = platform::MoveFileTo(path.c_str(), Path("moved").c_str(), true);
        break;
      case FileCall::kCreateFolder:
        result = platform::CreateFolder(folder.c_str());
        break;
      case FileCall::kRemoveFolder:
        ASSERT_EQ(platform::CreateFolder(folder.c_str()), ERROR_SUCCESS);
        result = platform::RemoveFolder(folder.c_str());
        break;
      default:
        result = platform::ListFolder(folder + "\\", &entries);
        break;
    }
    EXPECT_EQ(result, fault.code);
  }
  EXPECT_TRUE(platform::FileExists(folder.c_str())) << "the removal was refused";
  EXPECT_EQ(sim().Contents(path), "abcd") << "the move was refused";
}

}  // namespace
#endif
