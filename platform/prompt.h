// Prompts that a task shows the user from the thread that runs it.
#pragma once

namespace platform {

// A modal message box with the OK button alone, captioned with the application's title.
// `owner` is a window of the calling thread, or null: a worker passes none, since an owner on
// the user-interface thread would be enabled again when the box closes, under the modal
// progress dialog. Returns the button pressed (IDOK), or 0 when no box could be shown.
int ShowMessageBox(const char* text, void* owner = nullptr);

// The Explorer-style Save As dialog, with no owner window: `initialName` in the name box,
// `filter` in the framework's form ("Zip Files (*.zip)|*.zip||"), no default extension, and
// OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT. True when the user confirmed, with the full path in
// `path` (capacity `size` bytes); false when cancelled or failed, with `path` untouched.
bool AskSaveAsPath(const char* initialName, const char* filter, char* path, unsigned size);

}  // namespace platform
