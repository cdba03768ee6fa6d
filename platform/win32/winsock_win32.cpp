// Windows sockets, from ws2_32.dll in the system folder.
#include "platform/win32/windows_api.h"

#include <winsock2.h>

#include <cstring>
#include <new>
#include <vector>

#include "platform/win32/system_library.h"
#include "platform/winsock.h"

namespace platform {
namespace {

constexpr char kSockets[] = "ws2_32.dll";

}  // namespace

int StartSockets() {
  const auto startup =
      win32::GetSystemFunction<int(WSAAPI*)(WORD, LPWSADATA)>(kSockets, "WSAStartup");
  if (startup == nullptr) return WSASYSNOTREADY;
  WSADATA data;
  return startup(MAKEWORD(2, 0), &data);
}

int GetHostName(char* buffer, int size) {
  const auto hostName = win32::GetSystemFunction<int(WSAAPI*)(char*, int)>(kSockets, "gethostname");
  return hostName != nullptr ? hostName(buffer, size) : SOCKET_ERROR;
}

int EnumNameSpaceProviders(std::vector<NameSpaceProvider>* providers, QueryStep* step) {
  using Enumerate = INT(WSAAPI*)(LPDWORD, LPWSANAMESPACE_INFOA);
  using LastError = int(WSAAPI*)();
  const auto enumerate =
      win32::GetSystemFunction<Enumerate>(kSockets, "WSAEnumNameSpaceProvidersA");
  const auto lastError = win32::GetSystemFunction<LastError>(kSockets, "WSAGetLastError");
  *step = QueryStep::kSize;
  if (enumerate == nullptr || lastError == nullptr) return WSASYSNOTREADY;
  DWORD length = 32;
  if (enumerate(&length, nullptr) == SOCKET_ERROR) {
    const int error = lastError();
    if (error != WSAEFAULT) return error;
  }
  // Aligned for the records, which the call lays at the start of the buffer with their texts
  // after them.
  std::vector<ULONGLONG> buffer;
  try {
    buffer.assign(length / sizeof(ULONGLONG) + 1, 0);
  } catch (const std::bad_alloc&) {
    *step = QueryStep::kAllocate;
    return WSA_NOT_ENOUGH_MEMORY;
  }
  auto* records = reinterpret_cast<WSANAMESPACE_INFOA*>(buffer.data());
  const INT count = enumerate(&length, records);
  if (count == SOCKET_ERROR) {
    *step = QueryStep::kRead;
    return lastError();
  }
  providers->clear();
  for (INT i = 0; i < count; ++i) {
    NameSpaceProvider provider;
    std::memcpy(provider.id, &records[i].NSProviderId, sizeof(provider.id));
    provider.active = records[i].fActive;
    providers->push_back(provider);
  }
  return 0;
}

}  // namespace platform
