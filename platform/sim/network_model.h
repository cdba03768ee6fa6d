// The simulated IP helper: adapters with their DNS servers, the IPv4 route table, and injected
// faults.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/network.h"

namespace platform::sim {

// The IP helper's queries, each of which can be told to fail at one of its steps.
enum class NetworkQuery { kAdapters, kDnsServers, kRoutes };

class Network {
 public:
  // Building. Adapters are listed in the order added; with none, the adapter query answers
  // ERROR_NO_DATA.
  Network& AddAdapter(AdapterInfo adapter);
  // The DNS servers of the interface `index`; an interface without a list has one empty entry,
  // as Windows gives it.
  Network& SetDnsServers(std::uint32_t index, std::vector<std::string> servers);
  // The route table, rows in order (none is a table with the count 0). Until it is set, the size
  // query answers ERROR_NO_DATA, as for a system without one.
  Network& SetRoutes(std::vector<RouteRow> rows);
  // The next `times` runs of `query` (every one when times < 0) fail at `step` with `code`.
  Network& Fail(NetworkQuery query, QueryStep step, long code, int times = -1);

  // The backend's side.
  long Adapters(std::vector<AdapterInfo>* adapters, QueryStep* step);
  long DnsServers(std::uint32_t index, std::vector<std::string>* servers);
  long Routes(std::vector<RouteRow>* rows, QueryStep* step);

 private:
  struct Fault {
    NetworkQuery query;
    QueryStep step;
    long code;
    int times;
  };
  // The injected failure of `query`, if any, with its step; the fault is used up.
  std::optional<Fault> TakeFault(NetworkQuery query);

  std::mutex mutex_;
  std::vector<AdapterInfo> adapters_;
  std::map<std::uint32_t, std::vector<std::string>> dnsServers_;
  std::optional<std::vector<RouteRow>> routes_;
  std::vector<Fault> faults_;
};

}  // namespace platform::sim
