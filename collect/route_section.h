// The route table section and, through the adapter inventory, the adapter section.
#pragma once

#include <cstdint>
#include <string>

#include "collect/adapter_inventory.h"
#include "platform/network.h"

// One line of the route listing: destination, mask, next hop, interface address and metric,
// in padded columns. The interface is shown by its address: "127.0.0.1" for index 1, the
// address the map holds for it, else "0.0.0.0".
void AppendRouteLine(std::string& route, const platform::RouteRow& row,
                     const InterfaceAddressMap& addresses);
