// Windows sockets: the library's start-up and the computer's host name.
#pragma once

namespace platform {

// WSAStartup with version 2.0. Returns 0, or the Windows sockets error code (WSASYSNOTREADY
// when the sockets library cannot be loaded at all). The library is never cleaned up: once
// started it stays started for the rest of the process, and later callers rely on that.
int StartSockets();

// gethostname(buffer, size): 0, or SOCKET_ERROR (-1) with the buffer's contents undefined, as
// when the library was not started or the name does not fit.
int GetHostName(char* buffer, int size);

}  // namespace platform
