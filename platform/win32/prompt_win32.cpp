// Prompts on the real desktop.
#include "platform/win32/windows_api.h"

#include "platform/prompt.h"

#include <atomic>

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

// Set on the user-interface thread before any worker starts, read by the workers.
std::atomic<HWND> g_owner{nullptr};

}  // namespace

void SetPromptOwner(void* window) { g_owner = static_cast<HWND>(window); }

int ShowMessageBox(const char* text) {
  char title[MAX_PATH] = {};
  GetAppTitle(title, sizeof(title));
  const int answer = MessageBoxA(g_owner, text, title, MB_OK);
  return answer > 0 ? answer : 0;
}

}  // namespace platform
