// The file seam on POSIX, for the benchmark alone: the packer then reads and writes real files,
// as it does on Windows, instead of the simulated workstation's in-memory ones. Only what the
// packer calls is here (a move always replaces), the message box goes to stderr, and a run's
// claim, which the benchmark never contends for, yields as a worker would.
#include <fcntl.h>
#include <sched.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/files.h"
#include "platform/prompt.h"
#include "platform/thread.h"
#include "platform/unique_names.h"
#include "platform/win32_codes.h"

namespace platform {
namespace {

constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600;
constexpr std::uint64_t kTicksPerSecond = 10000000;

int Descriptor(void* handle) { return *static_cast<int*>(handle); }

// errno as the Win32 code that the packer's callers would see.
long LastError() {
  switch (errno) {
    case ENOENT:
      return ERROR_FILE_NOT_FOUND;
    case EEXIST:
      return ERROR_FILE_EXISTS;
    case EACCES:
    case EPERM:
      return ERROR_ACCESS_DENIED;
    case ENOSPC:
      return ERROR_DISK_FULL;
    case EINVAL:
      return ERROR_INVALID_PARAMETER;
    default:
      return 31;  // ERROR_GEN_FAILURE
  }
}

long OpenDescriptor(const char* path, int flags, void** handle) {
  const int fd = open(path, flags | O_CLOEXEC, 0644);
  if (fd < 0) return LastError();
  *handle = new int(fd);
  return ERROR_SUCCESS;
}

}  // namespace

File::~File() {
  if (handle_ != nullptr) (void)Close();
}

long File::CreateForWriting(const char* path) {
  if (handle_ != nullptr) (void)Close();
  return OpenDescriptor(path, O_WRONLY | O_CREAT | O_TRUNC, &handle_);
}

long File::OpenForReading(const char* path) {
  if (handle_ != nullptr) (void)Close();
  return OpenDescriptor(path, O_RDONLY, &handle_);
}

// POSIX has no share modes: every read shares.
long File::OpenSharedForReading(const char* path) { return OpenForReading(path); }

long File::Write(const void* data, std::uint32_t size) {
  if (handle_ == nullptr) return ERROR_INVALID_HANDLE;
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t written = write(Descriptor(handle_), bytes, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return LastError();
    }
    bytes += written;
    size -= static_cast<std::uint32_t>(written);
  }
  return ERROR_SUCCESS;
}

long File::Read(void* data, std::uint32_t size, std::uint32_t* read) {
  *read = 0;
  if (handle_ == nullptr) return ERROR_INVALID_HANDLE;
  ssize_t count = 0;
  do {
    count = ::read(Descriptor(handle_), data, size);
  } while (count < 0 && errno == EINTR);
  if (count < 0) return LastError();
  *read = static_cast<std::uint32_t>(count);
  return ERROR_SUCCESS;
}

long File::Seek(std::int64_t offset, SeekOrigin from, std::uint64_t* position) {
  if (handle_ == nullptr) return ERROR_INVALID_HANDLE;
  const int whence = from == SeekOrigin::kBegin     ? SEEK_SET
                     : from == SeekOrigin::kCurrent ? SEEK_CUR
                                                    : SEEK_END;
  const off_t at = lseek(Descriptor(handle_), offset, whence);
  if (at < 0) return errno == EINVAL ? ERROR_NEGATIVE_SEEK : LastError();
  if (position != nullptr) *position = static_cast<std::uint64_t>(at);
  return ERROR_SUCCESS;
}

long File::Close() {
  if (handle_ == nullptr) return ERROR_INVALID_HANDLE;
  int* fd = static_cast<int*>(handle_);
  handle_ = nullptr;
  const int result = close(*fd);
  delete fd;
  return result == 0 ? ERROR_SUCCESS : LastError();
}

long File::CreateNew(const char* path) {
  if (handle_ != nullptr) (void)Close();
  return OpenDescriptor(path, O_WRONLY | O_CREAT | O_EXCL, &handle_);
}

long File::Flush() {
  if (handle_ == nullptr) return ERROR_INVALID_HANDLE;
  return fsync(Descriptor(handle_)) == 0 ? ERROR_SUCCESS : LastError();
}

std::uint32_t UniqueNameStart() { return static_cast<std::uint32_t>(getpid()) << 8; }

long CreateFolder(const char* path) { return mkdir(path, 0755) == 0 ? ERROR_SUCCESS : LastError(); }

long MoveFileTo(const char* from, const char* to, bool) {
  return rename(from, to) == 0 ? ERROR_SUCCESS : LastError();
}

long LookUpPath(const char* path) { return access(path, F_OK) == 0 ? ERROR_SUCCESS : LastError(); }

long RemoveFile(const char* path) { return unlink(path) == 0 ? ERROR_SUCCESS : LastError(); }

bool GetLocalWriteTime(const char* path, FileTime* time) {
  *time = FileTime{};
  struct stat status {};
  if (stat(path, &status) != 0) return false;
  tm local{};
  localtime_r(&status.st_mtime, &local);
  const std::uint64_t ticks =
      static_cast<std::uint64_t>(status.st_mtime + local.tm_gmtoff + kSecondsFrom1601To1970) *
      kTicksPerSecond;
  *time = FileTime{static_cast<std::uint32_t>(ticks), static_cast<std::uint32_t>(ticks >> 32)};
  return true;
}

bool ToDosDateTime(const FileTime& time, std::uint16_t* dosDate, std::uint16_t* dosTime) {
  const std::uint64_t ticks = (static_cast<std::uint64_t>(time.high) << 32) | time.low;
  const time_t seconds = static_cast<time_t>(ticks / kTicksPerSecond) - kSecondsFrom1601To1970;
  tm fields{};
  if (gmtime_r(&seconds, &fields) == nullptr || fields.tm_year < 80) return false;
  *dosDate = static_cast<std::uint16_t>(((fields.tm_year - 80) << 9) | ((fields.tm_mon + 1) << 5) |
                                        fields.tm_mday);
  *dosTime = static_cast<std::uint16_t>((fields.tm_hour << 11) | (fields.tm_min << 5) |
                                        (fields.tm_sec / 2));
  return true;
}

void LetSentMessagesThrough() { sched_yield(); }

int ShowMessageBox(const char* text, void*) {
  std::fprintf(stderr, "message box: %s\n", text);
  return IDOK;
}

}  // namespace platform
