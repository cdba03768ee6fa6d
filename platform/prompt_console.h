// The console program's backend of the prompt service (platform/prompt.h): no window, and
// nobody to answer one. A message goes to the standard error as a line of text; the Save As
// dialog is answered with the path that the program was given.
#pragma once

#include <optional>
#include <string>

namespace platform {

// The answer of the next Save As, given once: a path confirms it, nullopt cancels it. A Save
// As after that is cancelled, so that a path which the export refuses (too long, say) ends the
// export instead of being asked for again and again. Set before the task that asks runs.
void AnswerNextSaveAs(std::optional<std::string> path);

}  // namespace platform
