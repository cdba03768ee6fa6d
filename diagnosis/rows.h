// The diagnosis's rows, after the two checks of the main dialog: each judges one part of what
// the VPN client needs, from facts it gathers itself, and each has a repair unit that makes
// its safe repair, if any, and then checks again.
#pragma once

#include <atomic>
#include <map>
#include <optional>
#include <vector>

#include "collect/hosts_section.h"
#include "collect/route_section.h"
#include "diagnosis/finding.h"
#include "text/text_table.h"

namespace diagnosis {

enum class RowId {
  kClientService,
  kVirtualAdapter,
  kClientComponents,
  kNetworkConnection,
  kBrowserProxy,
  kHostsFile,
  kSystemClock,
  kSystemDriveSpace,
};

// In list order.
inline constexpr RowId kRows[] = {RowId::kClientService,    RowId::kVirtualAdapter,
                                  RowId::kClientComponents, RowId::kNetworkConnection,
                                  RowId::kBrowserProxy,     RowId::kHostsFile,
                                  RowId::kSystemClock,      RowId::kSystemDriveSpace};

const char* RowKey(RowId row);  // stable: "vpn_client_service", ...
text::TextId RowTitle(RowId row);
const char* RepairStepText(RowId row);  // what the progress dialog shows while it repairs

// Gathers the row's facts and judges them.
RowOutcome CheckRow(RowId row);

// The row's safe repair when its findings call for one (the client's service started, a
// disabled one set to start automatically first; the virtual adapter enabled and bound to
// TCP/IP), then CheckRow: the row shows what is true afterwards, whatever the repair did.
RowOutcome RepairRow(RowId row);

// Bounds the wait for the client's service to run after it was started.
inline constexpr std::uint32_t kServiceStartWaitMilliseconds = 30000;

struct RowReport {
  RowId row;
  RowOutcome outcome;
};

// Every row judged, for the report: the network and hosts rows from the report's own records,
// the others from facts gathered here.
std::vector<RowReport> JudgeAllRows(const collect::RouteAndAdapterSections& network,
                                    const collect::HostsSection& hosts);

// The latest outcome of each row, written by the worker that checks and read by the dialog or
// the console as they show a row's details. Each access is a short copy under a spin lock: the
// Windows builds' thread model has no std::mutex.
class FindingsBoard {
 public:
  void Record(RowId row, RowOutcome outcome);
  std::optional<RowOutcome> Latest(RowId row) const;

 private:
  class Held;  // the lock, for one access

  mutable std::atomic_flag busy_ = ATOMIC_FLAG_INIT;
  std::map<RowId, RowOutcome> outcomes_;
};

}  // namespace diagnosis
