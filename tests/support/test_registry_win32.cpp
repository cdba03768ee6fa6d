// Seeds Wine's registry directly through the API, beside the seam under test.
#include "platform/win32/windows_api.h"

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
  }
  return nullptr;
}

class CreatedKey {
 public:
  CreatedKey(platform::RegRoot root, std::string_view path) {
    const std::string p(path);
    result_ = RegCreateKeyExA(ToHkey(root), p.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key_, nullptr);
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

void TestRegistry::AddKey(platform::RegRoot root, std::string_view path) {
  CreatedKey key(root, path);
}

void TestRegistry::SetValue(platform::RegRoot root, std::string_view path, std::string_view name,
                            std::uint32_t type, std::string_view bytes) {
  CreatedKey key(root, path);
  if (!key.ok()) return;
  const std::string n(name);
  const LONG result =
      RegSetValueExA(key.get(), n.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                     static_cast<DWORD>(bytes.size()));
  if (result != ERROR_SUCCESS) ADD_FAILURE() << "cannot set " << n << ": " << result;
}

void TestRegistry::SetString(platform::RegRoot root, std::string_view path, std::string_view name,
                             std::string_view text) {
  std::string bytes(text);
  bytes += '\0';
  SetValue(root, path, name, REG_SZ, bytes);
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
