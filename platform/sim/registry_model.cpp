#include "platform/sim/registry_model.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "platform/cp936.h"
#include "platform/win32_codes.h"

namespace platform::sim {
namespace {

// Calls visit(part) for each non-empty part of `path` between backslashes, until it returns
// false; a trail byte that looks like a backslash belongs to its character.
template <typename Visit>
bool EachPart(std::string_view path, Visit visit) {
  std::size_t start = 0;
  for (std::size_t i = 0; i <= path.size();) {
    const bool end = i == path.size();
    const std::size_t length = end ? 1 : cp936::CharLength(path, i);
    if (end || (length == 1 && path[i] == '\\')) {
      if (i > start && !visit(path.substr(start, i - start))) return false;
      start = i + 1;
    }
    i += length;
  }
  return true;
}

std::vector<std::string> SplitPath(std::string_view path) {
  std::vector<std::string> parts;
  EachPart(path, [&](std::string_view part) {
    parts.emplace_back(part);
    return true;
  });
  return parts;
}

// The path as keys are found by: its parts upper-cased, one backslash between them.
std::string FoldPath(std::string_view path) {
  std::string folded;
  EachPart(cp936::ToUpper(path), [&](std::string_view part) {
    if (!folded.empty()) folded += '\\';
    folded += part;
    return true;
  });
  return folded;
}

std::string_view NameOrDefault(const char* name) { return name != nullptr ? name : ""; }

// The bitness of the view that `view` names for a program of `program` bits.
Bitness ViewBitness(RegView view, Bitness program) {
  if (view == RegView::kOwn) return program;
  return program == Bitness::k64 ? Bitness::k32 : Bitness::k64;
}

}  // namespace

struct Registry::Key {
  // Sub-keys by folded name, which is also the order in which they enumerate.
  std::map<std::string, std::unique_ptr<Key>, std::less<>> subKeys;
  std::string displayName;  // the name as created, which enumeration gives
  // Values by folded name, in the order created.
  std::vector<std::pair<std::string, RegValue>> values;
  bool denyWrite = false;
  long openError = ERROR_SUCCESS;
  // Bumped whenever a sub-key is added, so that an enumeration cursor knows it is stale.
  std::uint64_t generation = 0;

  RegValue* FindValue(std::string_view name) {
    const std::string folded = cp936::ToUpper(name);
    for (auto& [key, value] : values) {
      if (key == folded) return &value;
    }
    return nullptr;
  }
};

struct Registry::Handle {
  Key* key;
  std::uint32_t access;
  std::string path;  // folded, for matching faults
  RegRoot root;
  // Where the last enumeration stopped, so that walking the indexes in order does not walk
  // the map from its start every time.
  std::uint32_t cursorIndex = 0;
  std::map<std::string, std::unique_ptr<Key>>::iterator cursor{};
  std::uint64_t cursorGeneration = ~std::uint64_t{0};
};

Registry::Registry() {
  for (RegRoot root :
       {RegRoot::kClassesRoot, RegRoot::kCurrentUser, RegRoot::kLocalMachine, RegRoot::kUsers}) {
    roots_[root] = std::make_unique<Key>();
  }
}

Registry::~Registry() = default;

Registry::Key* Registry::Find(RegRoot root, std::string_view path) const {
  return FindFolded(root, FoldPath(path));
}

Registry::Key* Registry::FindFolded(RegRoot root, std::string_view folded) const {
  Key* key = roots_.at(root).get();
  EachPart(folded, [&](std::string_view part) {
    const auto it = key->subKeys.find(part);
    key = it != key->subKeys.end() ? it->second.get() : nullptr;
    return key != nullptr;
  });
  return key;
}

Registry::Key& Registry::Make(RegRoot root, std::string_view path) {
  Key* key = roots_.at(root).get();
  for (const std::string& part : SplitPath(path)) {
    std::unique_ptr<Key>& child = key->subKeys[cp936::ToUpper(part)];
    if (!child) {
      child = std::make_unique<Key>();
      ++key->generation;
      child->displayName = part;
    }
    key = child.get();
  }
  return *key;
}

Registry& Registry::AddKey(RegRoot root, std::string_view path) {
  std::lock_guard lock(mutex_);
  Make(root, path);
  return *this;
}

Registry& Registry::SetValue(RegRoot root, std::string_view path, std::string_view name,
                             std::uint32_t type, std::string_view bytes) {
  std::lock_guard lock(mutex_);
  Key& key = Make(root, path);
  if (RegValue* value = key.FindValue(name)) {
    *value = RegValue{type, std::string(bytes)};
  } else {
    key.values.emplace_back(cp936::ToUpper(name), RegValue{type, std::string(bytes)});
  }
  return *this;
}

Registry& Registry::SetString(RegRoot root, std::string_view path, std::string_view name,
                              std::string_view text, std::uint32_t type) {
  std::string bytes(text);
  bytes += '\0';
  return SetValue(root, path, name, type, bytes);
}

Registry& Registry::SetDword(RegRoot root, std::string_view path, std::string_view name,
                             std::uint32_t number) {
  const char bytes[4] = {static_cast<char>(number & 0xFF), static_cast<char>((number >> 8) & 0xFF),
                         static_cast<char>((number >> 16) & 0xFF),
                         static_cast<char>((number >> 24) & 0xFF)};
  return SetValue(root, path, name, REG_DWORD, std::string_view(bytes, sizeof(bytes)));
}

Registry& Registry::DenyWrite(RegRoot root, std::string_view path) {
  std::lock_guard lock(mutex_);
  Make(root, path).denyWrite = true;
  return *this;
}

Registry& Registry::DenyOpen(RegRoot root, std::string_view path, long code) {
  std::lock_guard lock(mutex_);
  Make(root, path).openError = code;
  return *this;
}

Registry& Registry::Fail(RegCall call, long code, std::string_view path, std::string_view name,
                         int times) {
  std::lock_guard lock(mutex_);
  faults_.push_back(Fault{call, code, FoldPath(path), cp936::ToUpper(name), times});
  return *this;
}

Registry& Registry::SetBitness(Bitness windows, Bitness program) {
  std::lock_guard lock(mutex_);
  windows_ = windows;
  program_ = program;
  return *this;
}

Bitness Registry::BitnessOf(RegView view) const {
  std::lock_guard lock(mutex_);
  return ViewBitness(view, program_);
}

std::string Registry::StoredPath(RegRoot root, std::string_view path, Bitness view) const {
  std::lock_guard lock(mutex_);
  return StoredPathLocked(root, path, view);
}

std::string Registry::StoredPathLocked(RegRoot root, std::string_view path, Bitness view) const {
  if (windows_ != Bitness::k64 || view != Bitness::k32 || root != RegRoot::kLocalMachine) {
    return std::string(path);
  }
  std::vector<std::string> parts = SplitPath(path);
  if (parts.empty() || cp936::ToUpper(parts[0]) != "SOFTWARE") return std::string(path);
  // A path that already names the 32-bit view's place is that place in both views.
  if (parts.size() < 2 || cp936::ToUpper(parts[1]) != "WOW6432NODE") {
    parts.insert(parts.begin() + 1, "Wow6432Node");
  }
  std::string stored;
  for (const std::string& part : parts) {
    if (!stored.empty()) stored += '\\';
    stored += part;
  }
  return stored;
}

bool Registry::HasKey(RegRoot root, std::string_view path) const {
  std::lock_guard lock(mutex_);
  return Find(root, path) != nullptr;
}

std::optional<RegValue> Registry::Value(RegRoot root, std::string_view path,
                                        std::string_view name) const {
  std::lock_guard lock(mutex_);
  Key* key = Find(root, path);
  if (key == nullptr) return std::nullopt;
  if (RegValue* value = key->FindValue(name)) return *value;
  return std::nullopt;
}

std::map<std::string, std::optional<RegValue>> Registry::Contents() const {
  std::lock_guard lock(mutex_);
  std::map<std::string, std::optional<RegValue>> contents;
  const auto walk = [&contents](const auto& self, const Key& key, const std::string& path) -> void {
    contents.emplace(path, std::nullopt);
    for (const auto& [name, value] : key.values) contents.emplace(path + " : " + name, value);
    for (const auto& [name, child] : key.subKeys) self(self, *child, path + '\\' + name);
  };
  for (const auto& [root, key] : roots_) walk(walk, *key, RootName(root));
  return contents;
}

int Registry::WriteCount() const {
  std::lock_guard lock(mutex_);
  return writes_;
}

int Registry::OpenKeyCount() const {
  std::lock_guard lock(mutex_);
  return openKeys_;
}

long Registry::TakeFault(RegCall call, const std::string& path, std::string_view name) {
  const std::string folded = cp936::ToUpper(name);
  for (auto it = faults_.begin(); it != faults_.end(); ++it) {
    if (it->call != call) continue;
    if (!it->path.empty() && it->path != path) continue;
    if (!it->name.empty() && it->name != folded) continue;
    const long code = it->code;
    if (it->times > 0 && --it->times == 0) faults_.erase(it);
    return code;
  }
  return ERROR_SUCCESS;
}

std::string Registry::RootName(RegRoot root) {
  switch (root) {
    case RegRoot::kClassesRoot:
      return "HKCR";
    case RegRoot::kCurrentUser:
      return "HKCU";
    case RegRoot::kLocalMachine:
      return "HKLM";
    case RegRoot::kUsers:
      return "HKU";
  }
  return "?";
}

std::string Registry::Describe(void* handle) const {
  if (handle == nullptr) return "(no key)";
  std::lock_guard lock(mutex_);
  const auto* h = static_cast<const Handle*>(handle);
  return RootName(h->root) + '\\' + h->path;
}

std::uint32_t Registry::StoredSize(void* handle, const char* name) const {
  if (handle == nullptr) return 0;
  std::lock_guard lock(mutex_);
  const RegValue* value = static_cast<const Handle*>(handle)->key->FindValue(NameOrDefault(name));
  return value != nullptr ? static_cast<std::uint32_t>(value->data.size()) : 0;
}

bool Registry::HasOtherView() {
  std::lock_guard lock(mutex_);
  return HasOtherViewLocked();
}

bool Registry::HasOtherViewLocked() {
  return TakeFault(RegCall::kOtherView, {}, {}) == ERROR_SUCCESS && windows_ == Bitness::k64;
}

long Registry::Open(RegRoot root, const char* path, std::uint32_t access, RegView view,
                    void** handle) {
  std::lock_guard lock(mutex_);
  if (view == RegView::kOther && !HasOtherViewLocked()) return ERROR_FILE_NOT_FOUND;
  const std::string stored =
      StoredPathLocked(root, NameOrDefault(path), ViewBitness(view, program_));
  std::string folded = FoldPath(stored);
  if (const long fault = TakeFault(RegCall::kOpen, folded, {})) return fault;
  Key* key = FindFolded(root, folded);
  if (key == nullptr) return ERROR_FILE_NOT_FOUND;
  if (key->openError != ERROR_SUCCESS) return key->openError;
  if (key->denyWrite && (access & (KEY_SET_VALUE | KEY_CREATE_SUB_KEY)) != 0) {
    return ERROR_ACCESS_DENIED;
  }
  *handle = new Handle{key, access, std::move(folded), root};
  ++openKeys_;
  return ERROR_SUCCESS;
}

long Registry::QueryValue(void* handle, const char* name, std::uint32_t* type, void* data,
                          std::uint32_t* size) {
  std::lock_guard lock(mutex_);
  if (handle == nullptr) return ERROR_INVALID_HANDLE;
  auto* h = static_cast<Handle*>(handle);
  if ((h->access & KEY_QUERY_VALUE) == 0) return ERROR_ACCESS_DENIED;
  if (const long fault = TakeFault(RegCall::kQueryValue, h->path, NameOrDefault(name))) {
    return fault;
  }
  const RegValue* value = h->key->FindValue(NameOrDefault(name));
  if (value == nullptr) return ERROR_FILE_NOT_FOUND;
  if (data != nullptr && size == nullptr) return ERROR_INVALID_PARAMETER;
  const auto needed = static_cast<std::uint32_t>(value->data.size());
  if (type != nullptr) *type = value->type;
  if (data == nullptr) {
    if (size != nullptr) *size = needed;
    return ERROR_SUCCESS;
  }
  if (*size < needed) {
    *size = needed;
    return ERROR_MORE_DATA;
  }
  if (needed > 0) std::memcpy(data, value->data.data(), needed);
  *size = needed;
  return ERROR_SUCCESS;
}

long Registry::SetValue(void* handle, const char* name, std::uint32_t type, const void* data,
                        std::uint32_t size) {
  std::lock_guard lock(mutex_);
  if (handle == nullptr) return ERROR_INVALID_HANDLE;
  auto* h = static_cast<Handle*>(handle);
  if ((h->access & KEY_SET_VALUE) == 0) return ERROR_ACCESS_DENIED;
  if (const long fault = TakeFault(RegCall::kSetValue, h->path, NameOrDefault(name))) {
    return fault;
  }
  if (data == nullptr && size > 0) return ERROR_INVALID_PARAMETER;
  RegValue stored{type, std::string(static_cast<const char*>(data), data != nullptr ? size : 0)};
  if (RegValue* value = h->key->FindValue(NameOrDefault(name))) {
    *value = std::move(stored);
  } else {
    h->key->values.emplace_back(cp936::ToUpper(NameOrDefault(name)), std::move(stored));
  }
  ++writes_;
  return ERROR_SUCCESS;
}

long Registry::EnumKey(void* handle, std::uint32_t index, char* name, std::uint32_t* length) {
  std::lock_guard lock(mutex_);
  if (handle == nullptr) return ERROR_INVALID_HANDLE;
  auto* h = static_cast<Handle*>(handle);
  if ((h->access & KEY_ENUMERATE_SUB_KEYS) == 0) return ERROR_ACCESS_DENIED;
  if (const long fault = TakeFault(RegCall::kEnumKey, h->path, {})) return fault;
  if (index >= h->key->subKeys.size()) return ERROR_NO_MORE_ITEMS;
  if (h->cursorGeneration != h->key->generation || index < h->cursorIndex) {
    h->cursor = h->key->subKeys.begin();
    h->cursorIndex = 0;
    h->cursorGeneration = h->key->generation;
  }
  h->cursor = std::next(h->cursor, index - h->cursorIndex);
  h->cursorIndex = index;
  const auto it = h->cursor;
  const std::string& display = it->second->displayName;
  if (display.size() + 1 > *length) return ERROR_MORE_DATA;
  std::memcpy(name, display.c_str(), display.size() + 1);
  *length = static_cast<std::uint32_t>(display.size());
  return ERROR_SUCCESS;
}

long Registry::QueryInfo(void* handle, std::uint32_t* subKeys, std::uint32_t* values) {
  std::lock_guard lock(mutex_);
  if (handle == nullptr) return ERROR_INVALID_HANDLE;
  auto* h = static_cast<Handle*>(handle);
  if (const long fault = TakeFault(RegCall::kQueryInfo, h->path, {})) return fault;
  if (subKeys != nullptr) *subKeys = static_cast<std::uint32_t>(h->key->subKeys.size());
  if (values != nullptr) *values = static_cast<std::uint32_t>(h->key->values.size());
  return ERROR_SUCCESS;
}

void Registry::Close(void* handle) {
  std::lock_guard lock(mutex_);
  delete static_cast<Handle*>(handle);
  --openKeys_;
}

}  // namespace platform::sim
