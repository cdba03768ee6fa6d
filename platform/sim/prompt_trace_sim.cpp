// Traces and prompts on the simulated workstation: recorded for the tests to read.
#include "platform/prompt.h"
#include "platform/trace.h"

#include <cstring>

#include "platform/sim/workstation.h"

namespace platform {

void DebugTrace(const char* line) { sim::Workstation::Current().RecordTrace(line); }

int ShowMessageBox(const char* text, void*) {
  return sim::Workstation::Current().RecordMessageBox(text);
}

bool AskSaveAsPath(const char* initialName, const char* filter, char* path, unsigned size) {
  const std::optional<std::string> answer =
      sim::Workstation::Current().TakeSaveAsAnswer(initialName, filter);
  // A path that does not fit fails the dialog, as GetSaveFileNameA does (FNERR_BUFFERTOOSMALL).
  if (!answer || path == nullptr || answer->size() >= size) return false;
  std::memcpy(path, answer->c_str(), answer->size() + 1);
  return true;
}

}  // namespace platform
