// Until the main dialog lands, the program only shows that it starts.
#include "platform/win32/windows_api.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  MessageBoxA(nullptr, "Vantik", "Vantik", MB_OK);
  return 0;
}
