// Queries of the kind that ask how much room their answer needs, then read it into a buffer of
// that size. Where one stops matters to callers that tell the steps apart.
#pragma once

namespace platform {

enum class QueryStep {
  kSize,      // the size query did not ask for a buffer
  kAllocate,  // the buffer could not be allocated
  kRead,      // the read into the buffer failed
};

}  // namespace platform
