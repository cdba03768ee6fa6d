// Seeds and inspects the files that the backend under test sees, without going through the
// seam: the simulated workstation's natively, Wine's real file system in the Windows build.
// On the simulated workstation it also stands in for cmd.exe, for the two commands that the
// shell tests run: " /C exit N" and " /C echo TEXT>> \"PATH\"".
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/files.h"

class TestFiles {
 public:
  TestFiles();
  ~TestFiles();

  // The temporary folder, with its trailing backslash.
  std::string TempFolder() const;
  // Creates or replaces a file with `bytes`.
  void Write(std::string_view path, std::string_view bytes);
  // Sets a file's last-write time, given in UTC.
  void SetWriteTime(std::string_view path, platform::FileTime utc);
  std::optional<std::string> Contents(std::string_view path) const;
  // What the system's own conversion makes of a UTC time as local time.
  platform::FileTime LocalFromUtc(platform::FileTime utc) const;
  // A folder that does not exist, given by a path that names none: on the simulated
  // workstation, where any folder would do, it is declared gone. Returns the path.
  std::string AbsentFolder(std::string_view path);
  // Waits up to `seconds` for the file to hold `text`, as a program still running writes it;
  // the file's contents then (nullopt when there is none).
  std::optional<std::string> ContentsOnceHolding(std::string_view path, std::string_view text,
                                                 int seconds) const;

 private:
  // The whole file, opened with the share mode given (Win32 only).
  std::optional<std::string> ReadWhole(const std::string& path, unsigned long share) const;

  struct Backend;
  std::unique_ptr<Backend> backend_;
};

// A path in the temporary folder named after the running test and `name`, so that no two
// tests meet.
inline std::string PathForTest(const TestFiles& files, std::string_view name) {
  std::string path = files.TempFolder();
  path += ::testing::UnitTest::GetInstance()->current_test_info()->name();
  path += '-';
  path += name;
  return path;
}
