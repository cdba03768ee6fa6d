#include "tests/reliability/sweep_checks.h"

#include <time.h>

#include <algorithm>
#include <cstdio>

#include "tests/report/zip_reader.h"

namespace sweep {
namespace {

using platform::sim::PlatformCall;

const char* const kBanners[] = {
    "===SYSTEM INFO===", "===SOFTWARE INFO===", "===PROCESS INFO===", "===IE BROWER INFO===",
    "===ROUTE TABLE===", "===ADAPTER INFO===",  "===TOVRA CLIENT===", "===HOSTS===",
    "===FINDINGS===",    "===CATALOG==="};

// The closing message's lines after its headline.
std::vector<std::string> MessageLines(const std::string& message) {
  std::vector<std::string> lines;
  std::size_t at = message.find("\r\n");
  while (at != std::string::npos) {
    const std::size_t next = message.find("\r\n", at + 2);
    lines.push_back(message.substr(at + 2, next == std::string::npos ? next : next - at - 2));
    at = next;
  }
  return lines;
}

}  // namespace

const std::vector<std::string> kEntries = {"Vantik.log", "WindowsUpdate.log"};

std::vector<FaultPoint> FaultPoints(const std::vector<PlatformCall>& recorded) {
  std::vector<FaultPoint> points;
  for (std::size_t n = 1; n <= recorded.size(); ++n) {
    const PlatformCall& call = recorded[n - 1];
    if (call.failure == 0) continue;
    points.push_back(FaultPoint{n, call,
                                "call " + std::to_string(n) + " " + call.name + "(" + call.detail +
                                    ") failing with " + std::to_string(call.failure)});
  }
  return points;
}

std::vector<FaultPoint> ShardOf(const std::vector<FaultPoint>& points, std::size_t shard) {
  std::vector<FaultPoint> share;
  for (std::size_t i = shard; i < points.size(); i += kShards) share.push_back(points[i]);
  return share;
}

bool MadeAgain(const FaultPoint& point, const Aftermath& out, Findings& found) {
  const std::size_t n = point.number;
  if (out.faultMade && out.calls.size() >= n &&
      std::string(out.calls[n - 1].name) == point.call.name) {
    return true;
  }
  found.Add("the road did not make the same call " + std::to_string(n) + " again");
  return false;
}

void CheckRegistry(const Aftermath& out, Findings& found) {
  for (const std::string& change :
       registry_changes::Unexpected(out.registryBefore, out.registryAfter)) {
    found.Add("registry: " + change);
  }
}

void CheckLeftovers(const Aftermath& out, Findings& found) {
  // What is left lies in a run's folder beside its lock, for a later export to clear.
  for (const std::string& path : out.leftInTemp) {
    const std::string rest = path.substr(std::string(kTemp).size());
    const std::size_t folderEnd = rest.find('\\');
    const std::string folder = rest.substr(0, folderEnd + 1);
    const bool inRunFolder = folder.rfind("Vantik-", 0) == 0 && folderEnd != std::string::npos;
    const bool locked = std::find(out.leftInTemp.begin(), out.leftInTemp.end(),
                                  std::string(kTemp) + folder + "run.lock") != out.leftInTemp.end();
    if (!inRunFolder || (!locked && path != std::string(kTemp) + folder)) {
      found.Add("temporary folder: " + rest + " left outside a locked run folder");
    }
  }
  for (const std::string& path : out.leftAfterCleaning) {
    found.Add("temporary folder: " + path + " left for good");
  }
  for (const std::string& path : out.besideTarget) found.Add("left beside the target: " + path);
  for (const std::string& handle : out.openHandles) found.Add("left open: " + handle);
}

bool SaysPlaced(const std::string& message) {
  return message.rfind("导出完毕!", 0) == 0 || message.rfind("导出未完成!", 0) == 0;
}

Written SaidArchive(std::string where, const std::string& message, std::string bytes) {
  Written archive{std::move(where), std::move(bytes), kEntries, true, {}};
  for (const std::string& line : MessageLines(message)) {
    const std::string unpacked = "文件打包失败：";
    if (line.rfind(unpacked, 0) == 0) {
      const std::string name = line.substr(unpacked.size(), line.find(' ') - unpacked.size());
      std::erase(archive.entries, name);
    } else if (line.rfind("日志文件未能完整写入!", 0) == 0) {
      archive.logComplete = false;
    }
  }
  return archive;
}

void CheckNothingDeletedUnplaced(std::span<const PlatformCall> calls, Findings& found) {
  // The run's folder, as made.
  std::string folder;
  for (const PlatformCall& call : calls) {
    if (std::string(call.name) == "CreateDirectoryA" &&
        call.detail.rfind(std::string(kTemp) + "Vantik-", 0) == 0) {
      folder = call.detail + "\\";
    }
  }
  if (folder.empty()) return;
  for (const PlatformCall& call : calls) {
    const std::string name = call.name;
    if (name == "FindFirstFileA" && call.detail == folder + "*") return;
    if (name == "DeleteFileA" && call.detail.rfind(folder, 0) == 0) {
      found.Add("export: deleted " + call.detail + " without an archive in place");
    }
  }
}

void CheckArchives(const std::vector<Written>& written, std::vector<std::string>& problems) {
  std::vector<std::string> bytes;
  for (const Written& archive : written) bytes.push_back(archive.bytes);
  const std::vector<Archive> read = ReadArchivesBytes(bytes);
  for (std::size_t i = 0; i < written.size(); ++i) {
    const Written& expected = written[i];
    const Archive& archive = read[i];
    if (!archive.readable) {
      problems.push_back(expected.where + ": archive unreadable: " + archive.error);
      continue;
    }
    if (Names(archive) != expected.entries) {
      problems.push_back(expected.where + ": archive entries differ from what was said");
      continue;
    }
    if (!expected.crcs.empty()) {
      std::vector<std::uint32_t> crcs;
      for (const Entry& entry : archive.entries) crcs.push_back(entry.crc);
      if (crcs != expected.crcs) {
        problems.push_back(expected.where + ": the entries' CRCs differ from those reported");
      }
    }
    if (!expected.logComplete || archive.entries.empty() ||
        archive.entries[0].name != "Vantik.log") {
      continue;
    }
    std::size_t at = 0;
    for (const char* banner : kBanners) {
      at = archive.entries[0].contents.find(banner, at);
      if (at == std::string::npos) {
        problems.push_back(expected.where + ": the log said complete lacks " + banner);
        break;
      }
    }
  }
}

double Seconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

void PrintSwept(std::size_t count, const char* what, std::size_t shard, double start) {
  std::printf("%zu %s swept in %.1f s (shard %zu of %zu)\n", count, what, Seconds() - start,
              shard + 1, kShards);
}

std::string FirstProblems(const std::vector<std::string>& problems) {
  std::string report;
  for (std::size_t i = 0; i < problems.size() && i < 60; ++i) report += problems[i] + "\n";
  return report;
}

}  // namespace sweep
