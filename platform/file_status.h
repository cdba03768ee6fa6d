// A file's status as a directory listing gives it: times, size and attributes.
#pragma once

#include <cstdint>

#include "platform/files.h"

namespace platform {

// The attribute bits that the report names.
inline constexpr std::uint32_t kAttributeReadOnly = 0x01;
inline constexpr std::uint32_t kAttributeHidden = 0x02;
inline constexpr std::uint32_t kAttributeSystem = 0x04;
inline constexpr std::uint32_t kAttributeArchive = 0x20;

struct FileStatus {
  // In UTC. A time that the file system does not hold is zero.
  FileTime creation;
  FileTime lastWrite;
  FileTime lastAccess;
  std::uint64_t size = 0;
  std::uint32_t attributes = 0;  // FILE_ATTRIBUTE_* bits
};

// FindFirstFileA on `path`: the status of the file it names. False, with *status untouched,
// for a path of 260 (MAX_PATH) bytes or more and for a file that cannot be found.
bool GetFileStatus(const char* path, FileStatus* status);

// A moment as the local clock reads it.
struct LocalTime {
  int year = 0;
  int month = 0;  // 1 to 12
  int day = 0;    // 1 to 31
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// FileTimeToLocalFileTime, then FileTimeToSystemTime: a UTC time in the workstation's local
// time (its time zone and summer time). False, with *local untouched, when it has no such form.
bool ToLocalTime(const FileTime& utc, LocalTime* local);

}  // namespace platform
