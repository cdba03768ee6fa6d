// Renders the route table and adapter sections of a simulated workstation with the given
// numbers of routes and adapters, and prints the time and the memory each render takes.
//
//   route_bench [--runs N] ROUTES:ADAPTERS...
//
// Every adapter has one usable address but every eighth, whose cable is out; the routes are
// spread over the adapters' interfaces and the loopback one. Each pair gets a workstation of its
// own; the sections are rendered RUNS times (5 by default) and the best time is shown. Memory is
// the high-water mark over the first render (VmHWM, reset before it) less the resident size
// before it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/measure.h"
#include "collect/route_section.h"
#include "platform/sim/workstation.h"

namespace {

using namespace collect;

struct Shape {
  unsigned routes = 0;
  unsigned adapters = 0;
};

std::string Dotted(unsigned a, unsigned b, unsigned c, unsigned d) {
  return std::to_string(a) + '.' + std::to_string(b) + '.' + std::to_string(c) + '.' +
         std::to_string(d);
}

void Build(platform::sim::Workstation& ws, const Shape& shape) {
  for (unsigned i = 0; i < shape.adapters; ++i) {
    platform::AdapterInfo adapter;
    adapter.name = "{ADAPTER-" + std::to_string(i) + "}";
    adapter.description = "Adapter " + std::to_string(i);
    adapter.hardwareAddress = {
        0, 0x0C, 0x29, 0, static_cast<unsigned char>(i >> 8), static_cast<unsigned char>(i)};
    adapter.index = 10 + i;
    adapter.dhcpEnabled = 1;
    adapter.addresses = {
        {i % 8 == 7 ? "0.0.0.0" : Dotted(10, i >> 8, i & 255, 10), "255.255.255.0"}};
    adapter.gateway = Dotted(10, i >> 8, i & 255, 1);
    adapter.dhcpServer = adapter.gateway;
    ws.network().AddAdapter(adapter).SetDnsServers(10 + i, {"10.0.0.53", "10.0.1.53"});
  }
  std::vector<platform::RouteRow> rows;
  rows.reserve(shape.routes);
  for (unsigned i = 0; i < shape.routes; ++i) {
    const unsigned interfaceIndex = i % (shape.adapters + 1) == 0 ? 1 : 10 + i % shape.adapters;
    rows.push_back(platform::RouteRow{0x0000000Au | (i & 0xFFFF) << 8, 0x00FFFFFFu,
                                      0x0100000Au | (i & 0xFF) << 16, interfaceIndex, i % 50});
  }
  ws.network().SetRoutes(std::move(rows));
}

struct Result {
  double seconds = 1e30;
  long growthKiB = -1;
  std::size_t routeBytes = 0;
  std::size_t adapterBytes = 0;
};

Result Measure(const Shape& shape, int runs) {
  platform::sim::Workstation ws;
  Build(ws, shape);
  Result result;
  for (int run = 0; run < runs; ++run) {
    std::string route;
    std::string adapter;
    const bool first = run == 0;
    long before = 0;
    if (first && bench::ResetPeak()) before = bench::StatusKiB("VmRSS:");
    const double start = bench::Now();
    const RouteAndAdapterSections gathered = GatherRouteAndAdapterSections();
    route = RenderRouteSection(gathered.route, gathered.adapter);
    adapter = RenderAdapterSection(gathered.adapter);
    const double seconds = bench::Now() - start;
    if (first && before > 0) result.growthKiB = bench::StatusKiB("VmHWM:") - before;
    if (seconds < result.seconds) result.seconds = seconds;
    result.routeBytes = route.size();
    result.adapterBytes = adapter.size();
  }
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  bench::AllocateAfreshEachRun();
  int runs = 5;
  std::vector<Shape> shapes;
  for (int i = 1; i < argc; ++i) {
    Shape shape;
    if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
      runs = std::atoi(argv[++i]);
    } else if (std::sscanf(argv[i], "%u:%u", &shape.routes, &shape.adapters) == 2 &&
               shape.adapters > 0) {
      shapes.push_back(shape);
    } else {
      shapes.clear();
      break;
    }
  }
  if (shapes.empty() || runs < 1) {
    std::fprintf(stderr, "usage: route_bench [--runs N] ROUTES:ADAPTERS...\n");
    return 2;
  }
  std::printf("%-30s %8s %9s %10s %12s %12s %12s\n", "what", "routes", "adapters", "seconds",
              "growth KiB", "route text", "adapter text");
  std::vector<Result> results;
  for (const Shape& shape : shapes) {
    const Result r = Measure(shape, runs);
    results.push_back(r);
    std::printf("%-30s %8u %9u %10.6f %12ld %12zu %12zu\n", "RouteAndAdapterSections", shape.routes,
                shape.adapters, r.seconds, r.growthKiB, r.routeBytes, r.adapterBytes);
  }
  if (shapes.size() > 1) {
    std::printf("growth: %.1fx the routes took %.1fx the time\n",
                static_cast<double>(shapes.back().routes) / shapes.front().routes,
                results.back().seconds / results.front().seconds);
  }
  return 0;
}
