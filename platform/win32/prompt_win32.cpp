// Prompts on the real desktop.
#include "platform/win32/windows_api.h"

#include <cderr.h>
#include <commdlg.h>

#include "platform/prompt.h"

#include <cstddef>
#include <cstring>
#include <vector>

namespace platform {
namespace {

// The application's title: the executable's file name without its extension, as the
// framework gives it when the resources hold no title string.
void GetAppTitle(char* title, DWORD size) {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof(path));
  if (length == 0 || length >= sizeof(path)) {
    lstrcpynA(title, "Vantik", static_cast<int>(size));
    return;
  }
  // Step through the text character by character: a GBK trail byte can be '\\'.
  const char* name = path;
  for (const char* p = path; *p != '\0'; p = CharNextA(p)) {
    if (*p == '\\' || *p == '/' || *p == ':') name = p + 1;
  }
  lstrcpynA(title, name, static_cast<int>(size));
  char* dot = nullptr;
  for (char* p = title; *p != '\0'; p = CharNextA(p)) {
    if (*p == '.') dot = p;
  }
  if (dot != nullptr) *dot = '\0';
}

// The filter in the dialog's form: each '|' becomes a zero, and the list ends with two zeros.
// Double-byte characters are stepped over whole, since a GBK trail byte can be '|' (0x7C).
std::vector<char> DialogFilter(const char* filter) {
  std::vector<char> converted;
  if (filter != nullptr) {
    for (const char* p = filter; *p != '\0';) {
      const char* next = CharNextA(p);
      if (next == p) break;
      if (next - p == 1 && *p == '|') {
        converted.push_back('\0');
      } else {
        converted.insert(converted.end(), p, next);
      }
      p = next;
    }
  }
  converted.push_back('\0');
  converted.push_back('\0');
  return converted;
}

// Windows 2000 is the oldest system this runs on, and the first whose dialog takes the whole
// structure (pvReserved, dwReserved, FlagsEx): it then shows the places bar, as the framework's
// dialog does there. The older size (OPENFILENAME_SIZE_VERSION_400A) is only needed for NT 4
// and Windows 9x.
static_assert(sizeof(OPENFILENAMEA) == offsetof(OPENFILENAMEA, FlagsEx) + sizeof(DWORD) &&
              offsetof(OPENFILENAMEA, pvReserved) > offsetof(OPENFILENAMEA, lpTemplateName));

}  // namespace

SaveAsAnswer AskSaveAsPath(const char* initialName, const char* filter, std::string* path,
                           unsigned long* error) {
  std::vector<char> file(kSaveAsPathCapacity, '\0');
  if (initialName != nullptr) lstrcpynA(file.data(), initialName, static_cast<int>(file.size()));
  const std::vector<char> filterText = DialogFilter(filter);
  OPENFILENAMEA dialog;
  ZeroMemory(&dialog, sizeof(dialog));
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = nullptr;
  dialog.lpstrFilter = filterText.data();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrDefExt = nullptr;
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
  if (GetSaveFileNameA(&dialog)) {
    file.back() = '\0';
    *path = file.data();
    return SaveAsAnswer::kConfirmed;
  }
  // No error at all is the user's cancel.
  const DWORD failure = CommDlgExtendedError();
  if (failure == 0) return SaveAsAnswer::kCancelled;
  if (failure == FNERR_BUFFERTOOSMALL) return SaveAsAnswer::kTooLong;
  if (error != nullptr) *error = failure;
  return SaveAsAnswer::kFailed;
}

int ShowMessageBox(const char* text, void* owner) {
  char title[MAX_PATH] = {};
  GetAppTitle(title, sizeof(title));
  const int answer = MessageBoxA(static_cast<HWND>(owner), text, title, MB_OK);
  return answer > 0 ? answer : 0;
}

bool CanAskUser() { return true; }

}  // namespace platform
