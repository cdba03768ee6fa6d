// Code page conversion by Windows itself.
#include "platform/win32/windows_api.h"

#include "platform/code_page.h"

#include <climits>

namespace platform {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

unsigned AnsiCodePage() { return GetACP(); }

std::u16string ToUtf16(std::string_view text, unsigned codePage) {
  if (text.empty() || text.size() > INT_MAX) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  if (length <= 0) return {};
  std::u16string wide(static_cast<std::size_t>(length), u'\0');
  const int made = MultiByteToWideChar(codePage, 0, text.data(), size,
                                       reinterpret_cast<wchar_t*>(wide.data()), length);
  wide.resize(made > 0 ? static_cast<std::size_t>(made) : 0);
  return wide;
}

std::string FromUtf16(std::u16string_view text, unsigned codePage) {
  if (text.empty() || text.size() > INT_MAX) return {};
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int size = static_cast<int>(text.size());
  // No default character given: each code page's own ('?' in the usual ones); UTF-8 takes none.
  const int length = WideCharToMultiByte(codePage, 0, wide, size, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return {};
  std::string bytes(static_cast<std::size_t>(length), '\0');
  const int made =
      WideCharToMultiByte(codePage, 0, wide, size, bytes.data(), length, nullptr, nullptr);
  bytes.resize(made > 0 ? static_cast<std::size_t>(made) : 0);
  return bytes;
}

}  // namespace platform
