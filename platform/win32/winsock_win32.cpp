// Windows sockets, from ws2_32.dll in the system folder.
#include "platform/win32/windows_api.h"

#include <winsock2.h>

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

}  // namespace platform
