// File status and local time on the real system.
#include "platform/win32/windows_api.h"

#include <cstring>

#include "platform/file_status.h"

namespace platform {
namespace {

FileTime ToFileTime(const FILETIME& time) { return {time.dwLowDateTime, time.dwHighDateTime}; }

}  // namespace

bool GetFileStatus(const char* path, FileStatus* status) {
  if (path == nullptr || std::strlen(path) >= MAX_PATH) return false;
  WIN32_FIND_DATAA found;
  ZeroMemory(&found, sizeof(found));
  const HANDLE search = FindFirstFileA(path, &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  status->creation = ToFileTime(found.ftCreationTime);
  status->lastWrite = ToFileTime(found.ftLastWriteTime);
  status->lastAccess = ToFileTime(found.ftLastAccessTime);
  status->size = (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
  status->attributes = found.dwFileAttributes;
  return true;
}

bool ToLocalTime(const FileTime& utc, LocalTime* local) {
  const FILETIME universal = {utc.low, utc.high};
  FILETIME localTime = {};
  SYSTEMTIME parts = {};
  if (!FileTimeToLocalFileTime(&universal, &localTime) ||
      !FileTimeToSystemTime(&localTime, &parts)) {
    return false;
  }
  *local =
      LocalTime{parts.wYear, parts.wMonth, parts.wDay, parts.wHour, parts.wMinute, parts.wSecond};
  return true;
}

}  // namespace platform
