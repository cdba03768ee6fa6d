// The one way in to <windows.h>: the target version and the lean-and-mean switches are set
// here once. It must come before any other platform header in a file, so that the real
// definitions of the Win32 codes win over the portable ones.
#pragma once

#ifdef VANTIK_WIN32_CODES_INCLUDED
#error "include platform/win32/windows_api.h before the other platform headers"
#endif

#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0500
#endif
#ifndef WINVER
#define WINVER 0x0500
#endif
#ifndef PSAPI_VERSION
#define PSAPI_VERSION 1
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif

#include <windows.h>
