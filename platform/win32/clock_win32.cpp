// The time of day from the real system.
#include "platform/win32/windows_api.h"

#include "platform/clock.h"

namespace platform {

LocalTime GetLocalTimeNow() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return LocalTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

}  // namespace platform
