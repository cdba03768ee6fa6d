// Files on the simulated workstation.
#include "platform/files.h"

#include "platform/sim/workstation.h"
#include "platform/unique_names.h"
#include "platform/win32_codes.h"

namespace platform {
namespace {

sim::Files& Sim() { return sim::Workstation::Current().files(); }

std::string Text(const char* text) { return text != nullptr ? text : ""; }

constexpr std::uint64_t kTicksPerSecond = 10000000ull;
constexpr std::int64_t kDaysFrom1601To1970 = 134774;

// The proleptic Gregorian date of a day counted from 1970-01-01 (H. Hinnant's civil_from_days).
void CivilFromDays(std::int64_t days, int* year, unsigned* month, unsigned* day) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
  const unsigned yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const unsigned shiftedMonth = (5 * dayOfYear + 2) / 153;  // March is 0
  *day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
  *month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
  *year = static_cast<int>(yearOfEra + era * 400) + (*month <= 2 ? 1 : 0);
}

}  // namespace

std::uint32_t GetTempFolder(char* buffer, std::uint32_t size, long* error) {
  long code = sim::EnterCall("GetTempPathA", "", ERROR_ACCESS_DENIED);
  const std::uint32_t length = code != 0 ? 0 : Sim().TempFolder(buffer, size, &code);
  if (length == 0 && error != nullptr) *error = code;
  return length;
}

File::~File() {
  if (handle_ != nullptr) (void)Close();
}

long File::CreateForWriting(const char* path) {
  if (handle_ != nullptr) (void)Close();
  if (const long fault =
          sim::EnterCall("CreateFileA", "write " + Text(path), ERROR_ACCESS_DENIED)) {
    return fault;
  }
  return Sim().Create(path, &handle_);
}

long File::OpenForReading(const char* path) {
  if (handle_ != nullptr) (void)Close();
  // Another program has it open: a virus scanner, a backup.
  if (const long fault =
          sim::EnterCall("CreateFileA", "read " + Text(path), ERROR_SHARING_VIOLATION)) {
    return fault;
  }
  return Sim().Open(path, &handle_);
}

long File::OpenSharedForReading(const char* path) {
  if (handle_ != nullptr) (void)Close();
  if (const long fault =
          sim::EnterCall("CreateFileA", "read shared " + Text(path), ERROR_SHARING_VIOLATION)) {
    return fault;
  }
  return Sim().OpenShared(path, &handle_);
}

long File::OpenForAppending(const char* path) {
  if (handle_ != nullptr) (void)Close();
  if (const long fault =
          sim::EnterCall("CreateFileA", "append " + Text(path), ERROR_SHARING_VIOLATION)) {
    return fault;
  }
  return Sim().OpenForAppending(path, &handle_);
}

long File::Write(const void* data, std::uint32_t size) {
  if (const long fault = sim::EnterCall("WriteFile", Sim().PathOf(handle_), ERROR_DISK_FULL)) {
    return fault;
  }
  return Sim().Write(handle_, data, size);
}

long File::Read(void* data, std::uint32_t size, std::uint32_t* read) {
  if (const long fault = sim::EnterCall("ReadFile", Sim().PathOf(handle_), ERROR_LOCK_VIOLATION)) {
    if (read != nullptr) *read = 0;
    return fault;
  }
  return Sim().Read(handle_, data, size, read);
}

long File::Seek(std::int64_t offset, SeekOrigin from, std::uint64_t* position) {
  // The share the file lies on went away.
  if (const long fault =
          sim::EnterCall("SetFilePointer", Sim().PathOf(handle_), ERROR_NETNAME_DELETED)) {
    return fault;
  }
  return Sim().Seek(handle_, offset, from, position);
}

long File::Close() {
  if (handle_ == nullptr) return ERROR_INVALID_HANDLE;
  void* handle = handle_;
  handle_ = nullptr;
  // Closing a file written to can be when the disk says it is full; closing one read cannot fail.
  const long fault = sim::EnterCall("CloseHandle", Sim().PathOf(handle),
                                    Sim().IsWriting(handle) ? ERROR_DISK_FULL : 0);
  const long closed = Sim().Close(handle);
  return fault != 0 ? fault : closed;
}

long File::CreateNew(const char* path) {
  if (handle_ != nullptr) (void)Close();
  if (const long fault = sim::EnterCall("CreateFileA", "new " + Text(path), ERROR_ACCESS_DENIED)) {
    return fault;
  }
  return Sim().CreateNew(path, &handle_);
}

long File::Flush() {
  if (const long fault =
          sim::EnterCall("FlushFileBuffers", Sim().PathOf(handle_), ERROR_DISK_FULL)) {
    return fault;
  }
  return Sim().Flush(handle_);
}

long LookUpPath(const char* path) {
  if (const long fault = sim::EnterCall("GetFileAttributesA", Text(path), ERROR_ACCESS_DENIED)) {
    return fault;
  }
  return Sim().LookUp(path);
}

long RemoveFile(const char* path) {
  if (const long fault = sim::EnterCall("DeleteFileA", Text(path), ERROR_SHARING_VIOLATION)) {
    return fault;
  }
  return Sim().Remove(path);
}

bool GetLocalWriteTime(const char* path, FileTime* time) {
  if (sim::EnterCall("FindFirstFileA", Text(path), ERROR_ACCESS_DENIED) != 0) {
    *time = FileTime{};
    return false;
  }
  // Local time is UTC on the simulated workstation.
  return Sim().WriteTime(path, time);
}

bool ToDosDateTime(const FileTime& time, std::uint16_t* dosDate, std::uint16_t* dosTime) {
  if (sim::EnterCall("FileTimeToDosDateTime", "", ERROR_INVALID_PARAMETER) != 0) return false;
  const std::uint64_t ticks = (static_cast<std::uint64_t>(time.high) << 32) | time.low;
  const std::uint64_t seconds = ticks / kTicksPerSecond;
  const auto days = static_cast<std::int64_t>(seconds / 86400);
  const auto secondOfDay = static_cast<unsigned>(seconds % 86400);
  int year = 0;
  unsigned month = 0;
  unsigned day = 0;
  CivilFromDays(days - kDaysFrom1601To1970, &year, &month, &day);
  // Seven bits of years from 1980.
  if (year < 1980 || year > 2107) return false;
  *dosDate = static_cast<std::uint16_t>(((year - 1980) << 9) | (month << 5) | day);
  // Two-second steps: the odd second is dropped.
  *dosTime = static_cast<std::uint16_t>(((secondOfDay / 3600) << 11) |
                                        ((secondOfDay / 60 % 60) << 5) | (secondOfDay % 60 / 2));
  return true;
}

std::uint32_t UniqueNameStart() { return Sim().NextUniqueStart(); }

long CreateFolder(const char* path) {
  if (const long fault = sim::EnterCall("CreateDirectoryA", Text(path), ERROR_ACCESS_DENIED)) {
    return fault;
  }
  return Sim().CreateFolder(path);
}

long RemoveFolder(const char* path) {
  if (const long fault = sim::EnterCall("RemoveDirectoryA", Text(path), ERROR_SHARING_VIOLATION)) {
    return fault;
  }
  return Sim().RemoveFolder(path);
}

long ListFolder(const std::string& folder, std::vector<FolderEntry>* entries) {
  if (const long fault = sim::EnterCall("FindFirstFileA", folder + "*", ERROR_ACCESS_DENIED)) {
    entries->clear();
    return fault;
  }
  return Sim().List(folder, entries);
}

long MoveFileTo(const char* from, const char* to, bool replaceExisting) {
  // The target is open in another program, or read-only.
  if (const long fault =
          sim::EnterCall("MoveFileExA", Text(from) + " -> " + Text(to), ERROR_ACCESS_DENIED)) {
    return fault;
  }
  return Sim().Move(from, to, replaceExisting);
}

long GetFullPath(const char* path, std::string* full) {
  if (const long fault =
          sim::EnterCall("GetFullPathNameA", path != nullptr ? path : "", ERROR_INVALID_NAME)) {
    return fault;
  }
  return Sim().FullPath(path, full);
}

}  // namespace platform
