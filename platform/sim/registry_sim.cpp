// Registry access on the simulated workstation.
#include "platform/registry.h"

#include "platform/sim/workstation.h"

namespace platform {
namespace {

sim::Registry& Sim() { return sim::Workstation::Current().registry(); }

}  // namespace

bool HasOtherRegistryView() { return Sim().HasOtherView(); }

long RegKey::Open(RegRoot root, const char* path, std::uint32_t access, RegView view) {
  Close();
  return Sim().Open(root, path, access, view, &handle_);
}

long RegKey::QueryValue(const char* name, std::uint32_t* type, void* data,
                        std::uint32_t* size) const {
  return Sim().QueryValue(handle_, name, type, data, size);
}

long RegKey::SetValue(const char* name, std::uint32_t type, const void* data, std::uint32_t size) {
  return Sim().SetValue(handle_, name, type, data, size);
}

long RegKey::EnumKeyEx(std::uint32_t index, char* name, std::uint32_t* length) const {
  return Sim().EnumKey(handle_, index, name, length);
}

long RegKey::EnumKey(std::uint32_t index, char* name, std::uint32_t size) const {
  return Sim().EnumKey(handle_, index, name, &size);
}

long RegKey::QueryInfo(std::uint32_t* subKeys, std::uint32_t* values) const {
  return Sim().QueryInfo(handle_, subKeys, values);
}

void RegKey::Close() {
  if (handle_ != nullptr) {
    Sim().Close(handle_);
    handle_ = nullptr;
  }
}

}  // namespace platform
