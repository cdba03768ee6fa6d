// The computer's name, the local time and full paths, on the simulated workstation natively and
// on Wine's real calls in the Windows build.
#include <gtest/gtest.h>

#include <string>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/system_info.h"
#include "platform/win32_codes.h"
#ifndef _WIN32
#include "platform/sim/workstation.h"
#endif

namespace {

class ComputerConformance : public ::testing::Test {
#ifndef _WIN32
 protected:
  platform::sim::Workstation workstation_;
#endif
};

// A NetBIOS name: 1 to 15 characters, no backslash.
TEST_F(ComputerConformance, NameIsANetbiosName) {
  std::string name;
  ASSERT_TRUE(platform::GetComputerNameText(&name));
  EXPECT_GE(name.size(), 1u);
  EXPECT_LE(name.size(), 15u);
  EXPECT_EQ(name.find('\\'), std::string::npos);
}

TEST_F(ComputerConformance, LocalTimeIsADateAndATime) {
  const platform::LocalTime now = platform::GetLocalTimeNow();
  EXPECT_GE(now.year, 2024);
  EXPECT_GE(now.month, 1);
  EXPECT_LE(now.month, 12);
  EXPECT_GE(now.day, 1);
  EXPECT_LE(now.day, 31);
  EXPECT_LE(now.hour, 23);
  EXPECT_LE(now.minute, 59);
  EXPECT_LE(now.second, 59);
}

// A relative name lands in the current folder; a full path stays as it is.
TEST_F(ComputerConformance, FullPathOfARelativeName) {
  std::string full;
  ASSERT_EQ(platform::GetFullPath("Vantik export.zip", &full), ERROR_SUCCESS);
  ASSERT_GT(full.size(), 20u);
  EXPECT_EQ(full.substr(1, 2), ":\\") << full;
  EXPECT_EQ(full.substr(full.size() - 18), "\\Vantik export.zip");
  std::string again = "untouched";
  ASSERT_EQ(platform::GetFullPath(full.c_str(), &again), ERROR_SUCCESS);
  EXPECT_EQ(again, full);
}

#ifndef _WIN32
TEST_F(ComputerConformance, SimAnswersWhatItWasGiven) {
  workstation_.files().SetCurrentFolder("D:\\field work\\");
  std::string full;
  ASSERT_EQ(platform::GetFullPath("a.zip", &full), ERROR_SUCCESS);
  EXPECT_EQ(full, "D:\\field work\\a.zip");
  workstation_.SetComputerName(std::nullopt);
  std::string name = "untouched";
  EXPECT_FALSE(platform::GetComputerNameText(&name));
  EXPECT_EQ(name, "untouched");
}
#endif

}  // namespace
