// Composes the software section and the process section on simulated workstations of growing
// size, and prints the time and peak memory of each.
//
//   section_bench [-t SECONDS] [SCALE...]        (default: -t 1 1 10 100)
//
// Scale s is a workstation with 200·s uninstall entries and 20·s hotfixes for the software
// section, and 30·s processes for the process section. Each is composed again and again on the
// same workstation, at least 3 times and for at least SECONDS, and the best time is shown: on a
// shared machine the best of many runs is the one least disturbed. Peak memory is the process's
// high-water mark over the first composition (VmHWM, reset just before it), with the resident size
// before it: the difference is what composing took on top of the simulated workstation.
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "bench/measure.h"
#include "bench/scale_arguments.h"
#include "collect/software_section.h"
#include "collect/process_section.h"
#include "platform/sim/workstation.h"

namespace {

using namespace collect;

using platform::RegRoot;

constexpr int kRuns = 3;
constexpr char kUninstall[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr char kHotfix[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Hotfix\\";

std::string Numbered(const char* format, int number) {
  char text[128];
  std::snprintf(text, sizeof text, format, number);
  return text;
}

// Uninstall entries as a workstation holds them: mostly programs, a quarter Windows updates,
// one in twenty named as a hotfix's comments; every key with the values that the section does
// not read as well.
void AddSoftware(platform::sim::Registry& r, int entries, int hotfixes) {
  for (int i = 0; i < entries; ++i) {
    const std::string key = kUninstall + Numbered("{%08X-1111-2222-3333-444455556666}", i);
    std::string name;
    if (i % 4 == 1) {
      name = Numbered("Security Update for Windows XP (KB%06d)", 900000 + i);
    } else if (i % 20 == 2 && i / 20 < hotfixes) {
      name = Numbered("Windows XP Hotfix - KB%06d", 800000 + i / 20);
    } else {
      name = Numbered("Example Application Suite %d (Professional Edition)", i);
    }
    r.SetString(RegRoot::kLocalMachine, key, "DisplayName", name);
    r.SetString(RegRoot::kLocalMachine, key, "DisplayVersion", Numbered("%d.2.3.4567", i % 50));
    r.SetString(RegRoot::kLocalMachine, key, "Publisher", "Example Software Ltd.");
    r.SetString(RegRoot::kLocalMachine, key, "UninstallString",
                "C:\\Program Files\\Example\\uninstall.exe /x " + key);
    r.SetDword(RegRoot::kLocalMachine, key, "NoModify", 1);
  }
  for (int i = 0; i < hotfixes; ++i) {
    const std::string key = kHotfix + Numbered("KB%06d", 800000 + i);
    r.SetDword(RegRoot::kLocalMachine, key, "Installed", 1);
    r.SetString(RegRoot::kLocalMachine, key, "Comments",
                Numbered("Windows XP Hotfix - KB%06d", 800000 + i));
  }
}

void AddProcesses(platform::sim::Processes& p, int count) {
  p.Add(0, {});
  for (int i = 1; i < count; ++i) {
    p.Add(static_cast<std::uint32_t>(4 * i),
          {Numbered("process%04d.exe", i), "ntdll.dll", "kernel32.dll", "user32.dll",
           "advapi32.dll", "msvcrt.dll"});
  }
}

struct Measured {
  double seconds = 1e9;
  long residentKiB = 0;
  long peakKiB = 0;
  std::size_t bytes = 0;
};

Measured Measure(const std::function<std::string()>& compose, double minimumSeconds) {
  Measured m;
  // What earlier workstations freed goes back to the system first, so that the peak shows what
  // composing needs rather than what the allocator happened to hold.
  malloc_trim(0);
  const bool reset = bench::ResetPeak();
  m.residentKiB = bench::StatusKiB("VmRSS:");
  const double begin = bench::Now();
  for (int run = 0; run < kRuns || bench::Now() - begin < minimumSeconds; ++run) {
    const double start = bench::Now();
    const std::string text = compose();
    const double seconds = bench::Now() - start;
    // Later runs start from what the allocator kept.
    if (run == 0) m.peakKiB = reset ? bench::StatusKiB("VmHWM:") : -1;
    if (seconds < m.seconds) m.seconds = seconds;
    m.bytes = text.size();
  }
  return m;
}

void Print(const char* section, int items, int hotfixes, const Measured& m) {
  std::printf("%-9s %8d %9d %10zu %10.6f %8.3f %10ld %10ld\n", section, items, hotfixes, m.bytes,
              m.seconds, m.seconds * 1e6 / items, m.peakKiB, m.peakKiB - m.residentKiB);
}

}  // namespace

int main(int argc, char** argv) {
  double minimumSeconds = 1;
  std::vector<int> scales;
  if (!bench::ReadScaleArguments(argc, argv, minimumSeconds, scales)) {
    std::fprintf(stderr, "usage: section_bench [-t SECONDS] [SCALE...] (each 1 or more)\n");
    return 2;
  }

  std::printf("%-9s %8s %9s %10s %10s %8s %10s %10s\n", "section", "items", "hotfixes", "bytes",
              "seconds", "us/item", "peak KiB", "added KiB");
  std::vector<double> software;
  std::vector<double> processes;
  for (int scale : scales) {
    const int entries = 200 * scale;
    const int hotfixes = 20 * scale;
    {
      platform::sim::Workstation ws;
      AddSoftware(ws.registry(), entries, hotfixes);
      const Measured m =
          Measure([] { return RenderSoftwareSection(GatherSoftwareSection()); }, minimumSeconds);
      Print("software", entries, hotfixes, m);
      software.push_back(m.seconds);
    }
    {
      platform::sim::Workstation ws;
      AddProcesses(ws.processes(), 30 * scale);
      const Measured m =
          Measure([] { return RenderProcessSection(GatherProcessSection()); }, minimumSeconds);
      Print("process", 30 * scale, 0, m);
      processes.push_back(m.seconds);
    }
  }
  if (scales.size() > 1) {
    const double data = static_cast<double>(scales.back()) / scales.front();
    std::printf("%gx the data: software %.1fx the time, process %.1fx the time\n", data,
                software.back() / software.front(), processes.back() / processes.front());
  }
  return 0;
}
