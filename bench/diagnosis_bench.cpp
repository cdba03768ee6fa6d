// Times a whole diagnosis (every row's check, as 一键诊断 runs them after the two checks) on
// simulated workstations of growing size, and prints the best time and the slowest row.
//
//   diagnosis_bench [-t SECONDS] [SCALE...]        (default: -t 1 1 10 100)
//
// Scale s is the healthy workstation of the tests with, on top, 20·s routes over 2·s adapters,
// 200·s hosts lines, 10·s other ROOT\NET devices before the client's adapter and 20·s entries in
// the network adapter class before its own: what the rows read grows, nothing else. Each
// diagnosis runs again and again on the same workstation, at least 3 times and for at least
// SECONDS, and the best time is shown (the least disturbed on a shared machine).
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/measure.h"
#include "bench/scale_arguments.h"
#include "diagnosis/rows.h"
#include "platform/sim/workstation.h"
#include "platform/win32_codes.h"
#include "tests/collect/network_builders.h"
#include "tests/support/healthy_client.h"

namespace {

using platform::RegRoot;

constexpr int kRuns = 3;
constexpr char kAdapterClass[] =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\";

void Grow(platform::sim::Workstation& ws, int scale) {
  std::vector<platform::RouteRow> routes = {
      {Ip(0, 0, 0, 0), Ip(0, 0, 0, 0), Ip(192, 168, 1, 1), 2, 20}};
  for (int i = 0; i < 2 * scale; ++i) {
    const auto index = static_cast<std::uint32_t>(100 + i);
    const unsigned third = static_cast<unsigned>(i % 250);
    ws.network().AddAdapter(Adapter("Adapter " + std::to_string(i), index,
                                    {{"10.1." + std::to_string(third) + ".5", "255.255.255.0"}}));
    ws.network().SetDnsServers(index, {"10.1.0.1"});
  }
  for (int i = 0; i < 20 * scale; ++i) {
    routes.push_back({Ip(10, 1, static_cast<unsigned>(i % 250), 0), Ip(255, 255, 255, 0),
                      Ip(10, 1, 0, 1), static_cast<std::uint32_t>(100 + i % (2 * scale)), 30});
  }
  ws.network().SetRoutes(routes);
  std::string hosts = "127.0.0.1 localhost\n";
  for (int i = 0; i < 200 * scale; ++i) {
    hosts += "# 10.9.8." + std::to_string(i % 250) + " commented" + std::to_string(i) + "\n";
  }
  ws.files().AddFile(healthy_client::kHostsFile, hosts, healthy_client::kWritten);
  for (int i = 0; i < 10 * scale; ++i) {
    platform::sim::Device device;
    device.hardwareIds = platform::sim::HardwareIdList({"PCI\\VEN_8086&DEV_" + std::to_string(i)});
    ws.devices().Add(device);
  }
  for (int i = 0; i < 20 * scale; ++i) {
    char entry[16];
    std::snprintf(entry, sizeof entry, "%04d", 100 + i);
    const std::string key = kAdapterClass + std::string(entry);
    ws.registry()
        .SetString(RegRoot::kLocalMachine, key + "\\Ndi\\Interfaces", "LowerRange", "ethernet")
        .SetString(RegRoot::kLocalMachine, key, "ComponentId", "pci\\ven_8086")
        .SetString(RegRoot::kLocalMachine, key, "DriverDesc", "Example Ethernet");
  }
}

struct Measured {
  double best = 0;
  double slowestRow = 0;
  const char* slowestKey = "";
};

Measured Measure(double minimumSeconds) {
  Measured m;
  const double start = bench::Now();
  for (int run = 0; run < kRuns || bench::Now() - start < minimumSeconds; ++run) {
    double total = 0;
    for (const diagnosis::RowId row : diagnosis::kRows) {
      const double began = bench::Now();
      const diagnosis::RowOutcome outcome = diagnosis::CheckRow(row);
      const double took = bench::Now() - began;
      if (outcome.result != 0) std::fprintf(stderr, "%s: not normal\n", diagnosis::RowKey(row));
      total += took;
      if (run == 0 && took > m.slowestRow) {
        m.slowestRow = took;
        m.slowestKey = diagnosis::RowKey(row);
      }
    }
    if (run == 0 || total < m.best) m.best = total;
  }
  return m;
}

}  // namespace

int main(int argc, char** argv) {
  double minimumSeconds = 1;
  std::vector<int> scales;
  if (!bench::ReadScaleArguments(argc, argv, minimumSeconds, scales)) {
    std::fprintf(stderr, "usage: diagnosis_bench [-t SECONDS] [SCALE...] (each 1 or more)\n");
    return 2;
  }
  std::printf("%-9s %6s %8s %8s %10s %12s %s\n", "what", "scale", "routes", "hosts", "seconds",
              "slowest row", "(seconds)");
  for (const int scale : scales) {
    platform::sim::Workstation ws;
    healthy_client::Seed(ws);
    Grow(ws, scale);
    const Measured m = Measure(minimumSeconds);
    std::printf("%-9s %6d %8d %8d %10.6f %12s %.6f\n", "diagnosis", scale, 20 * scale + 1,
                200 * scale + 1, m.best, m.slowestKey, m.slowestRow);
  }
  return 0;
}
