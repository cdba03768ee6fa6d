// Files: the temporary folder, creating, writing, reading, attributes, deletion and times.
//
// Calls return the Win32 error code (GetLastError) on failure and ERROR_SUCCESS otherwise,
// unless they say otherwise.
#pragma once

#include <cstdint>

namespace platform {

// GetTempPathA(size, buffer): the folder with its trailing backslash. Returns its length in
// bytes without the zero; 0 on failure; and, when it does not fit, the size needed with the
// zero, leaving the buffer untouched.
std::uint32_t GetTempFolder(char* buffer, std::uint32_t size);

// Where a seek counts from: FILE_BEGIN, FILE_CURRENT, FILE_END.
enum class SeekOrigin : std::uint32_t { kBegin = 0, kCurrent = 1, kEnd = 2 };

// An open file. Move-only; the destructor closes it (a failure to close is then lost: close
// explicitly where it matters).
class File {
 public:
  File() = default;
  ~File();
  File(File&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL):
  // a new, empty file, replacing one of that name. Both opening calls close any file held
  // before; on failure the object holds none.
  [[nodiscard]] long CreateForWriting(const char* path);
  // CreateFileA(path, GENERIC_READ, no sharing, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL).
  [[nodiscard]] long OpenForReading(const char* path);

  // WriteFile of the whole block; a short write is a failure.
  [[nodiscard]] long Write(const void* data, std::uint32_t size);
  // ReadFile of up to `size` bytes; *read is 0 at the end of the file and on failure.
  [[nodiscard]] long Read(void* data, std::uint32_t size, std::uint32_t* read);
  // SetFilePointer: moves to `offset` bytes from `from`, and gives the new position from the
  // start in *position (when not null). A position before the start gives ERROR_NEGATIVE_SEEK
  // and leaves the position as it was; one past the end is allowed, and the next write fills
  // the gap with zeros.
  [[nodiscard]] long Seek(std::int64_t offset, SeekOrigin from, std::uint64_t* position);
  // CloseHandle, with its result.
  [[nodiscard]] long Close();

  bool IsOpen() const { return handle_ != nullptr; }

 private:
  void* handle_ = nullptr;  // the backend's file handle
};

// GetFileAttributesA says the path exists.
bool FileExists(const char* path);

// DeleteFileA.
[[nodiscard]] long RemoveFile(const char* path);

// A FILETIME: 100-nanosecond intervals since 1601, in two halves.
struct FileTime {
  std::uint32_t low = 0;
  std::uint32_t high = 0;
};

// FindFirstFileA on `path` and the found entry's last-write time through
// FileTimeToLocalFileTime. False, with a zero time, when nothing is found.
bool GetLocalWriteTime(const char* path, FileTime* time);

// FileTimeToDosDateTime. False when the time has no DOS form (before 1980).
bool ToDosDateTime(const FileTime& time, std::uint16_t* dosDate, std::uint16_t* dosTime);

}  // namespace platform
