#include "text/append_format.h"

#include <cstdarg>
#include <cstdio>

namespace text {

void AppendFormat(std::string& text, const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  va_list measuring;
  va_copy(measuring, arguments);
  const int length = std::vsnprintf(nullptr, 0, format, measuring);
  va_end(measuring);
  if (length > 0) {
    const std::size_t start = text.size();
    // One byte more for the terminating zero that vsnprintf writes, then dropped.
    text.resize(start + static_cast<std::size_t>(length) + 1);
    std::vsnprintf(text.data() + start, static_cast<std::size_t>(length) + 1, format, arguments);
    text.resize(start + static_cast<std::size_t>(length));
  }
  va_end(arguments);
}

}  // namespace text
