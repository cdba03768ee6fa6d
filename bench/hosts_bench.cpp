// Renders the hosts section of a simulated workstation whose hosts file has the given sizes,
// and prints the time and the memory each render takes.
//
//   hosts_bench [--runs N] SIZE_KIB...
//
// The file holds hosts lines of varied lengths, mostly CR LF ended with some LF alone and a
// comment now and then, as hosts files that tools have written to are. Each size gets a
// workstation of its own; the section is rendered RUNS times (3 by default), each run starting
// with the processor's caches cold (the simulated file has just been made; a real one has not),
// and the best time is shown. Memory is the process's high-water mark over the first render (VmHWM,
// reset before it) less the resident size before it, which already holds the simulated file's
// bytes: what the section itself takes, shown in KiB and as a multiple of the file's size.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/measure.h"
#include "collect/hosts_section.h"
#include "platform/sim/workstation.h"

namespace {

using namespace collect;

constexpr char kHosts[] = "C:\\WINDOWS\\system32\\drivers\\etc\\hosts";

std::string Generate(std::uint64_t size) {
  std::string text;
  text.reserve(size);
  std::uint64_t r = 0x9E3779B97F4A7C15ull;
  char line[128];
  while (text.size() < size) {
    r ^= r << 13;
    r ^= r >> 7;
    r ^= r << 17;
    int length = 0;
    if (r % 23 == 0) {
      length = std::snprintf(line, sizeof(line), "# blocked by policy %u\r\n",
                             static_cast<unsigned>(r >> 40));
    } else {
      length = std::snprintf(
          line, sizeof(line), "10.%u.%u.%u\thost%u.%s.example%s",
          static_cast<unsigned>(r >> 8 & 255), static_cast<unsigned>(r >> 16 & 255),
          static_cast<unsigned>(r >> 24 & 255), static_cast<unsigned>(r >> 32 & 0xFFFF),
          r >> 50 & 1 ? "corp" : "branch-office", r % 5 == 0 ? "\n" : "\r\n");
    }
    text.append(line, static_cast<std::size_t>(length));
  }
  text.resize(size);
  return text;
}

struct Result {
  double seconds = 1e30;
  long growthKiB = -1;
  std::size_t sectionBytes = 0;
};

Result Measure(std::uint64_t size, int runs) {
  platform::sim::Workstation ws;
  ws.files().AddFile(kHosts, Generate(size));
  Result result;
  for (int run = 0; run < runs; ++run) {
    std::string hosts;
    const bool first = run == 0;
    long before = 0;
    bench::EvictCaches();
    if (first && bench::ResetPeak()) before = bench::StatusKiB("VmRSS:");
    const double start = bench::Now();
    hosts = RenderHostsSection(GatherHostsSection());
    const double seconds = bench::Now() - start;
    if (first && before > 0) result.growthKiB = bench::StatusKiB("VmHWM:") - before;
    if (seconds < result.seconds) result.seconds = seconds;
    result.sectionBytes = hosts.size();
  }
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  bench::AllocateAfreshEachRun();
  int runs = 3;
  std::vector<std::uint64_t> sizes;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
      runs = std::atoi(argv[++i]);
    } else {
      sizes.push_back(static_cast<std::uint64_t>(std::atof(argv[i]) * 1024));
    }
  }
  if (sizes.empty() || runs < 1) {
    std::fprintf(stderr, "usage: hosts_bench [--runs N] SIZE_KIB...\n");
    return 2;
  }
  std::printf("%-18s %12s %10s %9s %12s %10s %12s\n", "what", "file bytes", "seconds", "MB/s",
              "growth KiB", "x file", "section");
  std::vector<Result> results;
  for (const std::uint64_t size : sizes) {
    const Result r = Measure(size, runs);
    results.push_back(r);
    std::printf("%-18s %12llu %10.4f %9.1f %12ld %10.2f %12zu\n", "HostsSection",
                static_cast<unsigned long long>(size), r.seconds, size / r.seconds / 1e6,
                r.growthKiB, r.growthKiB * 1024.0 / static_cast<double>(size), r.sectionBytes);
  }
  if (sizes.size() > 1) {
    std::printf("growth: %.1fx the data took %.1fx the time\n",
                static_cast<double>(sizes.back()) / static_cast<double>(sizes.front()),
                results.back().seconds / results.front().seconds);
  }
  return 0;
}
