// The IP helper on the simulated workstation.
#include "platform/network.h"

#include "platform/sim/workstation.h"
#include "platform/win32_codes.h"

namespace platform {
namespace sim {

Network& Network::AddAdapter(AdapterInfo adapter) {
  std::lock_guard lock(mutex_);
  adapters_.push_back(std::move(adapter));
  return *this;
}

Network& Network::SetDnsServers(std::uint32_t index, std::vector<std::string> servers) {
  std::lock_guard lock(mutex_);
  dnsServers_[index] = std::move(servers);
  return *this;
}

Network& Network::SetRoutes(std::vector<RouteRow> rows) {
  std::lock_guard lock(mutex_);
  routes_ = std::move(rows);
  return *this;
}

Network& Network::Fail(NetworkQuery query, QueryStep step, long code, int times) {
  std::lock_guard lock(mutex_);
  faults_.push_back(Fault{query, step, code, times});
  return *this;
}

std::optional<Network::Fault> Network::TakeFault(NetworkQuery query) {
  for (auto it = faults_.begin(); it != faults_.end(); ++it) {
    if (it->query != query) continue;
    const Fault fault = *it;
    if (it->times > 0 && --it->times == 0) faults_.erase(it);
    return fault;
  }
  return std::nullopt;
}

long Network::Adapters(std::vector<AdapterInfo>* adapters, QueryStep* step) {
  std::lock_guard lock(mutex_);
  if (const auto fault = TakeFault(NetworkQuery::kAdapters)) {
    *step = fault->step;
    return fault->step == QueryStep::kSize ? SizeQueryEnd(fault->code) : fault->code;
  }
  if (adapters_.empty()) {
    *step = QueryStep::kSize;
    return ERROR_NO_DATA;
  }
  *adapters = adapters_;
  return ERROR_SUCCESS;
}

long Network::DnsServers(std::uint32_t index, std::vector<std::string>* servers) {
  std::lock_guard lock(mutex_);
  if (const auto fault = TakeFault(NetworkQuery::kDnsServers)) return fault->code;
  bool known = false;
  for (const AdapterInfo& adapter : adapters_) known = known || adapter.index == index;
  if (!known) return ERROR_INVALID_PARAMETER;
  const auto it = dnsServers_.find(index);
  if (it == dnsServers_.end() || it->second.empty()) {
    *servers = {std::string()};
  } else {
    *servers = it->second;
  }
  return ERROR_SUCCESS;
}

long Network::Routes(std::vector<RouteRow>* rows, QueryStep* step) {
  std::lock_guard lock(mutex_);
  if (const auto fault = TakeFault(NetworkQuery::kRoutes)) {
    *step = fault->step;
    return fault->step == QueryStep::kSize ? SizeQueryEnd(fault->code) : fault->code;
  }
  if (!routes_) {
    *step = QueryStep::kSize;
    return ERROR_NO_DATA;
  }
  *rows = *routes_;
  return ERROR_SUCCESS;
}

}  // namespace sim

// The tables fail most likely because they grew between the size query and the read.
long GetAdapters(std::vector<AdapterInfo>* adapters, QueryStep* step) {
  if (const long fault = sim::EnterCall("GetAdaptersInfo", "", ERROR_BUFFER_OVERFLOW)) {
    *step = QueryStep::kRead;
    return fault;
  }
  return sim::Workstation::Current().network().Adapters(adapters, step);
}

long GetAdapterDnsServerList(std::uint32_t index, std::vector<std::string>* servers) {
  if (const long fault =
          sim::EnterCall("GetPerAdapterInfo", std::to_string(index), ERROR_BUFFER_OVERFLOW)) {
    return fault;
  }
  return sim::Workstation::Current().network().DnsServers(index, servers);
}

long GetRouteTable(std::vector<RouteRow>* rows, QueryStep* step) {
  if (const long fault = sim::EnterCall("GetIpForwardTable", "", ERROR_INSUFFICIENT_BUFFER)) {
    *step = QueryStep::kRead;
    return fault;
  }
  return sim::Workstation::Current().network().Routes(rows, step);
}

}  // namespace platform
