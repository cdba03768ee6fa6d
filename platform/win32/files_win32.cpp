// Files on the real file system.
#include "platform/win32/windows_api.h"

#include "platform/files.h"

#include <cstring>
#include <utility>
#include <vector>

#include "platform/unique_names.h"

namespace platform {
namespace {

HANDLE Handle(void* handle) { return static_cast<HANDLE>(handle); }

static_assert(static_cast<DWORD>(SeekOrigin::kBegin) == FILE_BEGIN);
static_assert(static_cast<DWORD>(SeekOrigin::kCurrent) == FILE_CURRENT);
static_assert(static_cast<DWORD>(SeekOrigin::kEnd) == FILE_END);

// A FindFirstFileA search, closed on every path.
class FindHandle {
 public:
  explicit FindHandle(HANDLE handle) : handle_(handle) {}
  ~FindHandle() {
    if (IsOpen()) FindClose(handle_);
  }
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

long OpenFile(const char* path, DWORD access, DWORD share, DWORD disposition, void** handle) {
  const HANDLE file =
      CreateFileA(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return static_cast<long>(GetLastError());
  *handle = file;
  return ERROR_SUCCESS;
}

}  // namespace

std::uint32_t UniqueNameStart() {
  static volatile LONG calls = 0;
  const auto call = static_cast<std::uint32_t>(InterlockedIncrement(&calls));
  return (static_cast<std::uint32_t>(GetCurrentProcessId()) << 16) ^ GetTickCount() ^
         (call * 0x9E3779B1u);
}

std::uint32_t GetTempFolder(char* buffer, std::uint32_t size, long* error) {
  // Asked into a scratch buffer, so that the caller's stays untouched when the folder does not
  // fit whatever the system does with a short one.
  std::vector<char> scratch(MAX_PATH + 1);
  DWORD length = GetTempPathA(static_cast<DWORD>(scratch.size()), scratch.data());
  if (length >= scratch.size()) {
    scratch.resize(length);
    length = GetTempPathA(static_cast<DWORD>(scratch.size()), scratch.data());
    if (length >= scratch.size()) {  // it grew in between
      if (error != nullptr) *error = ERROR_INSUFFICIENT_BUFFER;
      return 0;
    }
  }
  if (length == 0) {
    if (error != nullptr) *error = static_cast<long>(GetLastError());
    return 0;
  }
  if (buffer == nullptr || size <= length) return length + 1;
  std::memcpy(buffer, scratch.data(), length + 1);
  return length;
}

File::~File() {
  if (handle_ != nullptr) (void)Close();
}

long File::CreateForWriting(const char* path) {
  if (handle_ != nullptr) (void)Close();
  return OpenFile(path, GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS, &handle_);
}

long File::OpenForReading(const char* path) {
  if (handle_ != nullptr) (void)Close();
  return OpenFile(path, GENERIC_READ, 0, OPEN_EXISTING, &handle_);
}

long File::OpenSharedForReading(const char* path) {
  if (handle_ != nullptr) (void)Close();
  return OpenFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, &handle_);
}

long File::OpenForAppending(const char* path) {
  if (handle_ != nullptr) (void)Close();
  // Append access alone: the system puts every write at the end, however others move it.
  return OpenFile(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING,
                  &handle_);
}

long File::Write(const void* data, std::uint32_t size) {
  if (handle_ == nullptr) return ERROR_INVALID_HANDLE;
  DWORD written = 0;
  if (!WriteFile(Handle(handle_), data, size, &written, nullptr)) {
    return static_cast<long>(GetLastError());
  }
  // A synchronous write to a file stops short only when the disk is full.
  return written == size ? ERROR_SUCCESS : ERROR_DISK_FULL;
}

long File::Read(void* data, std::uint32_t size, std::uint32_t* read) {
  if (read == nullptr) return ERROR_INVALID_PARAMETER;
  *read = 0;
  if (handle_ == nullptr) return ERROR_INVALID_HANDLE;
  DWORD count = 0;
  if (!ReadFile(Handle(handle_), data, size, &count, nullptr)) {
    return static_cast<long>(GetLastError());
  }
  *read = count;
  return ERROR_SUCCESS;
}

long File::Seek(std::int64_t offset, SeekOrigin from, std::uint64_t* position) {
  if (handle_ == nullptr) return ERROR_INVALID_HANDLE;
  // SetFilePointer with both halves: it is in every Windows.
  LONG high = static_cast<LONG>(offset >> 32);
  SetLastError(ERROR_SUCCESS);
  const DWORD low = SetFilePointer(Handle(handle_), static_cast<LONG>(offset & 0xFFFFFFFF), &high,
                                   static_cast<DWORD>(from));
  // INVALID_SET_FILE_POINTER is also a valid low half: only the error code tells them apart.
  if (low == INVALID_SET_FILE_POINTER) {
    const DWORD error = GetLastError();
    if (error != ERROR_SUCCESS) return static_cast<long>(error);
  }
  if (position != nullptr) {
    *position = (static_cast<std::uint64_t>(static_cast<DWORD>(high)) << 32) | low;
  }
  return ERROR_SUCCESS;
}

long File::Close() {
  if (handle_ == nullptr) return ERROR_INVALID_HANDLE;
  const HANDLE handle = Handle(handle_);
  handle_ = nullptr;  // gone even when closing fails: it must not be closed twice
  return CloseHandle(handle) ? ERROR_SUCCESS : static_cast<long>(GetLastError());
}

long File::CreateNew(const char* path) {
  if (handle_ != nullptr) (void)Close();
  return OpenFile(path, GENERIC_WRITE, FILE_SHARE_READ, CREATE_NEW, &handle_);
}

long File::Flush() {
  if (handle_ == nullptr) return ERROR_INVALID_HANDLE;
  return FlushFileBuffers(Handle(handle_)) ? ERROR_SUCCESS : static_cast<long>(GetLastError());
}

long LookUpPath(const char* path) {
  return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES ? ERROR_SUCCESS
                                                             : static_cast<long>(GetLastError());
}

long RemoveFile(const char* path) {
  return DeleteFileA(path) ? ERROR_SUCCESS : static_cast<long>(GetLastError());
}

bool GetLocalWriteTime(const char* path, FileTime* time) {
  *time = FileTime{};
  WIN32_FIND_DATAA found;
  ZeroMemory(&found, sizeof(found));
  const FindHandle search(FindFirstFileA(path, &found));
  if (!search.IsOpen()) return false;
  FILETIME local = {};
  if (!FileTimeToLocalFileTime(&found.ftLastWriteTime, &local)) return false;
  time->low = local.dwLowDateTime;
  time->high = local.dwHighDateTime;
  return true;
}

bool ToDosDateTime(const FileTime& time, std::uint16_t* dosDate, std::uint16_t* dosTime) {
  const FILETIME fileTime = {time.low, time.high};
  WORD date = 0;
  WORD clock = 0;
  if (!FileTimeToDosDateTime(&fileTime, &date, &clock)) return false;
  *dosDate = date;
  *dosTime = clock;
  return true;
}

long CreateFolder(const char* path) {
  return CreateDirectoryA(path, nullptr) ? ERROR_SUCCESS : static_cast<long>(GetLastError());
}

long RemoveFolder(const char* path) {
  return RemoveDirectoryA(path) ? ERROR_SUCCESS : static_cast<long>(GetLastError());
}

long ListFolder(const std::string& folder, std::vector<FolderEntry>* entries) {
  entries->clear();
  WIN32_FIND_DATAA found;
  ZeroMemory(&found, sizeof(found));
  const FindHandle search(FindFirstFileA((folder + "*").c_str(), &found));
  if (!search.IsOpen()) {
    const DWORD error = GetLastError();
    // A folder with nothing in it, not even "." (the root of some drives).
    return error == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : static_cast<long>(error);
  }
  std::vector<FolderEntry> listed;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    listed.push_back(FolderEntry{name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (FindNextFileA(search.get(), &found));
  const DWORD error = GetLastError();
  if (error != ERROR_NO_MORE_FILES) return static_cast<long>(error);
  *entries = std::move(listed);
  return ERROR_SUCCESS;
}

long MoveFileTo(const char* from, const char* to, bool replaceExisting) {
  DWORD flags = MOVEFILE_WRITE_THROUGH;
  if (replaceExisting) flags |= MOVEFILE_REPLACE_EXISTING;
  return MoveFileExA(from, to, flags) ? ERROR_SUCCESS : static_cast<long>(GetLastError());
}

long GetFullPath(const char* path, std::string* full) {
  // The first call gives the size with the zero; the second the path without it.
  const DWORD needed = GetFullPathNameA(path, 0, nullptr, nullptr);
  if (needed == 0) return static_cast<long>(GetLastError());
  std::vector<char> buffer(needed + 1);
  const DWORD length =
      GetFullPathNameA(path, static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
  if (length == 0) return static_cast<long>(GetLastError());
  if (length >= buffer.size()) return ERROR_INSUFFICIENT_BUFFER;  // the current folder changed
  full->assign(buffer.data(), length);
  return ERROR_SUCCESS;
}

}  // namespace platform
