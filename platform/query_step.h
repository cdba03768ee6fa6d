// Queries of the kind that ask how much room their answer needs, then read it into a buffer of
// that size. Where one stops matters to callers that tell the steps apart.
#pragma once

#include "platform/win32_codes.h"

namespace platform {

enum class QueryStep {
  kSize,      // the size query did not ask for a buffer
  kAllocate,  // the buffer could not be allocated
  kRead,      // the read into the buffer failed
};

// How a call ends at its size query, given that query's answer (anything but the one that asks
// for a buffer): with that answer, but for ERROR_SUCCESS, which gives no size and nothing to
// read, and must never pass for a read: ERROR_INVALID_DATA.
inline long SizeQueryEnd(long answer) {
  return answer == ERROR_SUCCESS ? ERROR_INVALID_DATA : answer;
}

}  // namespace platform
