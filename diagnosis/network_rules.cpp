// The network connection row: a way out (a default route, and only one at its metric), an
// address that came from somewhere, and a name server.
#include <algorithm>
#include <set>
#include <string>

#include "diagnosis/facts.h"

namespace diagnosis {

namespace {

bool IsAutoconfig(const std::string& address) { return address.rfind("169.254.", 0) == 0; }

// Connected (it has a usable address) and each of its usable addresses self-assigned.
bool HasOnlyAutoconfig(const platform::AdapterInfo& adapter) {
  bool any = false;
  for (const platform::AdapterAddress& entry : adapter.addresses) {
    if (!collect::IsUsableAddress(entry.address)) continue;
    if (!IsAutoconfig(entry.address)) return false;
    any = true;
  }
  return any;
}

bool IsConnected(const platform::AdapterInfo& adapter) {
  return std::any_of(adapter.addresses.begin(), adapter.addresses.end(),
                     [](const auto& entry) { return collect::IsUsableAddress(entry.address); });
}

// Default routes that tie at the lowest metric on more than one interface, or none.
std::optional<Finding> CompetingDefaultRoutes(const collect::RouteAndAdapterSections& facts,
                                              const std::vector<platform::RouteRow>& defaults) {
  const auto lowest =
      std::min_element(defaults.begin(), defaults.end(),
                       [](const auto& a, const auto& b) { return a.metric1 < b.metric1; });
  std::set<std::uint32_t> interfaces;
  for (const platform::RouteRow& row : defaults) {
    if (row.metric1 == lowest->metric1) interfaces.insert(row.interfaceIndex);
  }
  if (interfaces.size() < 2) return std::nullopt;
  const collect::InterfaceAddressMap addresses = collect::InterfaceAddresses(facts.adapter);
  std::string evidence = "0.0.0.0/0 metric " + std::to_string(lowest->metric1) + " on interfaces";
  for (const std::uint32_t index : interfaces) {
    const auto address = addresses.find(index);
    evidence += ' ' + std::to_string(index) + " (" +
                (address != addresses.end() ? address->second : "0.0.0.0") + ")";
  }
  return Finding{FindingId::kCompetingDefaultRoutes, evidence};
}

}  // namespace

RowOutcome JudgeNetworkConnection(const collect::RouteAndAdapterSections& facts) {
  if (!facts.route.listed) return FailedOutcome();
  std::vector<Finding> findings;
  std::vector<platform::RouteRow> defaults;
  for (const platform::RouteRow& row : facts.route.routes) {
    if (row.destination == 0 && row.mask == 0) defaults.push_back(row);
  }
  if (defaults.empty()) {
    findings.push_back({FindingId::kNoDefaultRoute,
                        std::to_string(facts.route.routes.size()) + " routes, none to 0.0.0.0/0"});
  } else if (auto competing = CompetingDefaultRoutes(facts, defaults)) {
    findings.push_back(std::move(*competing));
  }

  std::string autoconfig;
  std::string withoutDns;
  bool connected = false;
  bool dns = false;
  for (const collect::NetworkAdapter& adapter : facts.adapter.adapters) {
    if (!IsConnected(adapter.info)) continue;
    connected = true;
    if (!adapter.dns.first.empty()) dns = true;
    if (HasOnlyAutoconfig(adapter.info)) {
      autoconfig += (autoconfig.empty() ? "" : "; ") + adapter.info.description + ":";
      for (const platform::AdapterAddress& entry : adapter.info.addresses) {
        if (collect::IsUsableAddress(entry.address)) autoconfig += ' ' + entry.address;
      }
    }
    if (adapter.dns.first.empty()) {
      withoutDns += (withoutDns.empty() ? "" : "; ") + adapter.info.description;
    }
  }
  if (!autoconfig.empty()) findings.push_back({FindingId::kAdapterAutoconfigAddress, autoconfig});
  // Without any connected adapter, the missing way out is the cause to name.
  if (connected && !dns) {
    findings.push_back({FindingId::kNoDnsServer, "no DNS server on: " + withoutDns});
  }
  return OutcomeOf(std::move(findings));
}

}  // namespace diagnosis
