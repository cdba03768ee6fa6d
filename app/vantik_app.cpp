// The application: runs the main dialog modally and ends when it closes.
#include "platform/win32/windows_api.h"

#include <commctrl.h>

#include <string>

#include "app/vantik_dlg.h"
#include "platform/prompt.h"
#include "platform/win32/dll_search.h"

class CVantikApp {
 public:
  // Runs the whole program; FALSE, as there is no message loop of the program's own.
  BOOL InitInstance();
};

BOOL CVantikApp::InitInstance() {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_WIN95_CLASSES;
  InitCommonControlsEx(&controls);
  // The program keeps no settings, so there is no registry key of its own to name.
  CVantikDlg dialog;
  dialog.DoModal();
  return FALSE;
}

namespace {

CVantikApp theApp;

// "The program's folder holds <name>, which makes Windows load components from that folder. For
// safety the program does not start. Delete it, or move the program into a new folder and run
// it from there."
std::string RedirectionRefusal(const std::string& name) {
  return "程序所在的文件夹中有 " + name +
         "，它会让系统从这个文件夹加载组件。为了安全，程序不能启动。请删除它，或将程序放到一个新的"
         "文件夹中再运行。";
}

}  // namespace

// The program runs elevated, often from the Downloads folder: before any window, and before any
// DLL of ours is loaded, no planted DLL may be left a way in (platform/win32/dll_search.h).
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  platform::win32::RemoveCurrentFolderFromDllSearch();
  const std::string redirection = platform::win32::FindLocalRedirection();
  if (!redirection.empty()) {
    platform::ShowMessageBox(RedirectionRefusal(redirection).c_str());
    return 1;
  }
  platform::win32::PreloadSystemLibraries();
  theApp.InitInstance();
  return 0;
}
