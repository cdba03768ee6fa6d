// Text helpers shared by the simulated services: names compared as Windows compares them in the
// Chinese code page.
#pragma once

#include <string>
#include <string_view>

namespace platform::sim {

// A GBK (code page 936) lead byte: the byte after it belongs to the same character.
inline bool IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// Upper-cases ASCII letters only, stepping over double-byte characters whole: their trail
// bytes can look like letters or like '\\'.
inline std::string Fold(std::string_view text) {
  std::string folded;
  folded.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (IsLeadByte(c) && i + 1 < text.size()) {
      folded += text[i];
      folded += text[++i];
    } else {
      folded += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
  }
  return folded;
}

}  // namespace platform::sim
