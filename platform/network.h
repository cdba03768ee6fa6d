// The IP helper (iphlpapi.dll, loaded at run time from the system folder): the network adapters,
// the DNS servers of each, and the IPv4 route table.
//
// Each call asks for its size first and then reads into a buffer of that size; the result is the
// Win32 code of the call that ended it, ERROR_SUCCESS when both succeeded. A size query of the
// adapters or the routes that answers ERROR_SUCCESS has nothing to give: the call ends there
// with ERROR_INVALID_DATA (platform/query_step.h). Out-parameters are filled on success only. A
// missing iphlpapi.dll or function gives ERROR_PROC_NOT_FOUND at the size query.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/query_step.h"

namespace platform {

// An IPv4 address and its mask as the IP helper writes them ("192.168.1.10").
struct AdapterAddress {
  std::string address;
  std::string mask;

  bool operator==(const AdapterAddress&) const = default;
};

// One adapter of GetAdaptersInfo. The texts are those of the record's fixed fields, each cut at
// its first zero and never read past its field.
struct AdapterInfo {
  std::string name;  // AdapterName: the adapter's GUID
  std::string description;
  std::vector<unsigned char> hardwareAddress;  // the first AddressLength bytes of Address (<= 8)
  std::uint32_t index = 0;
  std::uint32_t dhcpEnabled = 0;
  std::vector<AdapterAddress> addresses;  // IpAddressList, in order
  std::string gateway;                    // the first entry of GatewayList
  std::string dhcpServer;                 // the first entry of DhcpServer
  std::string primaryWinsServer;
  std::string secondaryWinsServer;
};

// GetAdaptersInfo: the adapters in the system's order. At kSize the code is the size query's
// own: ERROR_NO_DATA when there is no adapter, anything but ERROR_BUFFER_OVERFLOW (which means
// "go on") otherwise; ERROR_NOT_ENOUGH_MEMORY at kAllocate; the second call's code at kRead.
[[nodiscard]] long GetAdapters(std::vector<AdapterInfo>* adapters, QueryStep* step);

// GetPerAdapterInfo(index): the address texts of the interface's DNS servers (DnsServerList), in
// order. Its first entry is always there and empty when the interface has no DNS server. A size
// query that does not answer ERROR_BUFFER_OVERFLOW gives its own code (ERROR_INVALID_PARAMETER
// for an unknown index, say).
[[nodiscard]] long GetAdapterDnsServerList(std::uint32_t index, std::vector<std::string>* servers);

// One row of the IPv4 route table. Addresses are as the table stores them, in network byte
// order: the first byte in memory is the first number of the dotted form.
struct RouteRow {
  std::uint32_t destination = 0;
  std::uint32_t mask = 0;
  std::uint32_t nextHop = 0;
  std::uint32_t interfaceIndex = 0;
  std::uint32_t metric1 = 0;
};

// GetIpForwardTable, unsorted: the rows in the table's order. At kSize the code is the size
// query's own: anything but ERROR_INSUFFICIENT_BUFFER (ERROR_NO_DATA when there is no table);
// ERROR_NOT_ENOUGH_MEMORY at kAllocate; the second call's code at kRead. A table with no rows
// succeeds with none.
[[nodiscard]] long GetRouteTable(std::vector<RouteRow>* rows, QueryStep* step);

}  // namespace platform
