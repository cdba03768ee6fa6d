// Where each backend starts its search for a unique name (File::CreateUnique,
// CreateUniqueFolder); the search itself is the same for both.
#pragma once

#include <cstdint>

namespace platform {

// A number to count names up from: on Windows different for each process and call, so that
// the first name tried is nearly always free; on the simulated workstation a plain count.
std::uint32_t UniqueNameStart();

}  // namespace platform
