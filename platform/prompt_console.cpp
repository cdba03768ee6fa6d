// Prompts for a console program: messages to the standard error, Save As answered as told.
#include "platform/prompt_console.h"

#include <string_view>
#include <utility>

#include "platform/code_page.h"
#include "platform/console.h"
#include "platform/prompt.h"
#include "platform/win32_codes.h"

namespace platform {
namespace {

// Set by the program's main thread before the export runs there; never two at once.
std::optional<std::string> g_saveAsAnswer;

}  // namespace

void AnswerNextSaveAs(std::optional<std::string> path) { g_saveAsAnswer = std::move(path); }

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

SaveAsAnswer AskSaveAsPath(const char*, const char*, std::string* path, unsigned long*) {
  std::optional<std::string> answer = std::exchange(g_saveAsAnswer, std::nullopt);
  if (!answer) return SaveAsAnswer::kCancelled;
  // As the dialog's own buffer would refuse it.
  if (answer->size() >= kSaveAsPathCapacity) return SaveAsAnswer::kTooLong;
  *path = std::move(*answer);
  return SaveAsAnswer::kConfirmed;
}

}  // namespace platform
