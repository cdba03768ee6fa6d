// Windows sockets: the library's start-up, the computer's host name and the name-space
// providers.
#pragma once

#include <vector>

#include "platform/query_step.h"

namespace platform {

// WSAStartup with version 2.0. Returns 0, or the Windows sockets error code (WSASYSNOTREADY
// when the sockets library cannot be loaded at all). The library is never cleaned up: once
// started it stays started for the rest of the process, and later callers rely on that.
int StartSockets();

// gethostname(buffer, size): 0, or SOCKET_ERROR (-1) with the buffer's contents undefined, as
// when the library was not started or the name does not fit.
int GetHostName(char* buffer, int size);

// One name-space provider as WSAEnumNameSpaceProvidersA lists it.
struct NameSpaceProvider {
  unsigned char id[16] = {};  // NSProviderId, the GUID's bytes as they lie in memory
  int active = 0;             // fActive
};

// WSAEnumNameSpaceProvidersA, asked with a length of 32 and no buffer for the room it needs,
// then read into that much: 0 with the providers in order, or the Windows sockets error with
// *step naming the call that failed. At kSize every error but WSAEFAULT (which means "go on")
// fails, WSANOTINITIALISED (10093) when the library was never started; a size query that
// succeeds also goes on (Wine's stub lists nothing and succeeds at once). WSASYSNOTREADY when
// the sockets library cannot be loaded.
int EnumNameSpaceProviders(std::vector<NameSpaceProvider>* providers, QueryStep* step);

}  // namespace platform
