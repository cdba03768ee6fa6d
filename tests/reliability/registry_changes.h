// What the program may change in the registry: the two repairs and the virtual adapter's binding
// that the report puts right, each written from the value as it was, read whole. Anything else
// that differs between two snapshots is a fault.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/registry_model.h"

namespace registry_changes {

using Snapshot = std::map<std::string, std::optional<platform::sim::RegValue>>;

// The value that the program may leave at `key` (as Registry::Contents names it) in place of
// `before` (nullopt: none was there), or nullopt when it may not change or make it at all.
std::optional<platform::sim::RegValue> Repaired(
    const std::string& key, const std::optional<platform::sim::RegValue>& before);

// Each key made, removed or changed otherwise than Repaired allows, in words.
std::vector<std::string> Unexpected(const Snapshot& before, const Snapshot& after);

// The texts of a REG_MULTI_SZ list, up to its empty text or its end.
std::vector<std::string> ListOf(const std::string& data);

}  // namespace registry_changes
