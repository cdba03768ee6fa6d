#include "platform/win32/windows_api.h"

#include "platform/win32/error_mode.h"

namespace platform::win32 {

void KeepSystemErrorDialogsAway() {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
}

}  // namespace platform::win32
