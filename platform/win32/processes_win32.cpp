// The processes of the real system, through psapi.dll from the system folder.
#include "platform/win32/windows_api.h"

#include <psapi.h>

#include "platform/processes.h"
#include "platform/win32/system_library.h"

namespace platform {
namespace {

constexpr char kProcessStatus[] = "psapi.dll";

}  // namespace

long EnumProcessIds(std::uint32_t* ids, std::uint32_t capacity, std::uint32_t* count) {
  const auto enumerate =
      win32::GetSystemFunction<decltype(&::EnumProcesses)>(kProcessStatus, "EnumProcesses");
  if (enumerate == nullptr) return ERROR_PROC_NOT_FOUND;
  static_assert(sizeof(DWORD) == sizeof(std::uint32_t));
  DWORD bytes = 0;
  if (!enumerate(reinterpret_cast<DWORD*>(ids), capacity * sizeof(DWORD), &bytes)) {
    return static_cast<long>(GetLastError());
  }
  *count = bytes / sizeof(DWORD);
  return ERROR_SUCCESS;
}

long FindShellProcess(std::uint32_t* id) {
  DWORD process = 0;
  // A missing shell window gives no thread, and ERROR_INVALID_WINDOW_HANDLE with it.
  if (GetWindowThreadProcessId(GetShellWindow(), &process) == 0 || process == 0) {
    const long error = static_cast<long>(GetLastError());
    return error != ERROR_SUCCESS ? error : ERROR_INVALID_WINDOW_HANDLE;
  }
  *id = process;
  return ERROR_SUCCESS;
}

long Process::Open(std::uint32_t access, std::uint32_t id) {
  Close();
  const HANDLE process = OpenProcess(access, FALSE, id);
  if (process == nullptr) return static_cast<long>(GetLastError());
  handle_ = process;
  return ERROR_SUCCESS;
}

long Process::EnumModules(ModuleHandle* modules, std::uint32_t capacity,
                          std::uint32_t* total) const {
  if (handle_ == nullptr) return ERROR_INVALID_HANDLE;
  const auto enumerate = win32::GetSystemFunction<decltype(&::EnumProcessModules)>(
      kProcessStatus, "EnumProcessModules");
  if (enumerate == nullptr) return ERROR_PROC_NOT_FOUND;
  static_assert(sizeof(HMODULE) == sizeof(ModuleHandle));
  DWORD needed = 0;
  if (!enumerate(handle_, reinterpret_cast<HMODULE*>(modules), capacity * sizeof(HMODULE),
                 &needed)) {
    return static_cast<long>(GetLastError());
  }
  *total = needed / sizeof(HMODULE);
  return ERROR_SUCCESS;
}

std::uint32_t Process::ModuleBaseName(ModuleHandle module, char* name, std::uint32_t size) const {
  if (handle_ == nullptr) return 0;
  const auto baseName = win32::GetSystemFunction<decltype(&::GetModuleBaseNameA)>(
      kProcessStatus, "GetModuleBaseNameA");
  if (baseName == nullptr) return 0;
  return baseName(handle_, reinterpret_cast<HMODULE>(module), name, size);
}

long Process::ImagePath(char* path, std::uint32_t size, std::uint32_t* length) const {
  if (handle_ == nullptr) return ERROR_INVALID_HANDLE;
  // Both looked up at run time: the first exists from Vista on, the second from XP on.
  using QueryFullImageName = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);
  if (const auto queryFull = win32::GetSystemFunction<QueryFullImageName>(
          "kernel32.dll", "QueryFullProcessImageNameA")) {
    DWORD chars = size;
    if (!queryFull(handle_, 0, path, &chars)) return static_cast<long>(GetLastError());
    *length = chars;
    return ERROR_SUCCESS;
  }
  using ImageFileName = DWORD(WINAPI*)(HANDLE, LPSTR, DWORD);
  const auto imageFileName =
      win32::GetSystemFunction<ImageFileName>(kProcessStatus, "GetProcessImageFileNameA");
  if (imageFileName == nullptr) return ERROR_PROC_NOT_FOUND;
  const DWORD copied = imageFileName(handle_, path, size);
  if (copied == 0) return static_cast<long>(GetLastError());
  // XP cuts a path that does not fit rather than failing.
  if (copied >= size) return ERROR_INSUFFICIENT_BUFFER;
  *length = copied;
  return ERROR_SUCCESS;
}

void Process::Close() {
  if (handle_ != nullptr) {
    CloseHandle(handle_);
    handle_ = nullptr;
  }
}

}  // namespace platform
