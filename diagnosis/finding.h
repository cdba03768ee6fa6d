// A finding: one cause that the diagnosis draws from the workstation's facts, with how bad it
// is, whether it keeps the VPN client from connecting, and the values it rests on. A row's
// outcome is its findings and the result code its row shows.
#pragma once

#include <string>
#include <vector>

#include "text/text_table.h"

namespace diagnosis {

enum class Severity { kError, kWarning, kInformation };

enum class FindingId {
  kClientNotInstalled,
  kClientServiceMissing,
  kClientServiceStopped,
  kClientServiceDisabled,
  kVirtualAdapterMissing,
  kVirtualAdapterDisabled,
  kVirtualAdapterError,
  kVirtualAdapterUnbound,
  kClientSpiAbnormal,
  kClientNspAbnormal,
  kClientFileMissing,
  kNoDefaultRoute,
  kAdapterAutoconfigAddress,
  kNoDnsServer,
  kCompetingDefaultRoutes,
  kProxyWithoutLocalBypass,
  kProxyAutoConfig,
  kHostsRedirectsNames,
  kHostsUnreadable,
  kClockBehindFiles,
  kSystemDriveNearlyFull,
};

// What a finding is, whatever the workstation: its stable id and its texts.
struct FindingKind {
  FindingId id;
  const char* key;  // stable: "client_service_stopped"
  Severity severity;
  bool breaksVpn;
  text::TextId title;
  text::TextId meaning;
  text::TextId nextStep;
};

const FindingKind& KindOf(FindingId id);
const char* SeverityKey(Severity severity);  // "error", "warning", "information"
text::TextId SeverityText(Severity severity);

struct Finding {
  FindingId id;
  std::string evidence;  // the values it rests on (code page 936)

  bool operator==(const Finding&) const = default;
};

// A row's result code (checks/result_codes.h): -1 when its facts could not be gathered,
// RESULT_NOT_SHOWN when another row's finding is its cause, else 1 when a finding is an error
// or a warning and 0 when there is none (information alone keeps a row normal).
struct RowOutcome {
  int result = -1;
  std::vector<Finding> findings;
};

RowOutcome OutcomeOf(std::vector<Finding> findings);
RowOutcome FailedOutcome();
RowOutcome HiddenOutcome();

}  // namespace diagnosis
