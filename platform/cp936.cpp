#include "platform/cp936.h"

namespace platform::cp936 {

std::string ToUpper(std::string_view text) {
  std::string upper;
  upper.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = CharLength(text, i);
    if (length == 2) {
      upper.append(text.substr(i, 2));
    } else {
      upper += ToUpperAscii(text[i]);
    }
    i += length;
  }
  return upper;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size();) {
    const std::size_t length = CharLength(a, i);
    if (length != CharLength(b, i)) return false;
    if (length == 2) {
      if (a.compare(i, 2, b, i, 2) != 0) return false;
    } else if (ToUpperAscii(a[i]) != ToUpperAscii(b[i])) {
      return false;
    }
    i += length;
  }
  return true;
}

std::size_t Find(std::string_view text, std::string_view keyword) {
  if (keyword.empty()) return 0;
  for (std::size_t i = 0; i + keyword.size() <= text.size(); i += CharLength(text, i)) {
    if (text.compare(i, keyword.size(), keyword) == 0) return i;
  }
  return std::string_view::npos;
}

std::size_t PrefixLength(std::string_view text, std::size_t limit) {
  std::size_t length = 0;
  while (length < text.size()) {
    const std::size_t next = length + CharLength(text, length);
    if (next > limit) break;
    length = next;
  }
  return length;
}

std::size_t WholeLength(std::string_view text) {
  std::size_t length = 0;
  while (length < text.size()) {
    const std::size_t next = length + CharLength(text, length);
    if (next == text.size() && next - length == 1 &&
        IsLeadByte(static_cast<unsigned char>(text[length]))) {
      break;
    }
    length = next;
  }
  return length;
}

std::size_t AfterLast(std::string_view text, char separator) {
  std::size_t after = 0;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = CharLength(text, i);
    if (length == 1 && text[i] == separator) after = i + 1;
    i += length;
  }
  return after;
}

}  // namespace platform::cp936
