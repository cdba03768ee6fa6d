// The planting test's negative control: a program that imports the IP helper statically, as the
// program must not. Started from the folder where the test plants its DLLs, it takes the planted
// iphlpapi.dll, which leaves its marker and answers 77 (the real one answers 0).
#include "platform/win32/windows_api.h"

#include <iphlpapi.h>

int main() {
  DWORD count = 0;
  return static_cast<int>(GetNumberOfInterfaces(&count));
}
