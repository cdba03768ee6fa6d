// The console program's backend of the prompt service (platform/prompt.h): no window, and
// nobody to answer one. A message goes to the standard error as a line of text; a Save As
// dialog is never shown and ends as cancelled: a program that asks nobody gives its export the
// archive's path instead.
#include <string_view>

#include "platform/code_page.h"
#include "platform/console.h"
#include "platform/prompt.h"
#include "platform/win32_codes.h"

namespace platform {

bool CanAskUser() { return false; }

int ShowMessageBox(const char* text, void*) {
  // The program's messages are code page 936; some end in a line break of their own.
  std::string_view message = text != nullptr ? text : "";
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
    message.remove_suffix(1);
  }
  (void)WriteText(StdStream::kError, ToUtf8(message, kCodePageGbk) + "\r\n");
  return IDOK;
}

SaveAsAnswer AskSaveAsPath(const char*, const char*, std::string*, unsigned long*) {
  return SaveAsAnswer::kCancelled;
}

}  // namespace platform
