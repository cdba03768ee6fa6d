#include "collect/route_section.h"

#include <cstdio>
#include <cstring>
#include <iterator>
#include <vector>

#include "platform/trace.h"
#include "platform/win32_codes.h"
#include "text/text_table.h"

namespace collect {

using namespace text;

namespace {

constexpr std::size_t kColumnWidth = 15;  // the longest dotted address

// The address as its bytes lie in memory, first byte first.
std::string FormatAddress(std::uint32_t address) {
  unsigned char bytes[4];
  static_assert(sizeof(bytes) == sizeof(address));
  std::memcpy(bytes, &address, sizeof(bytes));
  char text[32];
  std::snprintf(text, sizeof(text), "%d.%d.%d.%d", bytes[0], bytes[1], bytes[2], bytes[3]);
  return text;
}

void AppendColumn(std::string& route, const std::string& value, const char* gap) {
  route += value;
  route += gap;
  if (value.size() < kColumnWidth) route.append(kColumnWidth - value.size(), ' ');
}

const std::string& InterfaceAddress(std::uint32_t index, const InterfaceAddressMap& addresses) {
  static const std::string kLoopback = "127.0.0.1";
  static const std::string kNone = "0.0.0.0";
  if (index == 1) return kLoopback;
  const auto it = addresses.find(index);
  return it != addresses.end() ? it->second : kNone;
}

}  // namespace

void AppendRouteLine(std::string& route, const platform::RouteRow& row,
                     const InterfaceAddressMap& addresses) {
  AppendColumn(route, FormatAddress(row.destination), "   ");
  AppendColumn(route, FormatAddress(row.mask), "  ");
  AppendColumn(route, FormatAddress(row.nextHop), "  ");
  AppendColumn(route, InterfaceAddress(row.interfaceIndex, addresses), "  ");
  char metric[16];
  std::snprintf(metric, sizeof(metric), "%d", static_cast<std::int32_t>(row.metric1));
  route += metric;
  route += "\r\n";
}

RouteAndAdapterSections GatherRouteAndAdapterSections() {
  RouteAndAdapterSections sections;
  platform::QueryStep step = platform::QueryStep::kSize;
  if (platform::GetRouteTable(&sections.route.routes, &step) != ERROR_SUCCESS) {
    if (step == platform::QueryStep::kRead) platform::DebugTrace("Failed to get ip table!");
    return sections;
  }
  sections.route.listed = true;
  // No adapter is no reason to leave the routes out: their interfaces then show "0.0.0.0".
  sections.adapter = GatherAdapterSection();
  return sections;
}

std::string RenderRouteSection(const RouteSection& section, const AdapterSection& adapters) {
  std::string route;
  if (!section.listed) return route;
  const char* labels[] = {GetText(TEXT_NETWORK_DESTINATION), GetText(TEXT_NETMASK),
                          GetText(TEXT_GATEWAY), GetText(TEXT_INTERFACE), GetText(TEXT_METRIC)};
  for (std::size_t i = 0; i < std::size(labels); ++i) {
    if (i > 0) route += "          ";
    route += labels[i];
  }
  route += "\r\n";
  // Four padded columns, a metric of at most 11 characters and the line end: one allocation.
  route.reserve(route.size() + section.routes.size() * (18 + 3 * 17 + 11 + 2));
  const InterfaceAddressMap addresses = InterfaceAddresses(adapters);
  for (const platform::RouteRow& row : section.routes) AppendRouteLine(route, row, addresses);
  return route;
}

}  // namespace collect
