// Adapters and routes for the simulated workstation, as the collector tests build them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/network.h"

// A wired adapter with DHCP, the given addresses, and nothing else set.
inline platform::AdapterInfo Adapter(std::string description, std::uint32_t index,
                                     std::vector<platform::AdapterAddress> addresses,
                                     std::string gateway = "0.0.0.0") {
  platform::AdapterInfo adapter;
  adapter.name = "{ADAPTER-" + std::to_string(index) + "}";
  adapter.description = std::move(description);
  adapter.hardwareAddress = {0x00, 0x0C, 0x29, 0x12, 0x34, static_cast<unsigned char>(index)};
  adapter.index = index;
  adapter.dhcpEnabled = 1;
  adapter.addresses = std::move(addresses);
  adapter.gateway = std::move(gateway);
  adapter.dhcpServer = "192.168.1.1";
  adapter.primaryWinsServer = "0.0.0.0";
  adapter.secondaryWinsServer = "0.0.0.0";
  return adapter;
}

// An address in network byte order from its four numbers.
inline std::uint32_t Ip(unsigned a, unsigned b, unsigned c, unsigned d) {
  const unsigned char bytes[4] = {static_cast<unsigned char>(a), static_cast<unsigned char>(b),
                                  static_cast<unsigned char>(c), static_cast<unsigned char>(d)};
  std::uint32_t address = 0;
  for (int i = 3; i >= 0; --i) address = address << 8 | bytes[i];
  return address;
}

inline platform::RouteRow Route(std::uint32_t destination, std::uint32_t mask,
                                std::uint32_t nextHop, std::uint32_t interfaceIndex,
                                std::uint32_t metric) {
  return platform::RouteRow{destination, mask, nextHop, interfaceIndex, metric};
}
