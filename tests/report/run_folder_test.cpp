// An export's own folder under the temporary folder, on the simulated workstation natively and
// on Wine's real file system: made fresh, gone with its run, and what earlier runs left cleared
// once nothing holds it, while a run still going is left alone.
#include "report/run_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/win32_codes.h"
#include "tests/support/test_files.h"

namespace {

using namespace report;

class RunFolderTest : public ::testing::Test {
 protected:
  RunFolderTest() {
    // A temporary folder of the test's own, so that runs of other tests are not in the way.
    const std::string temp = PathForTest(files_, "temp");
    EXPECT_EQ(platform::CreateFolder(temp.c_str()), ERROR_SUCCESS);
    temp_ = temp + "\\";
  }

  // The run folders under the test's temporary folder, by name.
  std::vector<std::string> RunFolders() const {
    std::vector<platform::FolderEntry> entries;
    EXPECT_EQ(platform::ListFolder(temp_, &entries), ERROR_SUCCESS);
    std::vector<std::string> names;
    for (const auto& entry : entries) {
      if (entry.isFolder) names.push_back(entry.name);
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  TestFiles files_;
  std::string temp_;
};

TEST_F(RunFolderTest, FolderOfItsOwnGoesWithTheRun) {
  std::shared_ptr<RunFolder> first;
  std::shared_ptr<RunFolder> second;
  ASSERT_EQ(RunFolder::Start(temp_, &first), ERROR_SUCCESS);
  ASSERT_EQ(RunFolder::Start(temp_, &second), ERROR_SUCCESS);
  EXPECT_NE(first->folder(), second->folder());
  EXPECT_EQ(first->folder().compare(0, temp_.size() + 7, temp_ + "Vantik-"), 0) << first->folder();
  files_.Write(first->folder() + "Vantik.log", "log");
  files_.Write(first->folder() + "WindowsUpdate.log", "hotfixes");
  EXPECT_EQ(RunFolders().size(), 2u) << "a run does not clear a run still going";

  first.reset();
  second.reset();
  EXPECT_EQ(RunFolders(), std::vector<std::string>{});
}

TEST_F(RunFolderTest, WhatIsStillHeldStaysForALaterRun) {
  std::shared_ptr<RunFolder> run;
  ASSERT_EQ(RunFolder::Start(temp_, &run), ERROR_SUCCESS);
  const std::string folder = run->folder();
  const std::string held = folder + "Vantik.log";
  // A command of the run that goes on writing after the run has ended (so that the file cannot
  // be read meanwhile either: it is looked for, not read).
  platform::File command;
  ASSERT_EQ(command.CreateForWriting(held.c_str()), ERROR_SUCCESS);
  files_.Write(folder + "WindowsUpdate.log", "hotfixes");
  run.reset();
  EXPECT_EQ(RunFolders().size(), 1u);
  EXPECT_TRUE(platform::FileExists(held.c_str())) << "held";
  EXPECT_FALSE(files_.Contents(folder + "WindowsUpdate.log")) << "what is free goes at once";

  // While the command holds its file, a later run leaves it; once it is free, it goes.
  std::shared_ptr<RunFolder> later;
  ASSERT_EQ(RunFolder::Start(temp_, &later), ERROR_SUCCESS);
  EXPECT_TRUE(platform::FileExists(held.c_str())) << "held";
  later.reset();
  EXPECT_EQ(command.Close(), ERROR_SUCCESS);
  ASSERT_EQ(RunFolder::Start(temp_, &later), ERROR_SUCCESS);
  later.reset();
  EXPECT_EQ(RunFolders(), std::vector<std::string>{});
}

TEST_F(RunFolderTest, FoldersThatAreNotRunsAreLeftAlone) {
  const std::string notARun = temp_ + "Vantik-notours";
  const std::string lockless = temp_ + "Vantik-0000D00D";
  ASSERT_EQ(platform::CreateFolder(notARun.c_str()), ERROR_SUCCESS);
  ASSERT_EQ(platform::CreateFolder(lockless.c_str()), ERROR_SUCCESS);
  files_.Write(notARun + "\\keep.txt", "someone's");
  files_.Write(lockless + "\\Vantik.log", "no lock: whose it is is not known");
  std::shared_ptr<RunFolder> run;
  ASSERT_EQ(RunFolder::Start(temp_, &run), ERROR_SUCCESS);
  run.reset();
  EXPECT_EQ(RunFolders(), (std::vector<std::string>{"Vantik-0000D00D", "Vantik-notours"}));
  EXPECT_TRUE(files_.Contents(notARun + "\\keep.txt"));
  EXPECT_TRUE(files_.Contents(lockless + "\\Vantik.log"));
}

TEST_F(RunFolderTest, NoFolderWhereThereIsNoTemporaryFolder) {
  const std::string gone = files_.AbsentFolder(PathForTest(files_, "gone")) + "\\";
  std::shared_ptr<RunFolder> run;
  EXPECT_EQ(RunFolder::Start(gone, &run), ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(run, nullptr);
}

}  // namespace
