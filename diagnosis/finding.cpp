#include "diagnosis/finding.h"

#include <utility>

#include "checks/result_codes.h"

namespace diagnosis {

using namespace text;

namespace {

constexpr Severity kError = Severity::kError;
constexpr Severity kWarning = Severity::kWarning;
constexpr Severity kInformation = Severity::kInformation;

// In FindingId order. Each finding's texts are its title, meaning and next step in a row.
#define VANTIK_FINDING(id, key, severity, breaks, title) \
  { FindingId::id, key, severity, breaks, title, TextId(title + 1), TextId(title + 2) }
constexpr FindingKind kKinds[] = {
    VANTIK_FINDING(kClientNotInstalled, "client_not_installed", kError, true,
                   TEXT_CLIENT_NOT_INSTALLED),
    VANTIK_FINDING(kClientServiceMissing, "client_service_missing", kError, true,
                   TEXT_CLIENT_SERVICE_MISSING),
    VANTIK_FINDING(kClientServiceStopped, "client_service_stopped", kError, true,
                   TEXT_CLIENT_SERVICE_STOPPED),
    VANTIK_FINDING(kClientServiceDisabled, "client_service_disabled", kError, true,
                   TEXT_CLIENT_SERVICE_DISABLED),
    VANTIK_FINDING(kVirtualAdapterMissing, "virtual_adapter_missing", kError, true,
                   TEXT_VIRTUAL_ADAPTER_MISSING),
    VANTIK_FINDING(kVirtualAdapterDisabled, "virtual_adapter_disabled", kError, true,
                   TEXT_VIRTUAL_ADAPTER_DISABLED_FINDING),
    VANTIK_FINDING(kVirtualAdapterError, "virtual_adapter_error", kError, true,
                   TEXT_VIRTUAL_ADAPTER_ERROR),
    VANTIK_FINDING(kVirtualAdapterUnbound, "virtual_adapter_unbound", kError, true,
                   TEXT_VIRTUAL_ADAPTER_UNBOUND),
    VANTIK_FINDING(kClientSpiAbnormal, "client_spi_abnormal", kError, true,
                   TEXT_CLIENT_SPI_ABNORMAL),
    VANTIK_FINDING(kClientNspAbnormal, "client_nsp_abnormal", kError, true,
                   TEXT_CLIENT_NSP_ABNORMAL),
    VANTIK_FINDING(kClientFileMissing, "client_file_missing", kError, true,
                   TEXT_CLIENT_FILE_MISSING),
    VANTIK_FINDING(kNoDefaultRoute, "no_default_route", kError, true, TEXT_NO_DEFAULT_ROUTE),
    VANTIK_FINDING(kAdapterAutoconfigAddress, "adapter_autoconfig_address", kWarning, false,
                   TEXT_ADAPTER_AUTOCONFIG_ADDRESS),
    VANTIK_FINDING(kNoDnsServer, "no_dns_server", kError, true, TEXT_NO_DNS_SERVER),
    VANTIK_FINDING(kCompetingDefaultRoutes, "competing_default_routes", kWarning, false,
                   TEXT_COMPETING_DEFAULT_ROUTES),
    VANTIK_FINDING(kProxyWithoutLocalBypass, "proxy_without_local_bypass", kWarning, true,
                   TEXT_PROXY_WITHOUT_LOCAL_BYPASS),
    VANTIK_FINDING(kProxyAutoConfig, "proxy_auto_config", kInformation, false,
                   TEXT_PROXY_AUTO_CONFIG),
    VANTIK_FINDING(kHostsRedirectsNames, "hosts_redirects_names", kWarning, false,
                   TEXT_HOSTS_REDIRECTS_NAMES),
    VANTIK_FINDING(kHostsUnreadable, "hosts_unreadable", kWarning, false, TEXT_HOSTS_UNREADABLE),
    VANTIK_FINDING(kClockBehindFiles, "clock_behind_files", kError, true, TEXT_CLOCK_BEHIND_FILES),
    VANTIK_FINDING(kSystemDriveNearlyFull, "system_drive_nearly_full", kWarning, false,
                   TEXT_SYSTEM_DRIVE_NEARLY_FULL),
};
#undef VANTIK_FINDING

constexpr bool KindsInOrder() {
  for (std::size_t i = 0; i < std::size(kKinds); ++i) {
    if (static_cast<std::size_t>(kKinds[i].id) != i) return false;
  }
  return std::size(kKinds) == static_cast<std::size_t>(FindingId::kSystemDriveNearlyFull) + 1;
}
static_assert(KindsInOrder(), "one kind per FindingId, in order");

}  // namespace

const FindingKind& KindOf(FindingId id) { return kKinds[static_cast<std::size_t>(id)]; }

const char* SeverityKey(Severity severity) {
  switch (severity) {
    case Severity::kError:
      return "error";
    case Severity::kWarning:
      return "warning";
    case Severity::kInformation:
      break;
  }
  return "information";
}

TextId SeverityText(Severity severity) {
  switch (severity) {
    case Severity::kError:
      return TEXT_SEVERITY_ERROR;
    case Severity::kWarning:
      return TEXT_SEVERITY_WARNING;
    case Severity::kInformation:
      break;
  }
  return TEXT_SEVERITY_INFORMATION;
}

RowOutcome OutcomeOf(std::vector<Finding> findings) {
  RowOutcome outcome;
  outcome.result = checks::RESULT_NORMAL;
  for (const Finding& finding : findings) {
    if (KindOf(finding.id).severity != Severity::kInformation) {
      outcome.result = checks::RESULT_ABNORMAL;
    }
  }
  outcome.findings = std::move(findings);
  return outcome;
}

RowOutcome FailedOutcome() { return RowOutcome{checks::RESULT_FAILED, {}}; }

RowOutcome HiddenOutcome() { return RowOutcome{checks::RESULT_NOT_SHOWN, {}}; }

}  // namespace diagnosis
