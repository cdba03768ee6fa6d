// Registry access on the simulated workstation.
#include <algorithm>

#include "platform/registry.h"
#include "platform/sim/workstation.h"
#include "platform/win32_codes.h"

namespace platform {
namespace {

sim::Registry& Sim() { return sim::Workstation::Current().registry(); }

std::string ValueDetail(void* handle, const char* name) {
  return Sim().Describe(handle) + " : " + (name != nullptr ? name : "");
}

}  // namespace

bool HasOtherRegistryView() {
  if (sim::EnterCall("IsWow64Process", "", ERROR_ACCESS_DENIED) != 0) return false;
  return Sim().HasOtherView();
}

long RegKey::OpenKey(RegRoot root, const char* path, std::uint32_t access, RegView view) {
  Close();
  std::string detail = sim::Registry::RootName(root) + '\\' + (path != nullptr ? path : "");
  if (view == RegView::kOther) detail += " (other view)";
  if (const long fault = sim::EnterCall("RegOpenKeyExA", std::move(detail), ERROR_ACCESS_DENIED)) {
    return fault;
  }
  return Sim().Open(root, path, access, view, &handle_);
}

long RegKey::QueryValue(const char* name, std::uint32_t* type, void* data,
                        std::uint32_t* size) const {
  // A value read into a buffer fails most likely because it grew since its size was taken; a
  // size query, because the key may no longer be read.
  const long fault = sim::EnterCall("RegQueryValueExA", ValueDetail(handle_, name),
                                    data != nullptr ? ERROR_MORE_DATA : ERROR_ACCESS_DENIED);
  if (fault == ERROR_MORE_DATA && size != nullptr) {
    *size = std::max(Sim().StoredSize(handle_, name), *size + 1);
  }
  if (fault != 0) return fault;
  return Sim().QueryValue(handle_, name, type, data, size);
}

long RegKey::SetValue(const char* name, std::uint32_t type, const void* data, std::uint32_t size) {
  if (const long fault =
          sim::EnterCall("RegSetValueExA", ValueDetail(handle_, name), ERROR_ACCESS_DENIED)) {
    return fault;
  }
  return Sim().SetValue(handle_, name, type, data, size);
}

long RegKey::EnumKeyEx(std::uint32_t index, char* name, std::uint32_t* length) const {
  // A subkey name longer than the buffer.
  if (const long fault =
          sim::EnterCall("RegEnumKeyExA", Sim().Describe(handle_) + " #" + std::to_string(index),
                         ERROR_MORE_DATA)) {
    return fault;
  }
  return Sim().EnumKey(handle_, index, name, length);
}

long RegKey::EnumKey(std::uint32_t index, char* name, std::uint32_t size) const {
  if (const long fault = sim::EnterCall(
          "RegEnumKeyA", Sim().Describe(handle_) + " #" + std::to_string(index), ERROR_MORE_DATA)) {
    return fault;
  }
  return Sim().EnumKey(handle_, index, name, &size);
}

long RegKey::QueryInfo(std::uint32_t* subKeys, std::uint32_t* values) const {
  if (const long fault =
          sim::EnterCall("RegQueryInfoKeyA", Sim().Describe(handle_), ERROR_ACCESS_DENIED)) {
    return fault;
  }
  return Sim().QueryInfo(handle_, subKeys, values);
}

void RegKey::Close() {
  if (handle_ != nullptr) {
    sim::EnterCall("RegCloseKey", Sim().Describe(handle_), 0);
    Sim().Close(handle_);
    handle_ = nullptr;
  }
}

}  // namespace platform
