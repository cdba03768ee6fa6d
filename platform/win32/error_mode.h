// Keeps Windows' own error dialogs away from a program that nobody may be watching: no "There
// is no disk in the drive" box, no box for a DLL that cannot be found, no crash box. The
// failure goes to the caller, or the process ends, instead of waiting for a click.
#pragma once

namespace platform::win32 {

// SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX), for the
// process and the programs it starts.
void KeepSystemErrorDialogsAway();

}  // namespace platform::win32
