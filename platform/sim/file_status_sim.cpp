// File status and local time on the simulated workstation, whose local time is UTC.
#include "platform/file_status.h"

#include <time.h>

#include <cstring>

#include "platform/sim/workstation.h"
#include "platform/win32_codes.h"

namespace platform {
namespace {

constexpr std::uint64_t kTicksPerSecond = 10000000ull;
constexpr std::uint64_t kSecondsFrom1601To1970 = 11644473600ull;

}  // namespace

bool GetFileStatus(const char* path, FileStatus* status) {
  if (sim::EnterCall("FindFirstFileA", path != nullptr ? path : "", ERROR_ACCESS_DENIED) != 0) {
    return false;
  }
  if (path == nullptr || std::strlen(path) >= 260) return false;
  return sim::Workstation::Current().files().Status(path, status);
}

bool ToLocalTime(const FileTime& utc, LocalTime* local) {
  if (sim::EnterCall("FileTimeToLocalFileTime", "", ERROR_INVALID_PARAMETER) != 0) return false;
  const std::uint64_t ticks = (static_cast<std::uint64_t>(utc.high) << 32) | utc.low;
  // FileTimeToSystemTime refuses the times with the top bit set.
  if ((ticks >> 63) != 0) return false;
  const auto seconds = static_cast<time_t>(static_cast<std::int64_t>(ticks / kTicksPerSecond) -
                                           static_cast<std::int64_t>(kSecondsFrom1601To1970));
  tm parts{};
  if (gmtime_r(&seconds, &parts) == nullptr) return false;
  *local = LocalTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
                     parts.tm_hour,        parts.tm_min,     parts.tm_sec};
  return true;
}

}  // namespace platform
