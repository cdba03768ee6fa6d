// The contract of the file version seam, on the simulated workstation natively and on Wine's
// version.dll in the Windows build, where this test's own executable carries a version resource
// (versioned.rc) and is copied under the names of the files a report looks at. What Wine cannot
// produce (a resource without fixed information, a failing read) is at the end.
#ifdef _WIN32
#include "platform/win32/windows_api.h"
#endif

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_version.h"
#include "tests/support/test_files.h"
#ifndef _WIN32
#include "platform/sim/workstation.h"
#endif

namespace {

using platform::FixedFileVersion;

constexpr FixedFileVersion kVersion{(2u << 16) | 1u, (300u << 16) | 4u};

class FileVersionConformance : public ::testing::Test {
 protected:
  // A file with the version 2.1.300.4 in the temporary folder.
  std::string VersionedFile(const std::string& name) {
    const std::string path = files_.TempFolder() + name;
#ifdef _WIN32
    char self[MAX_PATH];
    EXPECT_GT(GetModuleFileNameA(nullptr, self, MAX_PATH), 0u);
    EXPECT_TRUE(CopyFileA(self, path.c_str(), FALSE)) << GetLastError();
#else
    platform::sim::Workstation::Current().fileVersions().Set(path, kVersion, 1652);
#endif
    return path;
  }

  // The version read as the client section reads it: the reported size, then the query.
  static bool ReadVersion(const std::string& path, FixedFileVersion* version) {
    const std::uint32_t size = platform::GetVersionResourceSize(path.c_str());
    if (size == 0) return false;
    std::vector<std::uint32_t> resource(size / 4 + 1);
    return platform::ReadVersionResource(path.c_str(), size, resource.data()) &&
           platform::QueryFixedFileVersion(resource.data(), version);
  }

  TestFiles files_;  // on the simulated backend, it holds the workstation
};

TEST_F(FileVersionConformance, VersionReadsBackWhateverTheFileIsNamed) {
  for (const char* name : {"versioned.exe", "dolvane.dll", "TovraDrv.sys"}) {
    SCOPED_TRACE(name);
    const std::string path = VersionedFile(name);
    FixedFileVersion version;
    ASSERT_TRUE(ReadVersion(path, &version));
    EXPECT_EQ(version.mostSignificant, kVersion.mostSignificant);
    EXPECT_EQ(version.leastSignificant, kVersion.leastSignificant);
  }
}

TEST_F(FileVersionConformance, FilesWithoutAResourceHaveSizeZero) {
  const std::string text = files_.TempFolder() + "plain.txt";
  files_.Write(text, "no resource here");
  EXPECT_EQ(platform::GetVersionResourceSize(text.c_str()), 0u);
  const std::string missing = files_.TempFolder() + "missing.dll";
  EXPECT_EQ(platform::GetVersionResourceSize(missing.c_str()), 0u);
  char buffer[64];
  EXPECT_FALSE(platform::ReadVersionResource(missing.c_str(), sizeof(buffer), buffer));
}

#ifndef _WIN32
TEST_F(FileVersionConformance, SimResourceReadInPartOrWithoutFixedInfoHasNoVersion) {
  const std::string large = files_.TempFolder() + "large.dll";
  platform::sim::Workstation::Current().fileVersions().Set(large, kVersion, 10000);
  ASSERT_EQ(platform::GetVersionResourceSize(large.c_str()), 10000u);
  std::vector<std::uint32_t> part(4096 / 4);
  ASSERT_TRUE(platform::ReadVersionResource(large.c_str(), 4096, part.data()));
  // The query would walk past the 4096 bytes read, as the real one walks the resource's own
  // length: only the whole resource may be queried. Here the part is padded to show the miss.
  part.resize(10000 / 4 + 1, 0);
  FixedFileVersion version;
  EXPECT_FALSE(platform::QueryFixedFileVersion(part.data(), &version));
  EXPECT_TRUE(ReadVersion(large, &version));

  const std::string bare = files_.TempFolder() + "bare.dll";
  platform::sim::Workstation::Current().fileVersions().SetWithoutFixedInfo(bare);
  EXPECT_GT(platform::GetVersionResourceSize(bare.c_str()), 0u);
  EXPECT_FALSE(ReadVersion(bare, &version));

  platform::sim::Workstation::Current().fileVersions().FailRead(large);
  std::vector<std::uint32_t> whole(10000 / 4 + 1);
  EXPECT_FALSE(platform::ReadVersionResource(large.c_str(), 10000, whole.data()));
}
#endif

}  // namespace
