// Seeds the registry that the backend under test reads: the simulated one natively, Wine's
// real one in the Windows build. Each test seeds its own fresh registry.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/registry.h"

struct StoredValue {
  std::uint32_t type = 0;
  std::string data;
};

class TestRegistry {
 public:
  TestRegistry();
  ~TestRegistry();

  // Keys and values go to the program's own registry view unless `view` says the other.
  void AddKey(platform::RegRoot root, std::string_view path,
              platform::RegView view = platform::RegView::kOwn);
  void SetValue(platform::RegRoot root, std::string_view path, std::string_view name,
                std::uint32_t type, std::string_view bytes);
  void SetString(platform::RegRoot root, std::string_view path, std::string_view name,
                 std::string_view text, platform::RegView view = platform::RegView::kOwn);
  void SetDword(platform::RegRoot root, std::string_view path, std::string_view name,
                std::uint32_t number);
  // Reads back what a value holds now, without going through the seam under test.
  std::optional<StoredValue> Value(platform::RegRoot root, std::string_view path,
                                   std::string_view name) const;

 private:
  struct Backend;
  std::unique_ptr<Backend> backend_;
};
