#include "collect/adapter_binding.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "collect/registry_walk.h"
#include "platform/cp936.h"
#include "platform/registry.h"
#include "platform/trace.h"
#include "platform/win32_codes.h"

namespace collect {

namespace {

using platform::RegKey;
using platform::RegRoot;

constexpr char kAdapterClass[] =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}";
constexpr char kAdapterDescription[] = "Mirrel Adapter V1.0";
constexpr char kTcpip[] = "Tcpip";
constexpr char kUpperBind[] = "UpperBind";
// KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY.
constexpr std::uint32_t kLinkageAccess = 0x2001F;

// The entry describes the virtual adapter: an Ethernet-like interface with the client's
// component id and driver.
bool IsVirtualAdapter(const RegKey& entry, const RegKey& interfaces, const char* componentId) {
  char text[kRegistryTextSize];
  if (!ReadSzValue(interfaces, "LowerRange", text) ||
      !(platform::cp936::EqualsIgnoreCase(text, "ethernet") ||
        platform::cp936::EqualsIgnoreCase(text, "tolmard"))) {
    return false;
  }
  if (!ReadSzValue(entry, "ComponentId", text) ||
      !platform::cp936::EqualsIgnoreCase(text, componentId)) {
    return false;
  }
  if (!ReadSzValue(entry, "DriverDesc", text) ||
      !platform::cp936::EqualsIgnoreCase(text, kAdapterDescription)) {
    return false;
  }
  return ReadSzValue(entry, "NetCfgInstanceId", text);
}

// The texts of a REG_MULTI_SZ list; it ends at an empty text or at the end of its bytes.
std::vector<std::string> SplitList(std::string_view data) {
  std::vector<std::string> elements;
  while (!data.empty()) {
    const std::size_t zero = data.find('\0');
    const std::string_view element = data.substr(0, zero);
    if (element.empty()) break;
    elements.emplace_back(element);
    if (zero == std::string_view::npos) break;
    data.remove_prefix(zero + 1);
  }
  return elements;
}

void Trace(const std::string& entry, const char* what) {
  platform::DebugTrace(("UpperBind of adapter entry " + entry + ' ' + what + "\r\n").c_str());
}

// The binding list of the entry, read at its real size; none for a value of a type that holds
// no list of names. False when it exists but cannot be read whole: it must then not be written
// over.
bool ReadBinding(const RegKey& linkage, const std::string& entry,
                 std::vector<std::string>* elements) {
  std::uint32_t type = REG_NONE;
  std::uint32_t size = 0;
  const long sized = linkage.QueryValue(kUpperBind, &type, nullptr, &size);
  if (sized == ERROR_FILE_NOT_FOUND) return true;  // no list yet: TCP/IP is simply missing
  if (sized != ERROR_SUCCESS) {
    Trace(entry, "cannot be read, left alone");
    return false;
  }
  if (type != REG_MULTI_SZ && type != REG_SZ) {
    // Such a value binds nothing: it is replaced, or the adapter would stay unbound.
    Trace(entry, "is not a list of names, replaced");
    return true;
  }
  std::string data(size, '\0');
  std::uint32_t read = size;
  if (linkage.QueryValue(kUpperBind, nullptr, data.data(), &read) != ERROR_SUCCESS) {
    Trace(entry, "cannot be read whole, left alone");
    return false;
  }
  data.resize(read);
  *elements = SplitList(data);
  return true;
}

enum class EntryBinding { kOther, kBound, kUnbound };

// What the entry is; with `repair`, an unbound one is put right.
EntryBinding CheckEntry(const std::string& entry, const char* componentId, bool repair) {
  const std::string path = std::string(kAdapterClass) + '\\' + entry;
  RegKey key;
  if (key.Open(RegRoot::kLocalMachine, path.c_str(), KEY_READ) != ERROR_SUCCESS) {
    return EntryBinding::kOther;
  }
  {
    RegKey interfaces;
    if (interfaces.Open(RegRoot::kLocalMachine, (path + "\\Ndi\\Interfaces").c_str(), KEY_READ) !=
            ERROR_SUCCESS ||
        !IsVirtualAdapter(key, interfaces, componentId)) {
      return EntryBinding::kOther;
    }
  }
  RegKey linkage;
  if (linkage.Open(RegRoot::kLocalMachine, (path + "\\Linkage").c_str(),
                   repair ? kLinkageAccess : KEY_READ) != ERROR_SUCCESS) {
    return EntryBinding::kOther;
  }
  std::vector<std::string> elements;
  if (!ReadBinding(linkage, entry, &elements)) return EntryBinding::kOther;
  for (const std::string& element : elements) {
    if (platform::cp936::EqualsIgnoreCase(element, kTcpip)) return EntryBinding::kBound;
  }
  if (!repair) return EntryBinding::kUnbound;
  // The protocols bound so far stay; TCP/IP comes last.
  elements.emplace_back(kTcpip);
  std::string list;
  for (const std::string& element : elements) {
    list += element;
    list += '\0';
  }
  list += '\0';
  if (linkage.SetValue(kUpperBind, REG_MULTI_SZ, list.data(),
                       static_cast<std::uint32_t>(list.size())) != ERROR_SUCCESS) {
    Trace(entry, "cannot be written");
  }
  return EntryBinding::kUnbound;
}

}  // namespace

int EnsureVirtualAdapterBinding(const char* componentId) {
  if (componentId == nullptr) return 0;
  RegKey adapters;
  if (adapters.Open(RegRoot::kLocalMachine, kAdapterClass, KEY_READ) != ERROR_SUCCESS) return 0;
  int bound = 0;
  ForEachSubkey(adapters, [&](const std::string& entry) {
    bound = CheckEntry(entry, componentId, true) == EntryBinding::kBound ? 1 : 0;
    return bound == 0;
  });
  return bound;
}

int ReadVirtualAdapterBinding(const char* componentId) {
  if (componentId == nullptr) return -1;
  RegKey adapters;
  if (adapters.Open(RegRoot::kLocalMachine, kAdapterClass, KEY_READ) != ERROR_SUCCESS) return -1;
  int binding = -1;
  ForEachSubkey(adapters, [&](const std::string& entry) {
    switch (CheckEntry(entry, componentId, false)) {
      case EntryBinding::kBound:
        binding = 1;
        return false;
      case EntryBinding::kUnbound:
        binding = 0;
        break;
      case EntryBinding::kOther:
        break;
    }
    return true;
  });
  return binding;
}

void RepairVirtualAdapterBinding() { (void)EnsureVirtualAdapterBinding("MirrelDrv"); }

}  // namespace collect
