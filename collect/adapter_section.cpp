#include "collect/adapter_section.h"

#include <cstdio>
#include <utility>
#include <vector>

#include "platform/trace.h"
#include "platform/win32_codes.h"
#include "text/text_table.h"

namespace collect {

using namespace text;

namespace {

constexpr char kNoAddress[] = "0.0.0.0";
constexpr char kLoopback[] = "127.0.0.1";

// The unset address says "none": it is shown as nothing.
std::string Shown(const std::string& address) { return address == kNoAddress ? "" : address; }

void AppendLine(std::string& text, const char* label, const std::string& value) {
  text += label;
  text += ": ";
  text += value;
  text += "\r\n";
}

void AppendMacLine(std::string& text, const platform::AdapterInfo& adapter) {
  text += "MAC ";
  AppendLine(text, GetText(TEXT_ADDRESS), FormatMacAddress(adapter));
}

// An adapter that cannot be reached at any address, typically one whose cable is out.
void AppendDisconnectedBlock(std::string& text, const platform::AdapterInfo& adapter) {
  text += adapter.description + "\r\n";
  AppendMacLine(text, adapter);
  text += GetText(TEXT_MEDIA_DISCONNECTED);
  text += "\r\n\r\n";
}

// The first address the adapter can be reached at, or null.
const platform::AdapterAddress* FirstUsable(const platform::AdapterInfo& adapter) {
  for (const platform::AdapterAddress& entry : adapter.addresses) {
    if (IsUsableAddress(entry.address)) return &entry;
  }
  return nullptr;
}

void AppendConnectedBlock(std::string& text, const platform::AdapterInfo& adapter,
                          const AdapterDnsServers& dns) {
  text += adapter.description + "\r\n";
  AppendMacLine(text, adapter);
  text += "IP  ";
  text += GetText(TEXT_ADDRESS);
  text += ':';
  for (const platform::AdapterAddress& entry : adapter.addresses) {
    if (!IsUsableAddress(entry.address)) continue;
    text += entry.address + '(' + entry.mask + ")  ";
  }
  text += "\r\n";
  AppendLine(text, GetText(TEXT_DEFAULT_GATEWAY_ADDRESS), Shown(adapter.gateway));
  if (adapter.dhcpEnabled == 1) {
    text += "DHCP ";
    AppendLine(text, GetText(TEXT_ENABLED), adapter.dhcpServer);
  } else {
    text += "DHCP : ";
    text += GetText(TEXT_DISABLED);
    text += "\r\n";
  }
  AppendLine(text, GetText(TEXT_PRIMARY_WINS_SERVER), Shown(adapter.primaryWinsServer));
  AppendLine(text, GetText(TEXT_SECONDARY_WINS_SERVER), Shown(adapter.secondaryWinsServer));
  if (!dns.first.empty()) AppendLine(text, GetText(TEXT_PRIMARY_DNS_SERVER), dns.first);
  if (!dns.second.empty()) AppendLine(text, GetText(TEXT_SECONDARY_DNS_SERVER), dns.second);
  text += "\r\n";
}

}  // namespace

bool IsUsableAddress(const std::string& address) {
  return address != kNoAddress && address != kLoopback;
}

std::string FormatMacAddress(const platform::AdapterInfo& adapter) {
  std::string text;
  for (std::size_t i = 0; i < adapter.hardwareAddress.size(); ++i) {
    char byte[3];
    std::snprintf(byte, sizeof(byte), "%02X", adapter.hardwareAddress[i]);
    if (i > 0) text += '-';
    text += byte;
  }
  return text;
}

AdapterDnsServers GetAdapterDnsServers(std::uint32_t index) {
  AdapterDnsServers dns;
  std::vector<std::string> servers;
  if (platform::GetAdapterDnsServerList(index, &servers) != ERROR_SUCCESS) return dns;
  if (!servers.empty()) dns.first = servers[0];
  if (servers.size() > 1) dns.second = servers[1];
  return dns;
}

AdapterSection GatherAdapterSection() {
  AdapterSection section;
  std::vector<platform::AdapterInfo> adapters;
  platform::QueryStep step = platform::QueryStep::kSize;
  const long result = platform::GetAdapters(&adapters, &step);
  if (result != ERROR_SUCCESS) {
    platform::DebugTrace(result == ERROR_NO_DATA && step == platform::QueryStep::kSize
                             ? "No adapters, return!"
                             : "Fail to get adapters, return!");
    return section;
  }
  section.listed = true;
  for (platform::AdapterInfo& info : adapters) {
    NetworkAdapter adapter;
    if (FirstUsable(info) != nullptr) adapter.dns = GetAdapterDnsServers(info.index);
    adapter.info = std::move(info);
    section.adapters.push_back(std::move(adapter));
  }
  return section;
}

std::string RenderAdapterSection(const AdapterSection& section) {
  std::string text;
  for (const NetworkAdapter& adapter : section.adapters) {
    if (FirstUsable(adapter.info) == nullptr) {
      AppendDisconnectedBlock(text, adapter.info);
    } else {
      AppendConnectedBlock(text, adapter.info, adapter.dns);
    }
  }
  return text;
}

InterfaceAddressMap InterfaceAddresses(const AdapterSection& section) {
  InterfaceAddressMap addresses;
  for (const NetworkAdapter& adapter : section.adapters) {
    if (const platform::AdapterAddress* usable = FirstUsable(adapter.info)) {
      addresses[adapter.info.index] = usable->address;
    }
  }
  return addresses;
}

}  // namespace collect
