// Registries of random values, each grown from a seed: every key and value that the checks and
// collectors read, of a random type and size (0, 1, around every buffer size the program reads
// into, 64 KiB) and random bytes (with and without a terminating zero, GBK lead bytes at the end,
// embedded zeros, any byte but CR and LF), or missing. What was written is kept by role, so that
// a test can tell whether a text in the report came from it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/registry_model.h"

namespace random_registry {

using platform::sim::RegValue;

// One program of the uninstall list: its two values, each absent or as written.
struct Program {
  std::optional<RegValue> name;
  std::optional<RegValue> version;
};

// What the registry was given, by what reads it.
struct Written {
  std::vector<Program> programs;
  std::vector<RegValue> hotfixComments;
  std::vector<RegValue> helperNames;     // the default values of the helpers' class keys
  std::vector<RegValue> extensionTexts;  // MenuText and ButtonText
  std::vector<RegValue> browserTexts;    // "User Agent", AutoConfigURL and ProxyServer
  std::vector<RegValue> proxyOverrides;
  std::vector<RegValue> userAgentFields;  // Compatible, Version and Platform of both roots
};

// Fills `registry` with the random registry of `seed`.
Written Fill(std::uint64_t seed, platform::sim::Registry& registry);

// A value's text as the program reads it: its bytes up to the first zero.
std::string TextOf(const RegValue& value);

// The seed of the `index`-th workstation of a run seeded with `seed`.
std::uint64_t WorkstationSeed(std::uint64_t seed, std::uint64_t index);

}  // namespace random_registry
