// Seeds Wine's registry directly through the API, beside the seam under test.
#include "platform/win32/windows_api.h"

#include "platform/win32_codes.h"
#include "tests/support/test_registry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

HKEY ToHkey(platform::RegRoot root) {
  switch (root) {
    case platform::RegRoot::kClassesRoot:
      return HKEY_CLASSES_ROOT;
    case platform::RegRoot::kCurrentUser:
      return HKEY_CURRENT_USER;
    case platform::RegRoot::kLocalMachine:
      return HKEY_LOCAL_MACHINE;
    case platform::RegRoot::kUsers:
      return HKEY_USERS;
  }
  return nullptr;
}

// The flag that reaches the view a program of this build does not see by default.
REGSAM ViewFlag(platform::RegView view) {
  if (view == platform::RegView::kOwn) return 0;
  return sizeof(void*) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
}

class CreatedKey {
 public:
  CreatedKey(platform::RegRoot root, std::string_view path,
             platform::RegView view = platform::RegView::kOwn) {
    const std::string p(path);
    result_ = RegCreateKeyExA(ToHkey(root), p.c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS | ViewFlag(view), nullptr, &key_, nullptr);
    if (result_ != ERROR_SUCCESS) ADD_FAILURE() << "cannot create " << p << ": " << result_;
  }
  ~CreatedKey() {
    if (result_ == ERROR_SUCCESS) RegCloseKey(key_);
  }
  CreatedKey(const CreatedKey&) = delete;
  CreatedKey& operator=(const CreatedKey&) = delete;
  bool ok() const { return result_ == ERROR_SUCCESS; }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
  LONG result_ = ERROR_SUCCESS;
};

}  // namespace

struct TestRegistry::Backend {};

TestRegistry::TestRegistry() = default;
TestRegistry::~TestRegistry() = default;

void TestRegistry::AddKey(platform::RegRoot root, std::string_view path, platform::RegView view) {
  CreatedKey key(root, path, view);
}

namespace {

void SetIn(platform::RegRoot root, std::string_view path, platform::RegView view,
           std::string_view name, std::uint32_t type, std::string_view bytes) {
  CreatedKey key(root, path, view);
  if (!key.ok()) return;
  const std::string n(name);
  const LONG result =
      RegSetValueExA(key.get(), n.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                     static_cast<DWORD>(bytes.size()));
  if (result != ERROR_SUCCESS) ADD_FAILURE() << "cannot set " << n << ": " << result;
}

}  // namespace

void TestRegistry::SetValue(platform::RegRoot root, std::string_view path, std::string_view name,
                            std::uint32_t type, std::string_view bytes) {
  SetIn(root, path, platform::RegView::kOwn, name, type, bytes);
}

void TestRegistry::SetString(platform::RegRoot root, std::string_view path, std::string_view name,
                             std::string_view text, platform::RegView view) {
  std::string bytes(text);
  bytes += '\0';
  SetIn(root, path, view, name, REG_SZ, bytes);
}

void TestRegistry::SetDword(platform::RegRoot root, std::string_view path, std::string_view name,
                            std::uint32_t number) {
  const DWORD value = number;
  SetValue(root, path, name, REG_DWORD,
           std::string_view(reinterpret_cast<const char*>(&value), sizeof(value)));
}

std::optional<StoredValue> TestRegistry::Value(platform::RegRoot root, std::string_view path,
                                               std::string_view name) const {
  HKEY key = nullptr;
  const std::string p(path);
  if (RegOpenKeyExA(ToHkey(root), p.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  const std::string n(name);
  DWORD type = 0;
  DWORD size = 0;
  std::optional<StoredValue> value;
  if (RegQueryValueExA(key, n.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
    std::vector<char> data(size + 1);
    if (RegQueryValueExA(key, n.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                         &size) == ERROR_SUCCESS) {
      value = StoredValue{type, std::string(data.data(), size)};
    }
  }
  RegCloseKey(key);
  return value;
}
