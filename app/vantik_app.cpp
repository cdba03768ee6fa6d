// The application: runs the main dialog modally and ends when it closes.
#include "platform/win32/windows_api.h"

#include <commctrl.h>

#include <string>

#include "app/vantik_dlg.h"
#include "platform/prompt.h"
#include "platform/settings_user.h"
#include "platform/win32/dll_search.h"

class Application {
 public:
  // Runs the whole program; FALSE, as there is no message loop of the program's own.
  BOOL InitInstance();
};

BOOL Application::InitInstance() {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_WIN95_CLASSES;
  InitCommonControlsEx(&controls);
  // The program keeps no settings, so there is no registry key of its own to name.
  app::MainDialog dialog;
  dialog.DoModal();
  return FALSE;
}

namespace {

Application theApp;

}  // namespace

// The program runs elevated, often from the Downloads folder: before any window, and before any
// DLL of ours is loaded, no planted DLL may be left a way in (platform/win32/dll_search.h).
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  platform::win32::RemoveCurrentFolderFromDllSearch();
  const std::string redirection = platform::win32::FindLocalRedirection();
  if (!redirection.empty()) {
    platform::ShowMessageBox(platform::win32::LocalRedirectionRefusal(redirection).c_str());
    return 1;
  }
  platform::win32::PreloadSystemLibraries();
  // Elevated with another account's password, the program must still read and repair the
  // settings of the user at the desktop: found once, before the worker threads start.
  const platform::FollowDesktopUser desktopUser;
  theApp.InitInstance();
  return 0;
}
