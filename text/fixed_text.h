// Bounded copies into the program's fixed-size text buffers.
#pragma once

#include <cstddef>
#include <cstring>

namespace text {

// Copies `text` into `buffer`, cutting it short if it does not fit; the result always ends
// within the buffer.
template <std::size_t N>
void CopyText(char (&buffer)[N], const char* text) {
  static_assert(N > 0);
  const std::size_t length = std::strlen(text);
  const std::size_t kept = length < N - 1 ? length : N - 1;
  std::memcpy(buffer, text, kept);
  buffer[kept] = '\0';
}

}  // namespace text
