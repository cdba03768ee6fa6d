// The IP helper of the real system, from iphlpapi.dll in the system folder.
#include "platform/win32/windows_api.h"

#include <iphlpapi.h>

#include <cstring>
#include <new>
#include <vector>

#include "platform/network.h"
#include "platform/win32/system_library.h"

namespace platform {
namespace {

constexpr char kIpHelper[] = "iphlpapi.dll";

// A fixed text field, cut at its first zero and never read past its end.
template <std::size_t N>
std::string FieldText(const char (&field)[N]) {
  const void* zero = std::memchr(field, '\0', N);
  return std::string(field, zero != nullptr ? static_cast<const char*>(zero) - field : N);
}

// A buffer of `size` bytes, aligned for the records the IP helper writes into it; false when it
// cannot be had.
bool Allocate(std::vector<ULONGLONG>* buffer, ULONG size) {
  try {
    buffer->assign(size / sizeof(ULONGLONG) + 1, 0);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

AdapterInfo ToAdapter(const IP_ADAPTER_INFO& record) {
  AdapterInfo adapter;
  adapter.name = FieldText(record.AdapterName);
  adapter.description = FieldText(record.Description);
  const UINT length = record.AddressLength < MAX_ADAPTER_ADDRESS_LENGTH
                          ? record.AddressLength
                          : MAX_ADAPTER_ADDRESS_LENGTH;
  adapter.hardwareAddress.assign(record.Address, record.Address + length);
  adapter.index = record.Index;
  adapter.dhcpEnabled = record.DhcpEnabled;
  for (const IP_ADDR_STRING* entry = &record.IpAddressList; entry != nullptr; entry = entry->Next) {
    adapter.addresses.push_back(
        AdapterAddress{FieldText(entry->IpAddress.String), FieldText(entry->IpMask.String)});
  }
  adapter.gateway = FieldText(record.GatewayList.IpAddress.String);
  adapter.dhcpServer = FieldText(record.DhcpServer.IpAddress.String);
  adapter.primaryWinsServer = FieldText(record.PrimaryWinsServer.IpAddress.String);
  adapter.secondaryWinsServer = FieldText(record.SecondaryWinsServer.IpAddress.String);
  return adapter;
}

}  // namespace

long GetAdapters(std::vector<AdapterInfo>* adapters, QueryStep* step) {
  const auto getAdaptersInfo =
      win32::GetSystemFunction<decltype(&GetAdaptersInfo)>(kIpHelper, "GetAdaptersInfo");
  *step = QueryStep::kSize;
  if (getAdaptersInfo == nullptr) return ERROR_PROC_NOT_FOUND;
  ULONG size = 0;
  const DWORD sized = getAdaptersInfo(nullptr, &size);
  if (sized != ERROR_BUFFER_OVERFLOW) return SizeQueryEnd(static_cast<long>(sized));
  std::vector<ULONGLONG> buffer;
  if (!Allocate(&buffer, size)) {
    *step = QueryStep::kAllocate;
    return ERROR_NOT_ENOUGH_MEMORY;
  }
  auto* first = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data());
  const DWORD read = getAdaptersInfo(first, &size);
  if (read != ERROR_SUCCESS) {
    *step = QueryStep::kRead;
    return static_cast<long>(read);
  }
  adapters->clear();
  for (const IP_ADAPTER_INFO* record = first; record != nullptr; record = record->Next) {
    adapters->push_back(ToAdapter(*record));
  }
  return ERROR_SUCCESS;
}

long GetAdapterDnsServerList(std::uint32_t index, std::vector<std::string>* servers) {
  const auto getPerAdapterInfo =
      win32::GetSystemFunction<decltype(&GetPerAdapterInfo)>(kIpHelper, "GetPerAdapterInfo");
  if (getPerAdapterInfo == nullptr) return ERROR_PROC_NOT_FOUND;
  ULONG size = 0;
  const DWORD sized = getPerAdapterInfo(index, nullptr, &size);
  if (sized != ERROR_BUFFER_OVERFLOW) return static_cast<long>(sized);
  std::vector<ULONGLONG> buffer;
  if (!Allocate(&buffer, size)) return ERROR_NOT_ENOUGH_MEMORY;
  auto* info = reinterpret_cast<IP_PER_ADAPTER_INFO*>(buffer.data());
  const DWORD read = getPerAdapterInfo(index, info, &size);
  if (read != ERROR_SUCCESS) return static_cast<long>(read);
  servers->clear();
  for (const IP_ADDR_STRING* entry = &info->DnsServerList; entry != nullptr; entry = entry->Next) {
    servers->push_back(FieldText(entry->IpAddress.String));
  }
  return ERROR_SUCCESS;
}

long GetRouteTable(std::vector<RouteRow>* rows, QueryStep* step) {
  const auto getIpForwardTable =
      win32::GetSystemFunction<decltype(&GetIpForwardTable)>(kIpHelper, "GetIpForwardTable");
  *step = QueryStep::kSize;
  if (getIpForwardTable == nullptr) return ERROR_PROC_NOT_FOUND;
  ULONG size = 0;
  const DWORD sized = getIpForwardTable(nullptr, &size, FALSE);
  if (sized != ERROR_INSUFFICIENT_BUFFER) return SizeQueryEnd(static_cast<long>(sized));
  std::vector<ULONGLONG> buffer;
  if (!Allocate(&buffer, size)) {
    *step = QueryStep::kAllocate;
    return ERROR_NOT_ENOUGH_MEMORY;
  }
  auto* table = reinterpret_cast<MIB_IPFORWARDTABLE*>(buffer.data());
  const DWORD read = getIpForwardTable(table, &size, FALSE);
  if (read != ERROR_SUCCESS) {
    *step = QueryStep::kRead;
    return static_cast<long>(read);
  }
  rows->clear();
  rows->reserve(table->dwNumEntries);
  for (DWORD i = 0; i < table->dwNumEntries; ++i) {
    const MIB_IPFORWARDROW& row = table->table[i];
    rows->push_back(RouteRow{row.dwForwardDest, row.dwForwardMask, row.dwForwardNextHop,
                             row.dwForwardIfIndex, row.dwForwardMetric1});
  }
  return ERROR_SUCCESS;
}

}  // namespace platform
