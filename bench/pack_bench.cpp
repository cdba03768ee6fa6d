// Packs a generated log-like text file with PackExportFiles, over real files, and puts the
// packer's throughput and peak memory beside `zip -9` and `gzip -9` on the same file.
//
//   pack_bench SIZE_MIB [RUNS]
//
// Each run generates the file afresh (the packer deletes it) in a temporary folder, times the
// three tools on it, and checks the packer's archive with `unzip -t`. The best run of each is
// shown. Peak memory is the process's high-water mark over its first packing (VmHWM, reset
// before it; later runs start from what the allocator kept), and ru_maxrss for zip and gzip.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "bench/measure.h"
#include "report/archive_packer.h"

extern char** environ;

using bench::Now;
using bench::ResetPeak;
using bench::StatusKiB;

namespace {

using namespace report;

constexpr char kInput[] = "Vantik.log";

// Log-like lines with varying numbers and addresses, so the text compresses as a real log does
// rather than as one repeated line. Written in 1 MiB pieces: the generator's own memory stays
// small.
void Generate(std::uint64_t size) {
  std::FILE* out = std::fopen(kInput, "wb");
  if (out == nullptr) {
    std::perror(kInput);
    std::exit(1);
  }
  static const char* const kStates[] = {"UP", "DOWN", "DORMANT", "TESTING"};
  static const char* const kWords[] = {"route", "adapter", "dns", "winsock", "service", "process"};
  std::uint64_t state = 88172645463325252ull;
  auto next = [&state] {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
  };
  std::string chunk;
  chunk.reserve((1u << 20) + 256);
  std::uint64_t written = 0;
  for (unsigned line = 0; written < size; ++line) {
    char text[200];
    const std::uint64_t r = next();
    const int length = std::snprintf(
        text, sizeof text,
        "2024-%02u-%02u %02u:%02u:%02u %s %u: 10.%u.%u.%u/%u via 10.%u.%u.1 metric %u state %s "
        "id %08x\r\n",
        1 + line / 100000 % 12, 1 + line / 4000 % 28, line / 3600 % 24, line / 60 % 60, line % 60,
        kWords[r % 6], static_cast<unsigned>(r >> 8 & 63), static_cast<unsigned>(r >> 14 & 255),
        static_cast<unsigned>(r >> 22 & 255), static_cast<unsigned>(r >> 30 & 255),
        8 + static_cast<unsigned>(r >> 38 & 15) * 2, static_cast<unsigned>(r >> 14 & 255),
        static_cast<unsigned>(r >> 22 & 255), static_cast<unsigned>(r >> 42 & 1023),
        kStates[r >> 52 & 3], static_cast<unsigned>(r >> 32));
    chunk.append(text, static_cast<std::size_t>(length));
    if (chunk.size() >= (1u << 20) || written + chunk.size() >= size) {
      const std::size_t take =
          static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), size - written));
      std::fwrite(chunk.data(), 1, take, out);
      written += take;
      chunk.clear();
    }
  }
  std::fclose(out);
}

std::uint64_t FileSize(const char* path) {
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  return file ? static_cast<std::uint64_t>(file.tellg()) : 0;
}

struct Timed {
  double seconds = 0;
  long peakKiB = 0;
  bool ok = false;
};

// Runs a program, with stdout to `output` when given; its time and peak resident size.
Timed Spawn(const std::vector<const char*>& argv, const char* output = nullptr) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (output != nullptr) {
    posix_spawn_file_actions_addopen(&actions, 1, output, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  }
  std::vector<char*> args;
  for (const char* a : argv) args.push_back(const_cast<char*>(a));
  args.push_back(nullptr);
  Timed timed;
  const double start = Now();
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return timed;
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  timed.seconds = Now() - start;
  timed.peakKiB = usage.ru_maxrss;
  timed.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return timed;
}

struct Best {
  Timed timed{1e9, 0, false};
  std::uint64_t compressed = 0;
  void Take(const Timed& t, std::uint64_t size) {
    if (t.ok && t.seconds < timed.seconds) {
      timed = t;
      compressed = size;
    }
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: pack_bench SIZE_MIB [RUNS]\n");
    return 2;
  }
  const std::uint64_t size = std::strtoull(argv[1], nullptr, 10) << 20;
  const int runs = argc > 2 ? std::atoi(argv[2]) : 3;
  char folder[] = "/var/tmp/vantik-pack-bench-XXXXXX";
  if (mkdtemp(folder) == nullptr || chdir(folder) != 0) {
    std::perror("work folder");
    return 1;
  }

  Best packer;
  Best zip;
  Best gzip;
  bool resetWorked = true;
  // The first run alone shows what packing adds: later ones reuse what the allocator kept.
  long firstBefore = 0;
  long firstPeak = 0;
  for (int run = 0; run < runs; ++run) {
    Generate(size);
    unlink("zip9.zip");
    // Each size is taken after its tool has run: argument order is not sequenced.
    const Timed zipped = Spawn({"zip", "-9", "-q", "zip9.zip", kInput});
    zip.Take(zipped, FileSize("zip9.zip"));
    const Timed gzipped = Spawn({"gzip", "-9", "-c", kInput}, "gzip9.gz");
    gzip.Take(gzipped, FileSize("gzip9.gz"));

    resetWorked = ResetPeak() && resetWorked;
    const long resident = StatusKiB("VmRSS:");
    Timed timed;
    const double start = Now();
    const int result = PackExportFiles("Vantik.zip", {ExportFile{kInput, kInput}});
    timed.seconds = Now() - start;
    timed.peakKiB = StatusKiB("VmHWM:");
    timed.ok = result == 1 && access(kInput, F_OK) != 0 &&
               Spawn({"unzip", "-tq", "Vantik.zip"}, "/dev/null").ok;
    if (!timed.ok) std::fprintf(stderr, "run %d: the packer's archive is wrong\n", run + 1);
    packer.Take(timed, FileSize("Vantik.zip"));
    if (run == 0) {
      firstBefore = resident;
      firstPeak = timed.peakKiB;
    }
  }

  std::printf("%llu MiB of log text (%llu bytes), best of %d runs, in %s\n",
              static_cast<unsigned long long>(size >> 20), static_cast<unsigned long long>(size),
              runs, folder);
  std::printf("%-16s %8s %8s %12s %7s %10s\n", "tool", "seconds", "MB/s", "compressed", "ratio",
              "peak RSS");
  const auto row = [size](const char* name, const Best& best) {
    if (!best.timed.ok) {
      std::printf("%-16s failed\n", name);
      return;
    }
    std::printf("%-16s %8.3f %8.1f %12llu %6.2f%% %7ld KiB\n", name, best.timed.seconds,
                static_cast<double>(size) / 1e6 / best.timed.seconds,
                static_cast<unsigned long long>(best.compressed),
                100.0 * static_cast<double>(best.compressed) / static_cast<double>(size),
                best.timed.peakKiB);
  };
  packer.timed.peakKiB = firstPeak;
  row("PackExportFiles", packer);
  row("zip -9", zip);
  row("gzip -9", gzip);
  std::printf("PackExportFiles, first run: %ld KiB resident before packing, %+ld KiB at its peak\n",
              firstBefore, firstPeak - firstBefore);
  if (!resetWorked) std::printf("(VmHWM could not be reset: the packer's peak includes set-up)\n");

  for (const char* name : {"Vantik.zip", "zip9.zip", "gzip9.gz", kInput}) unlink(name);
  if (chdir("/") == 0) rmdir(folder);
  return packer.timed.ok && zip.timed.ok && gzip.timed.ok ? 0 : 1;
}
