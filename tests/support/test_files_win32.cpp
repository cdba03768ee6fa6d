// Seeds Wine's file system directly through the API, beside the seam under test.
#include "platform/win32/windows_api.h"

#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A file handle for the helper's own use.
class RawFile {
 public:
  RawFile(const std::string& path, DWORD access, DWORD disposition, DWORD share = FILE_SHARE_READ)
      : handle_(CreateFileA(path.c_str(), access, share, nullptr, disposition,
                            FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~RawFile() {
    if (ok()) CloseHandle(handle_);
  }
  RawFile(const RawFile&) = delete;
  RawFile& operator=(const RawFile&) = delete;
  bool ok() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

}  // namespace

struct TestFiles::Backend {};

TestFiles::TestFiles() = default;
TestFiles::~TestFiles() = default;

std::string TestFiles::TempFolder() const {
  char folder[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathA(sizeof(folder), folder);
  EXPECT_GT(length, 0u);
  EXPECT_LT(length, sizeof(folder));
  return folder;
}

void TestFiles::Write(std::string_view path, std::string_view bytes) {
  const std::string p(path);
  RawFile file(p, GENERIC_WRITE, CREATE_ALWAYS);
  ASSERT_TRUE(file.ok()) << "cannot create " << p << ": " << GetLastError();
  DWORD written = 0;
  ASSERT_TRUE(
      WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
  ASSERT_EQ(written, bytes.size());
}

void TestFiles::SetWriteTime(std::string_view path, platform::FileTime utc) {
  const std::string p(path);
  RawFile file(p, GENERIC_WRITE, OPEN_EXISTING);
  ASSERT_TRUE(file.ok()) << "cannot open " << p << ": " << GetLastError();
  const FILETIME time = {utc.low, utc.high};
  ASSERT_TRUE(SetFileTime(file.get(), nullptr, nullptr, &time)) << GetLastError();
}

std::optional<std::string> TestFiles::Contents(std::string_view path) const {
  return ReadWhole(std::string(path), FILE_SHARE_READ);
}

std::optional<std::string> TestFiles::ReadWhole(const std::string& p, unsigned long share) const {
  RawFile file(p, GENERIC_READ, OPEN_EXISTING, share);
  if (!file.ok()) return std::nullopt;
  std::string bytes;
  std::vector<char> block(1000);
  DWORD read = 0;
  while (ReadFile(file.get(), block.data(), static_cast<DWORD>(block.size()), &read, nullptr) &&
         read > 0) {
    bytes.append(block.data(), read);
  }
  return bytes;
}

platform::FileTime TestFiles::LocalFromUtc(platform::FileTime utc) const {
  const FILETIME in = {utc.low, utc.high};
  FILETIME out = {};
  EXPECT_TRUE(FileTimeToLocalFileTime(&in, &out));
  return platform::FileTime{out.dwLowDateTime, out.dwHighDateTime};
}

std::optional<std::string> TestFiles::ContentsOnceHolding(std::string_view path,
                                                          std::string_view text,
                                                          int seconds) const {
  // Read beside the program that still writes it.
  const std::string p(path);
  for (int tenth = 0; tenth < seconds * 10; ++tenth) {
    const std::optional<std::string> contents = ReadWhole(p, FILE_SHARE_READ | FILE_SHARE_WRITE);
    if (contents && contents->find(text) != std::string::npos) return contents;
    Sleep(100);
  }
  return ReadWhole(p, FILE_SHARE_READ | FILE_SHARE_WRITE);
}

std::string TestFiles::AbsentFolder(std::string_view path) {
  EXPECT_EQ(GetFileAttributesA(std::string(path).c_str()), INVALID_FILE_ATTRIBUTES) << path;
  return std::string(path);
}
