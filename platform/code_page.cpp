// The backend-independent half of code page conversion.
#include "platform/code_page.h"

namespace platform {

std::string ToUtf8(std::string_view text, unsigned codePage) {
  return FromUtf16(ToUtf16(text, codePage), kCodePageUtf8);
}

}  // namespace platform
