// The route table section and the adapter section, which share their gathering: the adapters
// are listed only when the route table could be had.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "collect/adapter_section.h"
#include "platform/network.h"

namespace collect {

struct RouteSection {
  bool listed = false;                     // the route table was had (it may hold no route)
  std::vector<platform::RouteRow> routes;  // in the table's order, unsorted
};

struct RouteAndAdapterSections {
  RouteSection route;
  AdapterSection adapter;  // not listed when the route table could not be had
};

RouteAndAdapterSections GatherRouteAndAdapterSections();

// The heading and one line per route; empty when the table was not had. The interface column
// shows the adapters' addresses.
std::string RenderRouteSection(const RouteSection& section, const AdapterSection& adapters);

// One line of the route listing: destination, mask, next hop, interface address and metric,
// in padded columns. The interface is shown by its address: "127.0.0.1" for index 1, the
// address the map holds for it, else "0.0.0.0".
void AppendRouteLine(std::string& route, const platform::RouteRow& row,
                     const InterfaceAddressMap& addresses);

}  // namespace collect
