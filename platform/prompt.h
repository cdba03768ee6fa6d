// Prompts that a task shows the user from the thread that runs it.
#pragma once

namespace platform {

// A modal message box with the OK button alone, captioned with the application's title and
// owned by the main window when there is one. Returns the button pressed (IDOK), or 0 when no
// box could be shown.
int ShowMessageBox(const char* text);

// The window that owns the prompts from now on (the main dialog), or null for none.
void SetPromptOwner(void* window);

}  // namespace platform
