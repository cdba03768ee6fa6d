// The drive inventory on the simulated workstation, and the size text.
#include "collect/drives.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "platform/sim/workstation.h"
#include "platform/win32_codes.h"

namespace {

using namespace collect;

using platform::sim::SimDrive;

struct SizeCase {
  const char* name;
  std::int64_t count;
  const char* text;
};

void PrintTo(const SizeCase& c, std::ostream* os) { *os << c.name; }

const SizeCase kSizeCases[] = {
    {"Zero", 0, "0.00 bytes"},
    {"ThousandStaysInBytes", 1000, "1000.00 bytes"},
    {"AboveThousandIsDividedBy1024", 1001, "0.98 KB"},
    {"Million", 1000000, "976.56 KB"},
    {"RoundsUpToOneMegabyte", 1048000, "1.00 MB"},
    {"ThousandKilobytesStayInKilobytes", 1000 * 1024, "1000.00 KB"},
    {"EightyGigabyteDisk", 80023715840, "74.53 GB"},
    {"TwoTerabyteDisk", 2000398934016, "1.82 TB"},
    {"ThousandTerabytesStayInTerabytes", 1000LL << 40, "1000.00 TB"},
    {"AboveThousandTerabytesIsPetabytes", 1001LL << 40, "0.98 PB"},
    {"LargestCountIsExabytes", INT64_MAX, "8.00 EB"},
    {"NegativeCountIsNotDivided", -5000, "-5000.00 bytes"},
};

class ByteSize : public ::testing::TestWithParam<SizeCase> {};

TEST_P(ByteSize, TwoDecimalsAndTheUnit) {
  std::string text = "left over";
  FormatByteSize(GetParam().count, 2, text);
  EXPECT_EQ(text, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Examples, ByteSize, ::testing::ValuesIn(kSizeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ByteSizeDecimals, FollowTheArgument) {
  std::string text;
  FormatByteSize(1536, 0, text);
  EXPECT_EQ(text, "2 KB");
  FormatByteSize(1536, 3, text);
  EXPECT_EQ(text, "1.500 KB");
}

struct Listed {
  std::string root;
  int type;
  std::string typeName;
  std::string total;
  std::string free;

  bool operator==(const Listed&) const = default;
};

void PrintTo(const Listed& d, std::ostream* os) {
  *os << d.root << " " << d.type << " " << d.typeName << " " << d.total << " " << d.free;
}

std::vector<Listed> List(const std::vector<Drive>& drives) {
  std::vector<Listed> listed;
  for (const Drive& drive : drives) {
    listed.push_back(Listed{drive.rootPath, static_cast<int>(drive.kind), DriveKindName(drive.kind),
                            DriveSizeText(drive, drive.totalBytes),
                            DriveSizeText(drive, drive.freeBytes)});
  }
  return listed;
}

// A workstation with one drive of every kind, given out of letter order.
void AddEveryKind(platform::sim::Drives& drives) {
  drives.Add('Z', DRIVE_REMOTE, 2000398934016, 1048000)
      .Add('A', DRIVE_REMOVABLE, 1474560, 1000)
      .Add('D', DRIVE_CDROM, 700000000, 0)
      .Add('E', DRIVE_REMOVABLE, 8000000000, 4000000000)
      .Add('F', DRIVE_RAMDISK, 1000000, 1000000)
      .Add('G', DRIVE_UNKNOWN, 1000, 1000)
      .Add('H', DRIVE_NO_ROOT_DIR, 1000, 1000)
      .Add('K', 7, 1000, 1000);
}

TEST(Drives, FixedAndNetworkDrivesInLetterOrder) {
  platform::sim::Workstation ws;
  AddEveryKind(ws.drives());
  const std::vector<Drive> info = GatherDrives(DRIVE_MASK_FIXED | DRIVE_MASK_REMOTE);
  EXPECT_EQ(List(info),
            (std::vector<Listed>{{"C:\\", DRIVE_FIXED, "Fixed drive", "74.53 GB", "12.20 GB"},
                                 {"Z:\\", DRIVE_REMOTE, "Network drive", "1.82 TB", "1.00 MB"}}));
  const std::vector<std::string> asked = ws.drives().KindQueries();
  ASSERT_FALSE(asked.empty());
  EXPECT_EQ(asked.front(), "C:\\") << "A: and B: are never asked about";
}

TEST(Drives, EveryMaskBitKeepsItsKind) {
  platform::sim::Workstation ws;
  AddEveryKind(ws.drives());
  const std::vector<Drive> info =
      GatherDrives(DRIVE_MASK_FIXED | DRIVE_MASK_REMOTE | DRIVE_MASK_REMOVABLE | DRIVE_MASK_CDROM);
  std::vector<std::string> kept;
  for (const Listed& drive : List(info)) kept.push_back(drive.root + " " + drive.typeName);
  // RAM disks, unknown kinds, letters without a root and kinds beyond the table never are.
  EXPECT_EQ(kept, (std::vector<std::string>{"A:\\ Removable drive", "C:\\ Fixed drive",
                                            "D:\\ CD-ROM drive", "E:\\ Removable drive",
                                            "Z:\\ Network drive"}));
  EXPECT_EQ(ws.drives().KindQueries().front(), "A:\\") << "the removable bit starts at A:";
}

TEST(Drives, CdromAloneSkipsTheFloppyLetters) {
  platform::sim::Workstation ws;
  AddEveryKind(ws.drives());
  const std::vector<Drive> info = GatherDrives(DRIVE_MASK_CDROM);
  EXPECT_EQ(
      List(info),
      (std::vector<Listed>{{"D:\\", DRIVE_CDROM, "CD-ROM drive", "667.57 MB", "0.00 bytes"}}));
  EXPECT_EQ(ws.drives().KindQueries().front(), "C:\\");
}

TEST(Drives, FailedSpaceQueryShowsZeroAsText) {
  platform::sim::Workstation ws;
  SimDrive network;
  network.letter = 'N';
  network.kind = DRIVE_REMOTE;
  network.spaceError = ERROR_ACCESS_DENIED;
  ws.drives().Add(network);
  const std::vector<Drive> info = GatherDrives(DRIVE_MASK_FIXED | DRIVE_MASK_REMOTE);
  ASSERT_EQ(List(info).size(), 2u);
  EXPECT_EQ(List(info)[1], (Listed{"N:\\", DRIVE_REMOTE, "Network drive", "0", "0"}));
}

TEST(Drives, WithoutTheExtendedQueryClustersAreMultipliedIn32Bits) {
  platform::sim::Workstation ws;
  ws.drives().WithoutDiskSpaceEx();
  SimDrive small;
  small.letter = 'C';
  small.geometry = platform::DiskGeometry{8, 512, 1000, 250000};  // 1 GB, 4 MB free
  ws.drives().Add(small);
  SimDrive wrapping;
  wrapping.letter = 'D';
  // 2^20 clusters of 4096 bytes is 2^32 bytes: in 32 bits, 0.
  wrapping.geometry = platform::DiskGeometry{8, 512, 1u << 19, 1u << 20};
  ws.drives().Add(wrapping);
  SimDrive failing;
  failing.letter = 'E';
  failing.geometryError = ERROR_ACCESS_DENIED;
  ws.drives().Add(failing);
  const std::vector<Drive> info = GatherDrives(DRIVE_MASK_FIXED);
  const std::vector<Listed> listed = List(info);
  ASSERT_EQ(listed.size(), 3u);
  EXPECT_EQ(listed[0].total, "976.56 MB");
  EXPECT_EQ(listed[0].free, "3.91 MB");
  EXPECT_EQ(listed[1].total, "0.00 bytes");
  EXPECT_EQ(listed[1].free, "2.00 GB");
  EXPECT_EQ(listed[2].total, "0.00 bytes") << "a failed older query, unlike the newer one";
  EXPECT_EQ(listed[2].free, "0.00 bytes");
}

TEST(Drives, WithoutTheKernelModuleThereAreNone) {
  platform::sim::Workstation ws;
  ws.drives().FailKernelModule();
  EXPECT_TRUE(GatherDrives(DRIVE_MASK_FIXED).empty());
  EXPECT_TRUE(ws.drives().KindQueries().empty());
}

TEST(Drives, KindsOutsideTheTableAreUnknown) {
  EXPECT_EQ(std::string(DriveKindName(DRIVE_UNKNOWN)), "Unknown drive");
  EXPECT_EQ(std::string(DriveKindName(DRIVE_NO_ROOT_DIR)), "Unknown");
  EXPECT_EQ(std::string(DriveKindName(7)), "Unknown");
}

}  // namespace
