// The dialogs' prompts on the simulated workstation: message boxes recorded for the tests to
// read, Save As answered as the test scripted it.
#include "platform/prompt.h"

#include "platform/sim/workstation.h"
#include "platform/win32_codes.h"

namespace platform {

int ShowMessageBox(const char* text, void*) {
  // No box can be shown: out of memory for its window.
  if (sim::EnterCall("MessageBoxA", text != nullptr ? text : "", ERROR_NOT_ENOUGH_MEMORY) != 0) {
    return 0;
  }
  return sim::Workstation::Current().RecordMessageBox(text);
}

SaveAsAnswer AskSaveAsPath(const char* initialName, const char* filter, std::string* path,
                           unsigned long* error) {
  constexpr long kNoMemory = 0x0009;  // CDERR_MEMALLOCFAILURE
  if (const long fault = sim::EnterCall("GetSaveFileNameA", "", kNoMemory)) {
    if (error != nullptr) *error = static_cast<unsigned long>(fault);
    return SaveAsAnswer::kFailed;
  }
  const sim::Workstation::SaveAsReply reply =
      sim::Workstation::Current().TakeSaveAsAnswer(initialName, filter);
  if (reply.error != 0) {
    if (error != nullptr) *error = reply.error;
    return SaveAsAnswer::kFailed;
  }
  if (!reply.path) return SaveAsAnswer::kCancelled;
  // A path that does not fit fails the dialog, as GetSaveFileNameA does (FNERR_BUFFERTOOSMALL).
  if (reply.path->size() >= kSaveAsPathCapacity) return SaveAsAnswer::kTooLong;
  *path = *reply.path;
  return SaveAsAnswer::kConfirmed;
}

bool CanAskUser() { return true; }

}  // namespace platform
