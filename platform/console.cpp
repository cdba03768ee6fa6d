// The backend-independent half of the console: how text reaches its reader.
#include "platform/console.h"

#include "platform/code_page.h"
#include "platform/win32_codes.h"

namespace platform {

long WriteText(StdStream stream, std::string_view text) {
  if (text.empty()) return ERROR_SUCCESS;
  const std::u16string wide = ToUtf16(text, kCodePageUtf8);
  if (IsConsoleWindow(stream)) return WriteWide(stream, wide);
  return WriteBytes(stream, FromUtf16(wide, ConsoleOutputCodePage()));
}

}  // namespace platform
