// Every single failure of every platform call that the whole road makes is survived. A recording
// run of the road (diagnose, repair, diagnose, export, on a workstation with something in every
// section) lists the calls; then the road runs once more for each call, with that call failing
// as Windows makes it fail most likely, and each run is held to the same rules: every unit
// posts one result and the rows say what really is; the registry holds nothing but what the
// repairs write, each whole; an archive reported written reads back with every entry, and a
// failure leaves the target as it was; nothing of the run is left behind for good; no handle
// stays open; every worker ends. The sanitizer build runs it too.
#include <gtest/gtest.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/cp936.h"
#include "platform/win32_codes.h"
#include "tests/reliability/registry_changes.h"
#include "tests/reliability/road.h"
#include "tests/report/zip_reader.h"
#include "tests/support/full_workstation.h"

namespace {

using platform::sim::PlatformCall;

const char* const kBanners[] = {"===SYSTEM INFO===",    "===SOFTWARE INFO===", "===PROCESS INFO===",
                                "===IE BROWER INFO===", "===ROUTE TABLE===",   "===ADAPTER INFO===",
                                "===TOVRA CLIENT===",   "===HOSTS===",         "===CATALOG==="};
const std::vector<std::string> kEntries = {"Vantik.log", "WindowsUpdate.log"};

std::string RowText(int result) {
  if (result == 0) return "正常";
  if (result == 1) return "异常";
  return "检查异常，请手动检查!";
}

double Seconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// The unit of a list in which call `n` was made, or -1.
int UnitOf(const road::ListRun& run, std::size_t n) {
  for (std::size_t i = 0; i < run.units.size(); ++i) {
    if (run.units[i].firstCall < n && n <= run.units[i].lastCall) return static_cast<int>(i);
  }
  return -1;
}

// One fault run's problems, in words.
class Findings {
 public:
  void Add(std::string problem) { problems_.push_back(std::move(problem)); }
  const std::vector<std::string>& problems() const { return problems_; }

 private:
  std::vector<std::string> problems_;
};

// Every unit that ran posted exactly one result, and the worker ended; a worker that could not
// start ran nothing.
void CheckPosts(const char* list, const road::ListRun& run, std::size_t expectedUnits,
                Findings& found) {
  if (!run.ended) found.Add(std::string(list) + ": a unit was left running");
  if (!run.started) {
    if (!run.units.empty()) found.Add(std::string(list) + ": units ran without a worker");
    return;
  }
  if (run.units.size() != expectedUnits) {
    found.Add(std::string(list) + ": " + std::to_string(run.units.size()) + " of " +
              std::to_string(expectedUnits) + " units ran");
  }
  for (std::size_t i = 0; i < run.units.size(); ++i) {
    if (run.units[i].posted.size() != 1) {
      found.Add(std::string(list) + ": unit " + std::to_string(i) + " posted " +
                std::to_string(run.units[i].posted.size()) + " results");
    }
  }
}

// A check says what is: normal or abnormal as the item is. Only a check whose own call failed
// may say that it failed (-1), or take an item it could not read for abnormal, as its rules say;
// none may call an abnormal item normal.
void CheckDiagnosis(const char* list, const road::ListRun& run, std::size_t n, Findings& found) {
  std::vector<std::string> rows;
  for (std::size_t i = 0; i < run.units.size(); ++i) {
    if (run.units[i].posted.size() != 1) continue;
    const int result = run.units[i].posted[0];
    rows.push_back(RowText(result));
    const int truth = run.truthBefore[i];
    const bool hit = UnitOf(run, n) == static_cast<int>(i);
    const bool allowed =
        hit ? (result == -1 || result == 1 || (result == 0 && truth == 0)) : result == truth;
    if (!allowed) {
      found.Add(std::string(list) + ": check " + std::to_string(i) + " said " +
                std::to_string(result) + " of an item that is " +
                (truth == 0 ? "normal" : "abnormal"));
    }
  }
  if (run.rows != rows) found.Add(std::string(list) + ": the rows are not the results posted");
}

// A repair says done only when the item is now right; a repair whose calls all succeeded is done.
void CheckRepair(const road::ListRun& run, std::size_t n, Findings& found) {
  std::vector<std::string> rows;
  for (std::size_t i = 0; i < run.units.size(); ++i) {
    if (run.units[i].posted.size() != 1) continue;
    const int result = run.units[i].posted[0];
    rows.push_back(RowText(result));
    const bool hit = UnitOf(run, n) == static_cast<int>(i);
    if (result == 0 && run.truthAfter[i] != 0) {
      found.Add("repair " + std::to_string(i) + " said done of an item still abnormal");
    }
    if (!hit && result != 0 && run.truthBefore[i] != 0) {
      found.Add("repair " + std::to_string(i) + " failed (" + std::to_string(result) +
                ") though none of its calls did");
    }
  }
  if (run.rows != rows) found.Add("repair: the rows are not the results posted");
}

void CheckRegistry(const road::Outcome& out, Findings& found) {
  for (const std::string& change :
       registry_changes::Unexpected(out.registryBefore, out.registryAfter)) {
    found.Add("registry: " + change);
  }
}

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

// An archive at the target that the closing message says was written, to be read back.
struct Written {
  std::string where;
  std::string bytes;
  std::vector<std::string> entries;  // expected, in order
  bool logComplete = true;
};

// Without an archive in place, the run deleted none of its files before its folder's own
// clearing at the run's end (which lists the folder first).
void CheckNothingDeletedUnplaced(const road::Outcome& out, Findings& found) {
  const std::string folder = std::string(road::kTemp) + "Vantik-00000001\\";
  for (const PlatformCall& call : out.calls) {
    const std::string name = call.name;
    if (name == "FindFirstFileA" && call.detail == folder + "*") return;
    if (name == "DeleteFileA" && call.detail.rfind(folder, 0) == 0) {
      found.Add("export: deleted " + call.detail + " without an archive in place");
    }
  }
}

void CheckExport(const std::string& where, const road::Outcome& out, Findings& found,
                 std::vector<Written>& written) {
  if (!out.closingMessage) {
    found.Add("export: no closing message");
    return;
  }
  const std::string& message = *out.closingMessage;
  const bool placed = message.rfind("导出完毕!", 0) == 0 || message.rfind("导出未完成!", 0) == 0;
  if (!placed) {
    if (out.target != std::string(road::kOlderArchive)) {
      found.Add("export: said \"" + message + "\" but the target changed");
    }
    CheckNothingDeletedUnplaced(out, found);
    return;
  }
  if (!out.target || *out.target == road::kOlderArchive) {
    found.Add("export: said \"" + message + "\" but wrote no archive");
    return;
  }
  Written archive{where, *out.target, kEntries, true};
  for (const std::string& line : MessageLines(message)) {
    const std::string unpacked = "文件打包失败：";
    if (line.rfind(unpacked, 0) == 0) {
      const std::string name = line.substr(unpacked.size(), line.find(' ') - unpacked.size());
      std::erase(archive.entries, name);
    } else if (line.rfind("日志文件未能完整写入!", 0) == 0) {
      archive.logComplete = false;
    }
  }
  written.push_back(std::move(archive));
}

void CheckLeftovers(const road::Outcome& out, Findings& found) {
  // What is left lies in a run's folder beside its lock, for a later export to clear.
  for (const std::string& path : out.leftInTemp) {
    const std::string rest = path.substr(std::string(road::kTemp).size());
    const std::size_t folderEnd = rest.find('\\');
    const std::string folder = rest.substr(0, folderEnd + 1);
    const bool inRunFolder = folder.rfind("Vantik-", 0) == 0 && folderEnd != std::string::npos;
    const bool locked =
        std::find(out.leftInTemp.begin(), out.leftInTemp.end(),
                  std::string(road::kTemp) + folder + "run.lock") != out.leftInTemp.end();
    if (!inRunFolder || (!locked && path != std::string(road::kTemp) + folder)) {
      found.Add("temporary folder: " + rest + " left outside a locked run folder");
    }
  }
  for (const std::string& path : out.leftAfterCleaning) {
    found.Add("temporary folder: " + path + " left for good");
  }
  for (const std::string& path : out.besideTarget) found.Add("left beside the target: " + path);
  for (const std::string& handle : out.openHandles) found.Add("left open: " + handle);
}

// The whole of one fault run.
void CheckRun(const std::string& where, std::size_t n, const PlatformCall& call,
              const road::Outcome& out, Findings& found, std::vector<Written>& written) {
  if (!out.faultMade || out.calls.size() < n || std::string(out.calls[n - 1].name) != call.name) {
    found.Add("the road did not make the same call " + std::to_string(n) + " again");
    return;
  }
  CheckPosts("diagnosis", out.diagnose, 2, found);
  CheckPosts("repair", out.repair, 2, found);
  CheckPosts("second diagnosis", out.diagnoseAgain, 2, found);
  CheckPosts("export", out.exportList, 5, found);
  CheckDiagnosis("diagnosis", out.diagnose, n, found);
  CheckRepair(out.repair, n, found);
  CheckDiagnosis("second diagnosis", out.diagnoseAgain, n, found);
  CheckRegistry(out, found);
  CheckExport(where, out, found, written);
  CheckLeftovers(out, found);
}

// Reads every written archive back with python3's zipfile, in one run.
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

TEST(FaultSweep, NoSingleFailureOfAnyCallIsLostOrReportedAsSuccess) {
  const double start = Seconds();
  const road::Outcome recorded = road::Run(0);

  // The road itself, with nothing failing.
  EXPECT_EQ(recorded.diagnose.rows, (std::vector<std::string>{"异常", "异常"}));
  EXPECT_EQ(recorded.repair.rows, (std::vector<std::string>{"正常", "正常"}));
  EXPECT_EQ(recorded.diagnoseAgain.rows, (std::vector<std::string>{"正常", "正常"}));
  EXPECT_EQ(recorded.closingMessage, "导出完毕!");
  ASSERT_TRUE(recorded.target);
  const Archive plain = ReadArchiveBytes(*recorded.target);
  ASSERT_TRUE(plain.readable) << plain.error;
  EXPECT_EQ(Names(plain), kEntries);
  Findings clean;
  std::vector<Written> written;
  CheckRegistry(recorded, clean);
  CheckLeftovers(recorded, clean);
  EXPECT_EQ(clean.problems(), std::vector<std::string>{});
  EXPECT_NE(recorded.registryAfter, recorded.registryBefore) << "the repairs wrote";

  std::vector<std::string> problems;
  std::size_t swept = 0;
  for (std::size_t n = 1; n <= recorded.calls.size(); ++n) {
    const PlatformCall& call = recorded.calls[n - 1];
    if (call.failure == 0) continue;
    ++swept;
    const std::string where = "call " + std::to_string(n) + " " + call.name + "(" + call.detail +
                              ") failing with " + std::to_string(call.failure);
    // minizip keeps no record of an entry whose local header could not be written.
    const road::Outcome out = road::Run(n, std::string(call.name) == "WriteFile");
    Findings found;
    CheckRun(where, n, call, out, found, written);
    for (const std::string& problem : found.problems()) problems.push_back(where + ": " + problem);
  }
  CheckArchives(written, problems);

  std::printf("%zu fault points swept in %.1f s\n", swept, Seconds() - start);
  std::string report;
  for (std::size_t i = 0; i < problems.size() && i < 60; ++i) report += problems[i] + "\n";
  EXPECT_TRUE(problems.empty()) << problems.size() << " problems, the first:\n" << report;
}

}  // namespace
