// Text in code page 936 (GBK), the program's code page: a byte from 0x81 to 0xFE starts a
// two-byte character whose second byte can look like an ASCII letter or like '\\'. Every
// comparison, search and case change of program text goes through here, so that no trail byte
// is ever taken for a character of its own.
//
// Case rules are those of the ASCII letters only: Chinese characters have no case. (Windows'
// CharUpperBuffA also folds the full-width and Greek letters of GBK; the program never compares
// such texts.)
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform::cp936 {

// A lead byte: the byte after it belongs to the same character.
inline bool IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// The length in bytes (1 or 2) of the character that starts at `at`. A lead byte with nothing
// after it stands alone.
inline std::size_t CharLength(std::string_view text, std::size_t at) {
  return IsLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
}

inline char ToUpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

// An upper-case copy: ASCII letters upper-cased, double-byte characters copied whole.
std::string ToUpper(std::string_view text);

// Equal but for the case of ASCII letters, compared character by character.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

// The offset of the first occurrence of `keyword` that begins where a character begins
// (case-sensitive), or npos. An empty keyword is found at 0.
std::size_t Find(std::string_view text, std::string_view keyword);
inline bool Contains(std::string_view text, std::string_view keyword) {
  return Find(text, keyword) != std::string_view::npos;
}

// The length of the longest start of `text` that is at most `limit` bytes and ends where a
// character ends, so that cutting it there leaves no lead byte without its trail byte.
std::size_t PrefixLength(std::string_view text, std::size_t limit);

// The length of `text` without a lead byte at its very end: a text cut to a buffer may have
// lost the trail byte of its last character.
std::size_t WholeLength(std::string_view text);

// The offset just past the last `separator` (an ASCII byte) that stands as a character of its
// own, or 0 when there is none.
std::size_t AfterLast(std::string_view text, char separator);

}  // namespace platform::cp936
