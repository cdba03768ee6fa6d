// The date and time of day.
#pragma once

#include "platform/file_status.h"

namespace platform {

// GetLocalTime: now, as the local clock reads it. It cannot fail.
LocalTime GetLocalTimeNow();

}  // namespace platform
