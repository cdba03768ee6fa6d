// The word size of the simulated Windows and of the program under test, which decide the
// registry views there are and whose module lists the program can read.
#pragma once

namespace platform::sim {

enum class Bitness { k32, k64 };

}  // namespace platform::sim
