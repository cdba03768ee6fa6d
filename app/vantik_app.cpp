// The application: runs the main dialog modally and ends when it closes.
#include "platform/win32/windows_api.h"

#include <commctrl.h>

#include "app/vantik_dlg.h"

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
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  theApp.InitInstance();
  return 0;
}
