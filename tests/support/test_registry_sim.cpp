#include "tests/support/test_registry.h"

#include "platform/sim/workstation.h"

struct TestRegistry::Backend {
  platform::sim::Workstation workstation;
};

TestRegistry::TestRegistry() : backend_(std::make_unique<Backend>()) {}
TestRegistry::~TestRegistry() = default;

namespace {

// Where the seam finds `path` in `view` of the simulated Windows.
std::string Stored(const platform::sim::Registry& registry, platform::RegRoot root,
                   std::string_view path, platform::RegView view) {
  return registry.StoredPath(root, path, registry.BitnessOf(view));
}

}  // namespace

void TestRegistry::AddKey(platform::RegRoot root, std::string_view path, platform::RegView view) {
  platform::sim::Registry& registry = backend_->workstation.registry();
  registry.AddKey(root, Stored(registry, root, path, view));
}

void TestRegistry::SetValue(platform::RegRoot root, std::string_view path, std::string_view name,
                            std::uint32_t type, std::string_view bytes) {
  backend_->workstation.registry().SetValue(root, path, name, type, bytes);
}

void TestRegistry::SetString(platform::RegRoot root, std::string_view path, std::string_view name,
                             std::string_view text, platform::RegView view) {
  platform::sim::Registry& registry = backend_->workstation.registry();
  registry.SetString(root, Stored(registry, root, path, view), name, text);
}

void TestRegistry::SetDword(platform::RegRoot root, std::string_view path, std::string_view name,
                            std::uint32_t number) {
  backend_->workstation.registry().SetDword(root, path, name, number);
}

std::optional<StoredValue> TestRegistry::Value(platform::RegRoot root, std::string_view path,
                                               std::string_view name) const {
  const auto value = backend_->workstation.registry().Value(root, path, name);
  if (!value) return std::nullopt;
  return StoredValue{value->type, value->data};
}
