// The adapter section: one block per network adapter, and the address of each interface, which
// the route table shows in its interface column.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/network.h"

namespace collect {

// Interface index -> the text of the first usable address of its adapter.
using InterfaceAddressMap = std::unordered_map<std::uint32_t, std::string>;

// Neither the unset address nor the loopback one: an address the adapter can be reached at. An
// adapter with one is connected.
bool IsUsableAddress(const std::string& address);

// The hardware address as upper-case hexadecimal bytes joined by '-'; empty when it has none.
std::string FormatMacAddress(const platform::AdapterInfo& adapter);

// The first two DNS servers of an interface; each empty when absent.
struct AdapterDnsServers {
  std::string first;
  std::string second;
};
AdapterDnsServers GetAdapterDnsServers(std::uint32_t index);

// One adapter, with the DNS servers of its interface when it has a usable address.
struct NetworkAdapter {
  platform::AdapterInfo info;
  AdapterDnsServers dns;
};

struct AdapterSection {
  bool listed = false;  // the adapter list was had (it may hold no adapter)
  std::vector<NetworkAdapter> adapters;
};

// The adapters, each connected one with its DNS servers. Not listed (and traced) when the list
// cannot be had.
AdapterSection GatherAdapterSection();

// One block per adapter: a connected one (with a usable address) in full, one without as
// disconnected.
std::string RenderAdapterSection(const AdapterSection& section);

// The interface of each connected adapter, by the text of its first usable address.
InterfaceAddressMap InterfaceAddresses(const AdapterSection& section);

}  // namespace collect
