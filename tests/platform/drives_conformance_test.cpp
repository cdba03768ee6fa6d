// The contract of the drives seam, on the simulated workstation natively and on Wine's real
// drives (C: and Z:, both fixed) in the Windows build; under Wine the extended free-space
// query comes through the run-time loader.
#include <gtest/gtest.h>

#include "platform/drives.h"
#include "platform/win32_codes.h"
#ifndef _WIN32
#include "platform/sim/workstation.h"
#endif

namespace {

using platform::DiskGeometry;
using platform::DiskSpace;

class DrivesConformance : public ::testing::Test {
#ifndef _WIN32
 protected:
  DrivesConformance() { workstation_.drives().Add('Z', DRIVE_FIXED, 500107862016, 1000000); }

  platform::sim::Workstation workstation_;
#endif
};

// A root path of a letter that the mask says is not there, from D: on.
std::string AbsentRoot() {
  const std::uint32_t mask = platform::GetLogicalDriveMask();
  for (int index = 3; index < 26; ++index) {
    if ((mask & (1u << index)) == 0) return std::string(1, static_cast<char>('A' + index)) + ":\\";
  }
  return {};
}

TEST_F(DrivesConformance, CAndZAreFixed) {
  const std::uint32_t mask = platform::GetLogicalDriveMask();
  EXPECT_NE(mask & (1u << 2), 0u);
  EXPECT_NE(mask & (1u << 25), 0u);
  EXPECT_EQ(platform::GetDriveKind("C:\\"), static_cast<std::uint32_t>(DRIVE_FIXED));
  EXPECT_EQ(platform::GetDriveKind("Z:\\"), static_cast<std::uint32_t>(DRIVE_FIXED));
}

TEST_F(DrivesConformance, LetterWithoutADriveHasNoRoot) {
  const std::string root = AbsentRoot();
  ASSERT_FALSE(root.empty());
  EXPECT_EQ(platform::GetDriveKind(root.c_str()), static_cast<std::uint32_t>(DRIVE_NO_ROOT_DIR));
  DiskSpace space{7, 7, 7};
  EXPECT_NE(platform::GetDiskSpace(root.c_str(), &space), ERROR_SUCCESS);
  EXPECT_EQ(space.totalBytes, 7u) << "untouched";
  DiskGeometry geometry{7, 7, 7, 7};
  EXPECT_NE(platform::GetDiskGeometry(root.c_str(), &geometry), ERROR_SUCCESS);
  EXPECT_EQ(geometry.totalClusters, 7u);
}

TEST_F(DrivesConformance, BothFreeSpaceQueriesAnswer) {
  ASSERT_TRUE(platform::KernelModuleLoaded());
  DiskSpace space;
  ASSERT_EQ(platform::GetDiskSpace("C:\\", &space), ERROR_SUCCESS);
  EXPECT_GT(space.totalBytes, 0u);
  EXPECT_LE(space.totalFreeBytes, space.totalBytes);
  EXPECT_LE(space.availableToCaller, space.totalBytes);
  DiskGeometry geometry;
  ASSERT_EQ(platform::GetDiskGeometry("C:\\", &geometry), ERROR_SUCCESS);
  EXPECT_GT(geometry.sectorsPerCluster, 0u);
  EXPECT_GT(geometry.bytesPerSector, 0u);
  EXPECT_GT(geometry.totalClusters, 0u);
  EXPECT_LE(geometry.freeClusters, geometry.totalClusters);
}

#ifndef _WIN32
// What Wine cannot show: a kernel without the extended query, or none at all.
TEST_F(DrivesConformance, SimKernelWithoutTheExtendedQuery) {
  workstation_.drives().WithoutDiskSpaceEx();
  DiskSpace space;
  EXPECT_EQ(platform::GetDiskSpace("C:\\", &space), ERROR_PROC_NOT_FOUND);
  EXPECT_TRUE(platform::KernelModuleLoaded());
  DiskGeometry geometry;
  EXPECT_EQ(platform::GetDiskGeometry("C:\\", &geometry), ERROR_SUCCESS);
  workstation_.drives().FailKernelModule();
  EXPECT_FALSE(platform::KernelModuleLoaded());
}
#endif

}  // namespace
