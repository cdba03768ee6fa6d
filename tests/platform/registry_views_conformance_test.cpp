// The registry views of 64-bit Windows, as the seam addresses them. The shared cases run on Wine's
// real registry, where the shipped build is a 32-bit program whose other view is the 64-bit one
// (its own is kept under Software\Wow6432Node), and natively on a simulated 64-bit Windows
// running a 64-bit program. What Wine cannot be (32-bit Windows, a system that cannot say) is
// at the end, for the simulated backend only.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/win32_codes.h"
#include "tests/support/test_registry.h"
#ifndef _WIN32
#include "platform/sim/workstation.h"
#endif

namespace {

using platform::RegKey;
using platform::RegRoot;
using platform::RegView;

constexpr RegRoot kMachine = RegRoot::kLocalMachine;

class RegistryViews : public ::testing::Test {
 protected:
#ifndef _WIN32
  RegistryViews() {
    platform::sim::Workstation::Current().SetBitness(platform::sim::Bitness::k64,
                                                     platform::sim::Bitness::k64);
  }
#endif

  // Each test works under a key of its own, below `base`.
  static std::string Path(const std::string& base, const std::string& sub = "") {
    std::string path = base + "\\VantikConformance\\";
    path += ::testing::UnitTest::GetInstance()->current_test_info()->name();
    if (!sub.empty()) path += "\\" + sub;
    return path;
  }

  TestRegistry registry_;
};

// The sub-key names of `path` in `view`, or the code that opening it gave.
std::vector<std::string> SubKeys(const std::string& path, RegView view, long* opened = nullptr) {
  RegKey key;
  const long result = key.Open(kMachine, path.c_str(), KEY_READ, view);
  if (opened != nullptr) *opened = result;
  std::vector<std::string> names;
  if (result != ERROR_SUCCESS) return names;
  for (std::uint32_t index = 0;; ++index) {
    char name[256];
    std::uint32_t length = sizeof(name);
    if (key.EnumKeyEx(index, name, &length) != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  return names;
}

std::string Text(const std::string& path, const char* name, RegView view) {
  RegKey key;
  if (key.Open(kMachine, path.c_str(), KEY_QUERY_VALUE, view) != ERROR_SUCCESS) return "<closed>";
  char text[64] = {};
  if (platform::ReadRegString(key, name, text, sizeof(text)) != ERROR_SUCCESS) return "<unread>";
  return text;
}

TEST_F(RegistryViews, ThereIsAnOtherView) { EXPECT_TRUE(platform::HasOtherRegistryView()); }

TEST_F(RegistryViews, EachViewHoldsItsOwnSoftwareKeys) {
  const std::string path = Path("Software");
  registry_.SetString(kMachine, path + "\\Own", "Where", "own");
  registry_.SetString(kMachine, path + "\\Other", "Where", "other", RegView::kOther);
  registry_.SetString(kMachine, path, "Where", "own root");
  registry_.SetString(kMachine, path, "Where", "other root", RegView::kOther);
  EXPECT_EQ(SubKeys(path, RegView::kOwn), std::vector<std::string>{"Own"});
  EXPECT_EQ(SubKeys(path, RegView::kOther), std::vector<std::string>{"Other"});
  EXPECT_EQ(Text(path, "Where", RegView::kOwn), "own root");
  EXPECT_EQ(Text(path, "Where", RegView::kOther), "other root");
  EXPECT_EQ(Text(path + "\\Other", "Where", RegView::kOther), "other");
  long opened = ERROR_SUCCESS;
  SubKeys(path + "\\Own", RegView::kOther, &opened);
  EXPECT_EQ(opened, ERROR_FILE_NOT_FOUND) << "a key of one view only is missing from the other";
}

// Windows keeps the 32-bit view under Wow6432Node of the 64-bit one. The 32-bit view is the
// own one of a 32-bit program (the shipped build) and the other one of a 64-bit program.
TEST_F(RegistryViews, ThirtyTwoBitViewIsStoredUnderWow6432Node) {
  constexpr bool kThirtyTwoBitProgram = sizeof(void*) == 4;
  const RegView thirtyTwoBit = kThirtyTwoBitProgram ? RegView::kOwn : RegView::kOther;
  const RegView sixtyFourBit = kThirtyTwoBitProgram ? RegView::kOther : RegView::kOwn;
  registry_.SetString(kMachine, Path("Software") + "\\Seeded", "Where", "32-bit view",
                      thirtyTwoBit);
  EXPECT_EQ(Text(Path("Software\\Wow6432Node") + "\\Seeded", "Where", sixtyFourBit), "32-bit view");
  EXPECT_EQ(Text(Path("Software") + "\\Seeded", "Where", sixtyFourBit), "<closed>");
}

TEST_F(RegistryViews, KeysOutsideSoftwareAreShared) {
  const std::string path = Path("System");
  registry_.SetString(kMachine, path, "Where", "shared");
  EXPECT_EQ(Text(path, "Where", RegView::kOwn), "shared");
  EXPECT_EQ(Text(path, "Where", RegView::kOther), "shared");
}

}  // namespace

#ifndef _WIN32
// Simulated backend only.
namespace {

using platform::sim::Bitness;

class RegistryViewsSimOnly : public RegistryViews {
 protected:
  platform::sim::Workstation& ws() { return platform::sim::Workstation::Current(); }
};

TEST_F(RegistryViewsSimOnly, ThirtyTwoBitWindowsHasOneView) {
  ws().SetBitness(Bitness::k32, Bitness::k32);
  const std::string path = Path("Software");
  ws().registry().AddKey(kMachine, path + "\\Sub");
  // Only an ordinary key here, which no view redirects to.
  ws().registry().AddKey(kMachine, Path("Software\\Wow6432Node") + "\\Sub");
  EXPECT_FALSE(platform::HasOtherRegistryView());
  long opened = ERROR_SUCCESS;
  EXPECT_TRUE(SubKeys(path, RegView::kOther, &opened).empty());
  EXPECT_EQ(opened, ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(SubKeys(path, RegView::kOwn), std::vector<std::string>{"Sub"});
  EXPECT_EQ(ws().registry().OpenKeyCount(), 0);
}

TEST_F(RegistryViewsSimOnly, ThirtyTwoBitProgramOnSixtyFourBitWindows) {
  ws().SetBitness(Bitness::k64, Bitness::k32);
  const std::string path = Path("Software");
  ws().registry().AddKey(kMachine, path + "\\Native");
  ws().registry().AddKey(kMachine, Path("Software\\Wow6432Node") + "\\Redirected");
  EXPECT_TRUE(platform::HasOtherRegistryView());
  EXPECT_EQ(SubKeys(path, RegView::kOwn), std::vector<std::string>{"Redirected"});
  EXPECT_EQ(SubKeys(path, RegView::kOther), std::vector<std::string>{"Native"});
  // The 32-bit view's own place is the same key whichever way it is named.
  EXPECT_EQ(SubKeys(Path("Software\\Wow6432Node"), RegView::kOwn),
            std::vector<std::string>{"Redirected"});
}

// IsWow64Process missing or failing: the program takes the system for one with a single view.
TEST_F(RegistryViewsSimOnly, SystemThatCannotSayHasOneView) {
  const std::string path = Path("Software");
  registry_.AddKey(kMachine, path, RegView::kOther);
  ws().registry().Fail(platform::sim::RegCall::kOtherView, ERROR_ACCESS_DENIED, {}, {}, 2);
  EXPECT_FALSE(platform::HasOtherRegistryView());
  RegKey key;
  EXPECT_EQ(key.Open(kMachine, path.c_str(), KEY_READ, RegView::kOther), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(key.Open(kMachine, path.c_str(), KEY_READ, RegView::kOther), ERROR_SUCCESS)
      << "answers again once the fault is spent";
}

}  // namespace
#endif
