// The network adapter inventory: one block of the report's adapter text per adapter, and on the
// way the address of each interface, which the route table shows in its interface column.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include "platform/network.h"

// Interface index -> the text of the first usable address of its adapter.
using InterfaceAddressMap = std::unordered_map<std::uint32_t, std::string>;

// Appends one block per adapter to `text` and records each usable address in `addresses`.
// Returns 0, or -1 when the adapter list cannot be had (nothing appended, nothing recorded).
int AppendAdapterInventory(InterfaceAddressMap& addresses, std::string& text);

// The hardware address as upper-case hexadecimal bytes joined by '-'; empty when it has none.
std::string FormatMacAddress(const platform::AdapterInfo& adapter);

// The first two DNS servers of an interface; each empty when absent.
struct AdapterDnsServers {
  std::string first;
  std::string second;
};
AdapterDnsServers GetAdapterDnsServers(std::uint32_t index);
