// The packer on Wine's real file system: two files of the temporary folder go into an archive
// in the folder that VANTIK_PACKER_OUT names (a Unix path, reached through drive Z:). The test
// leaves beside it the files' contents and a list of the entries expected, which the next
// ctest test reads back with python3's zipfile and unzip.
#include "platform/win32/windows_api.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/files.h"
#include "report/archive_packer.h"
#include "tests/support/test_files.h"

namespace {

using namespace report;

std::string Text(std::size_t size, const char* word) {
  std::string text;
  for (int line = 0; text.size() < size; ++line) {
    text += std::string(word) + " " + std::to_string(line) + "\r\n";
  }
  text.resize(size);
  return text;
}

platform::FileTime Utc(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
  SYSTEMTIME fields = {};
  fields.wYear = year;
  fields.wMonth = month;
  fields.wDay = day;
  fields.wHour = hour;
  fields.wMinute = minute;
  fields.wSecond = second;
  FILETIME time = {};
  EXPECT_TRUE(SystemTimeToFileTime(&fields, &time));
  return platform::FileTime{time.dwLowDateTime, time.dwHighDateTime};
}

// The entry's date and time as zipfile shows them: local time, seconds in steps of two.
std::string ExpectedDateTime(const TestFiles& files, platform::FileTime utc) {
  const platform::FileTime local = files.LocalFromUtc(utc);
  const FILETIME time = {local.low, local.high};
  SYSTEMTIME fields = {};
  EXPECT_TRUE(FileTimeToSystemTime(&time, &fields));
  return std::to_string(fields.wYear) + " " + std::to_string(fields.wMonth) + " " +
         std::to_string(fields.wDay) + " " + std::to_string(fields.wHour) + " " +
         std::to_string(fields.wMinute) + " " + std::to_string(fields.wSecond / 2 * 2);
}

TEST(ArchivePackerOnWine, PacksTwoTempFilesAndDeletesThem) {
  const char* out = std::getenv("VANTIK_PACKER_OUT");
  ASSERT_NE(out, nullptr) << "VANTIK_PACKER_OUT names the folder for the archive";
  std::string folder = std::string("Z:") + out + "\\";
  for (char& c : folder) c = c == '/' ? '\\' : c;

  TestFiles files;
  const std::string temp = files.TempFolder();
  struct Packed {
    std::string path;
    std::string name;
    std::string contents;
    platform::FileTime utc;
  };
  // An exact multiple of 4096 bytes, and a longer log than minizip buffers at once.
  const Packed packed[] = {
      {temp + "Vantik.log", "Vantik.log", Text(150000, "route"), Utc(2010, 6, 15, 13, 45, 31)},
      {temp + "WindowsUpdate.log", "WindowsUpdate.log", Text(8192, "KB977377"),
       Utc(2011, 12, 31, 23, 59, 58)},
  };
  std::string manifest;
  for (std::size_t i = 0; i < std::size(packed); ++i) {
    files.Write(packed[i].path, packed[i].contents);
    files.SetWriteTime(packed[i].path, packed[i].utc);
    std::string expected = "expected-";
    expected += std::to_string(i + 1);
    files.Write(folder + expected, packed[i].contents);
    manifest +=
        packed[i].name + "\t" + expected + "\t" + ExpectedDateTime(files, packed[i].utc) + "\n";
  }
  files.Write(folder + "manifest.txt", manifest);
  // An older file at the target is replaced in one step; a run before must not pass for this.
  const std::string archive = folder + "Vantik.zip";
  files.Write(archive, "an older archive");

  EXPECT_EQ(PackExportFiles(archive,
                            {{packed[0].path, packed[0].name}, {packed[1].path, packed[1].name}}),
            1);

  EXPECT_NE(files.Contents(archive), "an older archive");
  for (const Packed& p : packed) EXPECT_FALSE(files.Contents(p.path)) << p.path;
  std::vector<platform::FolderEntry> entries;
  ASSERT_EQ(platform::ListFolder(folder, &entries), ERROR_SUCCESS);
  for (const platform::FolderEntry& entry : entries) {
    EXPECT_EQ(entry.name.find("Vantik.zip~"), std::string::npos) << entry.name << " left beside";
  }
}

}  // namespace
