// Files: the temporary folder, creating, writing, reading, attributes, deletion and times.
//
// Calls return the Win32 error code (GetLastError) on failure and ERROR_SUCCESS otherwise,
// unless they say otherwise.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/owned_handle.h"

namespace platform {

// GetTempPathA(size, buffer): the folder with its trailing backslash. Returns its length in
// bytes without the zero; 0 on failure, with the system's code in *error (when given); and, when
// it does not fit, the size needed with the zero, leaving the buffer untouched.
std::uint32_t GetTempFolder(char* buffer, std::uint32_t size, long* error = nullptr);

// Where a seek counts from: FILE_BEGIN, FILE_CURRENT, FILE_END.
enum class SeekOrigin : std::uint32_t { kBegin = 0, kCurrent = 1, kEnd = 2 };

// An open file. Move-only; the destructor closes it (a failure to close is then lost: close
// explicitly where it matters).
class File : public OwnedHandle<File> {
 public:
  File() = default;
  ~File();
  File(File&&) noexcept = default;
  File& operator=(File&&) noexcept = default;

  // CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL):
  // a new, empty file, replacing one of that name. Both opening calls close any file held
  // before; on failure the object holds none.
  [[nodiscard]] long CreateForWriting(const char* path);
  // CreateFileA(path, GENERIC_READ, no sharing, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL): fails
  // with ERROR_SHARING_VIOLATION while anyone else has the file open.
  [[nodiscard]] long OpenForReading(const char* path);
  // CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, ...): reads
  // a file that another program may still be writing to (a command that outlived its wait still
  // writes its output), as far as it is written. ERROR_SHARING_VIOLATION only where a holder
  // shares no reading.
  [[nodiscard]] long OpenSharedForReading(const char* path);
  // CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, ...):
  // each write goes to the file's end as it is at that moment, beside others that append too (a
  // shell's ">>"). ERROR_FILE_NOT_FOUND for a file that is not there; ERROR_SHARING_VIOLATION
  // while a holder shares no writing.
  [[nodiscard]] long OpenForAppending(const char* path);

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

  // -- Files that take another's place (see the block at the end). --
  // CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, CREATE_NEW, FILE_ATTRIBUTE_NORMAL): a
  // new, empty file; ERROR_FILE_EXISTS when the name is taken, which is left as it was.
  [[nodiscard]] long CreateNew(const char* path);
  // As CreateNew, on `stem` followed by kUniqueDigits hexadecimal digits: a new, empty file
  // under a name no file had, with that name in *path. A taken name is passed over for another, so
  // two programs never share one. ERROR_PATH_NOT_FOUND when the stem's folder does not exist.
  [[nodiscard]] long CreateUnique(const std::string& stem, std::string* path);
  // FlushFileBuffers: what was written is on the disk, or the share, before the file is
  // closed; a write that could only fail late fails here.
  [[nodiscard]] long Flush();

  bool IsOpen() const { return handle_ != nullptr; }
};

// GetFileAttributesA: ERROR_SUCCESS when the path exists (a file or a folder);
// ERROR_FILE_NOT_FOUND or ERROR_PATH_NOT_FOUND when it does not; any other code (access denied,
// a share out of reach) when the system cannot say, so that a caller never takes a file it could
// not look at for one that is not there.
[[nodiscard]] long LookUpPath(const char* path);
// The path is not there: LookUpPath's ERROR_FILE_NOT_FOUND or ERROR_PATH_NOT_FOUND.
bool IsNotThere(long lookedUp);

// LookUpPath says the path exists.
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

// ---- Replacing a file in one step; folders of the program's own --------------------------

// How many hexadecimal digits a unique name adds to its stem.
inline constexpr std::size_t kUniqueDigits = 8;

// The longest path, in characters, that the ANSI calls take (MAX_PATH less its terminating
// zero); a double-byte character counts once.
inline constexpr std::size_t kLongestPath = 259;

// CreateDirectoryA(path): ERROR_ALREADY_EXISTS when the name is taken, ERROR_PATH_NOT_FOUND
// when its parent does not exist.
[[nodiscard]] long CreateFolder(const char* path);

// CreateFolder on `stem` followed by kUniqueDigits hexadecimal digits, passing over taken names;
// the new folder, with its trailing backslash, in *path. ERROR_PATH_NOT_FOUND when the stem's
// folder does not exist.
[[nodiscard]] long CreateUniqueFolder(const std::string& stem, std::string* path);

// RemoveDirectoryA: an empty folder goes; one with anything in it gives ERROR_DIR_NOT_EMPTY.
[[nodiscard]] long RemoveFolder(const char* path);

struct FolderEntry {
  std::string name;  // without the folder
  bool isFolder = false;
};

// FindFirstFileA/FindNextFileA on `folder` (with its trailing backslash) followed by "*": what
// the folder holds, without "." and "..", in the order the system gives. *entries is replaced;
// on failure (ERROR_PATH_NOT_FOUND for a missing folder) it is left empty.
[[nodiscard]] long ListFolder(const std::string& folder, std::vector<FolderEntry>* entries);

// MoveFileExA(from, to, MOVEFILE_WRITE_THROUGH, and MOVEFILE_REPLACE_EXISTING when
// `replaceExisting`): the file takes its new name in one step, and a file that was there is
// gone. Without `replaceExisting` a file at `to` gives ERROR_ALREADY_EXISTS. On failure both
// files are as they were: a `to` that is open anywhere, or read-only, gives
// ERROR_ACCESS_DENIED; a `from` that is open gives ERROR_SHARING_VIOLATION; a folder of `to`
// that does not exist gives ERROR_PATH_NOT_FOUND.
[[nodiscard]] long MoveFileTo(const char* from, const char* to, bool replaceExisting);

// GetFullPathNameA: `path` made absolute against the current folder, in *full ("." and ".."
// resolved, '/' taken for '\\'). The file need not exist. On failure *full is untouched.
[[nodiscard]] long GetFullPath(const char* path, std::string* full);

}  // namespace platform
