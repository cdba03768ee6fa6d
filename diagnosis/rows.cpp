#include "diagnosis/rows.h"

#include <utility>

#include "collect/adapter_binding.h"
#include "diagnosis/facts.h"
#include "platform/services.h"
#include "platform/trace.h"
#include "platform/win32_codes.h"

namespace diagnosis {

using namespace text;

namespace {

struct RowDefinition {
  const char* key;
  TextId title;
  const char* repairStep;
};

// In RowId order.
constexpr RowDefinition kDefinitions[] = {
    {"vpn_client_service", TEXT_ROW_CLIENT_SERVICE, "正在修复Tovra客户端服务..."},
    {"vpn_virtual_adapter", TEXT_ROW_VIRTUAL_ADAPTER, "正在修复Tovra虚拟网卡..."},
    {"vpn_client_components", TEXT_ROW_CLIENT_COMPONENTS, "正在检查Tovra客户端组件..."},
    {"network_connection", TEXT_ROW_NETWORK_CONNECTION, "正在检查网络连接..."},
    {"browser_proxy", TEXT_ROW_BROWSER_PROXY, "正在检查浏览器代理设置..."},
    {"hosts_file", TEXT_ROW_HOSTS_FILE, "正在检查HOSTS文件..."},
    {"system_clock", TEXT_ROW_SYSTEM_CLOCK, "正在检查系统时间..."},
    {"system_drive_space", TEXT_ROW_SYSTEM_DRIVE_SPACE, "正在检查系统盘剩余空间..."},
};
static_assert(std::size(kDefinitions) == std::size(kRows));

const RowDefinition& DefinitionOf(RowId row) { return kDefinitions[static_cast<std::size_t>(row)]; }

void TraceCode(const char* what, long code) {
  platform::DebugTrace((std::string(what) + " failed: " + std::to_string(code) + "\r\n").c_str());
}

// Starts the stopped service; a disabled one is set to start automatically first. Each step
// that fails is traced and ends the repair: the check after it tells the row's state.
void RepairClientService() {
  const ClientServiceFacts facts = GatherClientServiceFacts();
  const bool disabled = facts.startType == std::uint32_t{SERVICE_DISABLED};
  if (facts.service != collect::ServiceState::kStopped && !disabled) return;
  platform::ServiceHandle manager;
  platform::ServiceHandle service;
  if (const long opened = manager.OpenManager(SC_MANAGER_CONNECT); opened != ERROR_SUCCESS) {
    return TraceCode("OpenSCManager", opened);
  }
  constexpr std::uint32_t kAccess =
      SERVICE_QUERY_CONFIG | SERVICE_CHANGE_CONFIG | SERVICE_QUERY_STATUS | SERVICE_START;
  if (const long opened = service.Open(manager, collect::kClientServiceName, kAccess);
      opened != ERROR_SUCCESS) {
    return TraceCode("OpenService QuorvService", opened);
  }
  if (disabled) {
    if (const long changed = service.ChangeStartType(SERVICE_AUTO_START);
        changed != ERROR_SUCCESS) {
      return TraceCode("ChangeServiceConfig QuorvService", changed);
    }
  }
  if (const long started = service.StartAndWait(kServiceStartWaitMilliseconds);
      started != ERROR_SUCCESS) {
    TraceCode("StartService QuorvService", started);
  }
}

// Enables the disabled adapter, and binds it to TCP/IP when it is not.
void RepairVirtualAdapter() {
  const VirtualAdapterFacts facts = GatherVirtualAdapterFacts();
  if (ClientNotInstalled(facts.client)) return;
  if (facts.device.status == collect::AdapterDevice::kProblem &&
      (facts.device.problem == CM_PROB_DISABLED)) {
    if (const std::uint32_t enabled = collect::EnableAdapterDevice(facts.adapterName.c_str());
        enabled != CR_SUCCESS) {
      TraceCode("CM_Enable_DevNode", static_cast<long>(enabled));
    }
  }
  if (facts.binding == 0) (void)collect::EnsureVirtualAdapterBinding(facts.adapterName.c_str());
}

}  // namespace

const char* RowKey(RowId row) { return DefinitionOf(row).key; }
TextId RowTitle(RowId row) { return DefinitionOf(row).title; }
const char* RepairStepText(RowId row) { return DefinitionOf(row).repairStep; }

RowOutcome CheckRow(RowId row) {
  switch (row) {
    case RowId::kClientService:
      return JudgeClientService(GatherClientServiceFacts());
    case RowId::kVirtualAdapter:
      return JudgeVirtualAdapter(GatherVirtualAdapterFacts());
    case RowId::kClientComponents:
      return JudgeClientComponents(GatherClientComponentFacts());
    case RowId::kNetworkConnection:
      return JudgeNetworkConnection(collect::GatherRouteAndAdapterSections());
    case RowId::kBrowserProxy:
      return JudgeBrowserProxy(GatherProxyFacts());
    case RowId::kHostsFile:
      return JudgeHostsFile(collect::GatherHostsSection());
    case RowId::kSystemClock:
      return JudgeSystemClock(GatherClockFacts());
    case RowId::kSystemDriveSpace:
      break;
  }
  return JudgeSystemDriveSpace(GatherSystemDriveFacts());
}

RowOutcome RepairRow(RowId row) {
  if (row == RowId::kClientService) RepairClientService();
  if (row == RowId::kVirtualAdapter) RepairVirtualAdapter();
  return CheckRow(row);
}

std::vector<RowReport> JudgeAllRows(const collect::RouteAndAdapterSections& network,
                                    const collect::HostsSection& hosts) {
  std::vector<RowReport> reports;
  for (const RowId row : kRows) {
    if (row == RowId::kNetworkConnection) {
      reports.push_back({row, JudgeNetworkConnection(network)});
    } else if (row == RowId::kHostsFile) {
      reports.push_back({row, JudgeHostsFile(hosts)});
    } else {
      reports.push_back({row, CheckRow(row)});
    }
  }
  return reports;
}

class FindingsBoard::Held {
 public:
  explicit Held(std::atomic_flag& busy) : busy_(busy) {
    while (busy_.test_and_set(std::memory_order_acquire)) {
    }
  }
  ~Held() { busy_.clear(std::memory_order_release); }
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;

 private:
  std::atomic_flag& busy_;
};

void FindingsBoard::Record(RowId row, RowOutcome outcome) {
  const Held held(busy_);
  outcomes_[row] = std::move(outcome);
}

std::optional<RowOutcome> FindingsBoard::Latest(RowId row) const {
  const Held held(busy_);
  const auto it = outcomes_.find(row);
  if (it == outcomes_.end()) return std::nullopt;
  return it->second;
}

}  // namespace diagnosis
