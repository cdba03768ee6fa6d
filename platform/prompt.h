// Prompts that a task shows the user from the thread that runs it.
#pragma once

#include <string>

namespace platform {

// A modal message box with the OK button alone, captioned with the application's title.
// `owner` is a window of the calling thread, or null: a worker passes none, since an owner on
// the user-interface thread would be enabled again when the box closes, under the modal
// progress dialog. Returns the button pressed (IDOK), or 0 when no box could be shown.
int ShowMessageBox(const char* text, void* owner = nullptr);

// Whether a person is there to answer a prompt: yes for the dialogs, no for a console
// program, whose prompts only write a line. What would make Windows itself ask something (a
// request for elevation) is not done where nobody can answer.
bool CanAskUser();

// How a Save As dialog ended.
enum class SaveAsAnswer {
  kConfirmed,  // the user chose a path
  kCancelled,  // the user closed the dialog without one
  kTooLong,    // the path chosen did not fit the dialog's buffer (FNERR_BUFFERTOOSMALL)
  kFailed,     // the dialog could not be shown or run
};

// The Save As dialog's buffer for the path, in bytes with its zero: room for paths longer than
// the ANSI calls take, so that such a path comes back and can be refused by its length.
inline constexpr unsigned kSaveAsPathCapacity = 1024;

// The Explorer-style Save As dialog, with no owner window: `initialName` in the name box,
// `filter` in the framework's form ("Zip Files (*.zip)|*.zip||"), no default extension, and
// OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT. kConfirmed with the full path in *path; otherwise
// *path is untouched, and for kFailed *error (when given) holds the dialog's error
// (CommDlgExtendedError).
SaveAsAnswer AskSaveAsPath(const char* initialName, const char* filter, std::string* path,
                           unsigned long* error = nullptr);

}  // namespace platform
