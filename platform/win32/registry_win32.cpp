// Registry access on the real Windows registry.
#include "platform/win32/windows_api.h"

#include "platform/registry.h"
#include "platform/win32/system_library.h"
#include "platform/win32_codes.h"

namespace platform {
namespace {

// The flag that opens a key in the view this program does not see by default.
#ifdef _WIN64
constexpr REGSAM kOtherViewFlag = KEY_WOW64_32KEY;
#else
constexpr REGSAM kOtherViewFlag = KEY_WOW64_64KEY;
#endif

HKEY ToHkey(RegRoot root) {
  switch (root) {
    case RegRoot::kClassesRoot:
      return HKEY_CLASSES_ROOT;
    case RegRoot::kCurrentUser:
      return HKEY_CURRENT_USER;
    case RegRoot::kLocalMachine:
      return HKEY_LOCAL_MACHINE;
    case RegRoot::kUsers:
      return HKEY_USERS;
  }
  return nullptr;
}

HKEY Hkey(void* handle) { return static_cast<HKEY>(handle); }

}  // namespace

bool HasOtherRegistryView() {
#ifdef _WIN64
  return true;
#else
  // Looked up at run time: Windows 2000 and XP before SP2 lack it, and have no other view.
  using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, BOOL*);
  const auto isWow64 =
      win32::GetSystemFunction<IsWow64ProcessFunction>("kernel32.dll", "IsWow64Process");
  BOOL wow64 = FALSE;
  return isWow64 != nullptr && isWow64(GetCurrentProcess(), &wow64) && wow64;
#endif
}

long RegKey::OpenKey(RegRoot root, const char* path, std::uint32_t access, RegView view) {
  Close();
  if (view == RegView::kOther) {
    if (!HasOtherRegistryView()) return ERROR_FILE_NOT_FOUND;
    access |= kOtherViewFlag;
  }
  HKEY key = nullptr;
  const LONG result = RegOpenKeyExA(ToHkey(root), path, 0, access, &key);
  if (result == ERROR_SUCCESS) handle_ = key;
  return result;
}

long RegKey::QueryValue(const char* name, std::uint32_t* type, void* data,
                        std::uint32_t* size) const {
  DWORD valueType = 0;
  DWORD bytes = size != nullptr ? *size : 0;
  const LONG result =
      RegQueryValueExA(Hkey(handle_), name, nullptr, &valueType, static_cast<BYTE*>(data),
                       size != nullptr ? &bytes : nullptr);
  // The API writes the size back on success and on ERROR_MORE_DATA only.
  if (size != nullptr && (result == ERROR_SUCCESS || result == ERROR_MORE_DATA)) *size = bytes;
  if (type != nullptr && result == ERROR_SUCCESS) *type = valueType;
  return result;
}

long RegKey::SetValue(const char* name, std::uint32_t type, const void* data, std::uint32_t size) {
  return RegSetValueExA(Hkey(handle_), name, 0, type, static_cast<const BYTE*>(data), size);
}

long RegKey::EnumKeyEx(std::uint32_t index, char* name, std::uint32_t* length) const {
  DWORD chars = *length;
  const LONG result =
      RegEnumKeyExA(Hkey(handle_), index, name, &chars, nullptr, nullptr, nullptr, nullptr);
  if (result == ERROR_SUCCESS) *length = chars;
  return result;
}

long RegKey::EnumKey(std::uint32_t index, char* name, std::uint32_t size) const {
  return RegEnumKeyA(Hkey(handle_), index, name, size);
}

long RegKey::QueryInfo(std::uint32_t* subKeys, std::uint32_t* values) const {
  DWORD keyCount = 0;
  DWORD valueCount = 0;
  const LONG result = RegQueryInfoKeyA(Hkey(handle_), nullptr, nullptr, nullptr, &keyCount, nullptr,
                                       nullptr, &valueCount, nullptr, nullptr, nullptr, nullptr);
  if (result == ERROR_SUCCESS) {
    if (subKeys != nullptr) *subKeys = keyCount;
    if (values != nullptr) *values = valueCount;
  }
  return result;
}

void RegKey::Close() {
  if (handle_ != nullptr) {
    RegCloseKey(Hkey(handle_));
    handle_ = nullptr;
  }
}

}  // namespace platform
