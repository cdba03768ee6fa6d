// A few thousand workstations whose registries hold random values, each run through the
// diagnosis, the report and the repairs: nothing crashes (the sanitizer build runs it too), every
// section's fixed lines stand where its format puts them, every text that comes from the registry
// is one the registry held (whole, or cut where its field is cut), every cut field keeps to its
// size, the report agrees with the diagnosis, and the repairs and the report write nothing but
// what they may, each from a value read whole.
//
// A run of any length from any seed: VANTIK_RANDOM_SEED, VANTIK_RANDOM_COUNT and
// VANTIK_RANDOM_FIRST (the first workstation's index, to run one again) in the environment, or
// scripts/random-registries.
#include <gtest/gtest.h>

#include <algorithm>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "checks/renego_check.h"
#include "checks/user_agent_check.h"
#include "platform/cp936.h"
#include "platform/sim/workstation.h"
#include "platform/win32_codes.h"
#include "report/report.h"
#include "tests/reliability/random_registry.h"
#include "tests/reliability/registry_changes.h"
#include "tests/support/full_workstation.h"
#include "text/text_table.h"

namespace {

using namespace text;

using namespace checks;

using namespace report;

using random_registry::RegValue;
using random_registry::TextOf;
using random_registry::Written;

constexpr char kWarningLine[] = "warning:Please modify the reg value to 0.\r\n";
constexpr char kRenegoLine[] =
    "\r\nHKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\SecurityProviders\\SCHANNEL\\"
    "DisableRenegoOnClient Value is ";
constexpr char kTooLong[] =
    "waring:The length of this value is more than 260,please check by yourself!";

std::uint64_t FromEnvironment(const char* name, std::uint64_t fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? std::strtoull(value, nullptr, 10) : fallback;
}

double Seconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = text.find("\r\n", at);
    if (end == std::string_view::npos) {
      lines.emplace_back(text.substr(at));
      break;
    }
    lines.emplace_back(text.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

bool StartsWith(std::string_view text, std::string_view start) {
  return text.substr(0, start.size()) == start;
}

// A text the report took from a value: the value's text whole, within `limit` bytes; or, where
// the field is cut (`cutAt` bytes kept before "..."), its start, ending where a character ends.
bool TakenFrom(const std::string& shown, const RegValue& value, std::size_t limit,
               std::size_t cutAt = 0) {
  const std::string text = TextOf(value);
  if (shown == text) return shown.size() <= limit;
  if (cutAt == 0 || shown.size() < 3 || shown.compare(shown.size() - 3, 3, "...") != 0) {
    return false;
  }
  const std::string kept = shown.substr(0, shown.size() - 3);
  return kept.size() <= cutAt && kept.size() + 1 >= cutAt && text.rfind(kept, 0) == 0 &&
         platform::cp936::PrefixLength(text, cutAt) == kept.size();
}

bool TakenFromAny(const std::string& shown, const std::vector<RegValue>& values,
                  std::size_t limit) {
  for (const RegValue& value : values) {
    if (TakenFrom(shown, value, limit)) return true;
  }
  return false;
}

// What the registry does not change: the sections as a workstation without a registry has them.
struct Fixed {
  std::string systemStart;  // up to the patch heading
  std::string process;
  std::string route;
  std::string adapter;
  std::string hosts;
  std::string clientInstalled;     // with the client's catalog entry in place
  std::string clientNotInstalled;  // without it
};

Fixed FixedSections() {
  Fixed fixed;
  for (const bool catalog : {false, true}) {
    platform::sim::Workstation ws;
    full_workstation::SeedOutsideTheRegistry(ws);
    if (catalog) {
      std::string item = "%SystemRoot%\\system32\\mswsock.dll";
      item.resize(0x3c0, '\0');
      ws.registry().SetValue(platform::RegRoot::kLocalMachine,
                             "SYSTEM\\CurrentControlSet\\Services\\WinSock2\\Parameters\\"
                             "Protocol_Catalog9\\Catalog_Entries\\000000000001",
                             "PackedCatalogItem", REG_BINARY, item);
    }
    Report page;
    ComposeReport(page);
    (catalog ? fixed.clientInstalled : fixed.clientNotInstalled) = page.client;
    fixed.systemStart = page.system;
    fixed.process = page.process;
    fixed.route = page.route;
    fixed.adapter = page.adapter;
    fixed.hosts = page.hosts;
  }
  return fixed;
}

class Check {
 public:
  explicit Check(std::vector<std::string>& problems, std::uint64_t index)
      : problems_(problems), index_(index) {}
  void That(bool holds, const std::string& what) {
    if (!holds) problems_.push_back("workstation " + std::to_string(index_) + ": " + what);
  }

 private:
  std::vector<std::string>& problems_;
  std::uint64_t index_;
};

// The patch heading, then the renegotiation verdict (the diagnosis's), its warning, and the
// hotfixes' comments, each whole.
void CheckSystem(const std::string& system, const Fixed& fixed, int renego, const Written& written,
                 Check& check) {
  check.That(StartsWith(system, fixed.systemStart), "system: its first lines moved");
  if (!StartsWith(system, fixed.systemStart)) return;
  std::string rest = system.substr(fixed.systemStart.size());
  if (renego == -1) {
    check.That(rest.empty(), "system: lines without the SCHANNEL key");
    return;
  }
  const std::string verdict =
      kRenegoLine + std::to_string(renego) + ".\r\n" + (renego != 0 ? kWarningLine : "") + "\r\n";
  check.That(StartsWith(rest, verdict), "system: the verdict is not the diagnosis's");
  if (!StartsWith(rest, verdict)) return;
  for (const std::string& line : Lines(rest.substr(verdict.size()))) {
    check.That(!line.empty() && TakenFromAny(line, written.hotfixComments, 255),
               "system: patch line not from a hotfix: " + line);
  }
}

// The heading, then one line per program: its name (at most 255 bytes, cut at 252 with "...")
// and its version (at most 19, cut at 16), both of one uninstall entry.
void CheckSoftware(const std::string& software, const Written& written, Check& check) {
  const std::vector<std::string> lines = Lines(software);
  check.That(!lines.empty() && lines[0] == GetText(TEXT_INSTALLED_SOFTWARE) &&
                 software.size() >= 2 && software.compare(software.size() - 2, 2, "\r\n") == 0,
             "software: heading");
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    bool found = false;
    for (std::size_t gap = line.find("   "); !found && gap != std::string::npos;
         gap = line.find("   ", gap + 1)) {
      const std::string name = line.substr(0, gap);
      const std::string version = line.substr(gap + 3);
      for (const random_registry::Program& program : written.programs) {
        const bool nameOk =
            program.name && !name.empty() && TakenFrom(name, *program.name, 255, 252);
        const bool versionOk =
            version.empty() || (program.version && TakenFrom(version, *program.version, 19, 16));
        if (nameOk && versionOk) found = true;
      }
    }
    check.That(found, "software: line not from one program: " + line);
  }
}

// One root's values: each the value read, "default", or the over-length text, at most 259 bytes;
// the warnings as the diagnosis judged. A record left cleared (the Internet Settings key could not
// be opened) shows every value empty, each with its warning where the rule has one.
std::size_t CheckUserAgentLines(const std::vector<std::string>& lines, std::size_t at,
                                const Written& written, bool cleared, int* warnings, Check& check) {
  for (const char* label : {"Compatible : ", "Version : ", "Platform : "}) {
    if (at >= lines.size() || !StartsWith(lines[at], label)) {
      check.That(false, std::string("browser: no line ") + label);
      return lines.size();
    }
    const std::string value = lines[at].substr(std::string_view(label).size());
    if (cleared) {
      check.That(value.empty(), std::string("browser: ") + label + "not cleared: " + value);
    } else {
      check.That(value == "default" || value == kTooLong ||
                     TakenFromAny(value, written.userAgentFields, 259),
                 std::string("browser: ") + label + "not from the registry: " + value);
    }
    const bool ruled = std::string_view(label) != "Platform : ";
    ++at;
    const bool warned = at < lines.size() && StartsWith(lines[at], "warning:");
    if (warned) {
      ++*warnings;
      ++at;
    }
    if (cleared) check.That(warned == ruled, std::string("browser: ") + label + "warning");
  }
  return at;
}

void CheckBrowser(const std::string& browser, int userAgent, const Written& written, bool cleared,
                  Check& check) {
  const std::vector<std::string> lines = Lines(browser);
  std::size_t at = 0;
  const std::string version = std::string("IE") + GetText(TEXT_VERSION) + " ";
  check.That(!lines.empty() && StartsWith(lines[0], version), "browser: first line");
  if (lines.empty() || !StartsWith(lines[0], version)) return;
  const std::string agent = lines[at++].substr(version.size());
  check.That(agent.empty() || TakenFromAny(agent, written.browserTexts, 259),
             "browser: User Agent not from the registry");
  int warnings = 0;
  const char* const roots[] = {
      "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet "
      "Settings\\5.0\\User Agent:",
      "HKEY_CURRENT_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet "
      "Settings\\5.0\\User Agent"};
  for (const char* root : roots) {
    check.That(at < lines.size() && lines[at] == root, std::string("browser: no line ") + root);
    if (at >= lines.size() || lines[at] != root) return;
    at = CheckUserAgentLines(lines, at + 1, written, cleared, &warnings, check);
  }
  // A cleared record warns of every value, whatever the diagnosis found.
  if (userAgent != -1 && !cleared) {
    check.That((warnings > 0) == (userAgent == 1), "browser: warnings disagree with the diagnosis");
  }
  const std::string script = std::string(GetText(TEXT_AUTO_CONFIG_SCRIPT)) + " ";
  if (at < lines.size() && StartsWith(lines[at], script)) {
    check.That(TakenFromAny(lines[at].substr(script.size()), written.browserTexts, 259),
               "browser: script not from the registry");
    ++at;
  }
  const std::string server = std::string(GetText(TEXT_PROXY_SERVER)) + " ";
  const std::string exceptions = std::string(GetText(TEXT_PROXY_EXCEPTION)) + " ";
  const std::string http11 = std::string(GetText(TEXT_PROXY_HTTP11)) + " ";
  if (at + 3 < lines.size() && StartsWith(lines[at], server)) {
    const std::string shown = lines[at].substr(server.size());
    check.That(shown.empty() || TakenFromAny(shown, written.browserTexts, 259),
               "browser: proxy server not from the registry");
    const std::string list =
        lines[at + 1].substr(std::min(lines[at + 1].size(), exceptions.size()));
    check.That(StartsWith(lines[at + 1], exceptions) &&
                   (list == "(null)" || list.empty() ||
                    TakenFromAny(list, written.proxyOverrides, 1u << 20)),
               "browser: proxy exceptions");
    check.That(
        lines[at + 2] == http11 + GetText(TEXT_YES) || lines[at + 2] == http11 + GetText(TEXT_NO),
        "browser: HTTP 1.1 line");
    check.That(lines[at + 3].empty(), "browser: no empty line after the proxy");
    at += 4;
  } else {
    check.That(
        at + 1 < lines.size() && lines[at] == GetText(TEXT_PROXY_UNUSED) && lines[at + 1].empty(),
        "browser: neither proxy nor its absence");
    at += 2;
  }
  // The helpers, an empty line, the extensions: names of at most 255 bytes, each ended by ";".
  const auto named = [&](TextId heading, const std::vector<RegValue>& sources, const char* what) {
    check.That(at < lines.size() && lines[at] == GetText(heading), std::string("browser: ") + what);
    for (++at; at < lines.size() && !lines[at].empty(); ++at) {
      const std::string& line = lines[at];
      check.That(line.back() == ';' && TakenFromAny(line.substr(0, line.size() - 1), sources, 255),
                 std::string("browser: ") + what + " not from the registry: " + line);
    }
  };
  named(TEXT_BROWSER_HELPER_OBJECTS, written.helperNames, "helper");
  check.That(at < lines.size() && lines[at].empty(), "browser: no empty line after the helpers");
  ++at;
  named(TEXT_IE_EXTENSIONS, written.extensionTexts, "extension");
  check.That(at == lines.size(), "browser: lines after the extensions");
}

TEST(RandomRegistries, DiagnosisReportAndRepairsHoldTheirFormsAndTakeOnlyWhatWasThere) {
  const std::uint64_t seed = FromEnvironment("VANTIK_RANDOM_SEED", 20240611);
  const std::uint64_t count = FromEnvironment("VANTIK_RANDOM_COUNT", 2000);
  const std::uint64_t first = FromEnvironment("VANTIK_RANDOM_FIRST", 0);
  const double start = Seconds();
  const Fixed fixed = FixedSections();
  std::vector<std::string> problems;
  for (std::uint64_t index = first; index < first + count; ++index) {
    platform::sim::Workstation ws;
    full_workstation::SeedOutsideTheRegistry(ws);
    const Written written =
        random_registry::Fill(random_registry::WorkstationSeed(seed, index), ws.registry());
    const registry_changes::Snapshot before = ws.registry().Contents();
    Check check(problems, index);

    const int renego = CheckKB977377();
    const int userAgent = CheckIEUserAgent();
    check.That(renego >= -1 && renego <= 1 && userAgent >= -1 && userAgent <= 1,
               "a check gave no result of its own");
    const std::size_t tracesBefore = ws.Traces().size();
    Report page;
    ComposeReport(page);
    const std::vector<std::string> traces = ws.Traces();
    // The browser section's record stays cleared when its Internet Settings key does not open.
    const bool browserCleared =
        std::find(traces.begin() + static_cast<std::ptrdiff_t>(tracesBefore), traces.end(),
                  "Open register key failed!") != traces.end();
    CheckSystem(page.system, fixed, renego, written, check);
    CheckSoftware(page.software, written, check);
    CheckBrowser(page.browser, userAgent, written, browserCleared, check);
    check.That(page.process == fixed.process, "process section changed");
    check.That(page.route == fixed.route && page.adapter == fixed.adapter,
               "route or adapter section changed");
    check.That(page.client == fixed.clientInstalled || page.client == fixed.clientNotInstalled,
               "client section changed");
    check.That(page.hosts == fixed.hosts, "hosts section changed");

    (void)FixKB977377();
    (void)FixIEUserAgent();
    for (const std::string& change :
         registry_changes::Unexpected(before, ws.registry().Contents())) {
      check.That(false, "registry: " + change);
    }
    check.That(ws.registry().OpenKeyCount() == 0, "a key left open");
    if (problems.size() > 40) break;
  }
  std::printf("%llu random workstations (seed %llu) in %.1f s\n",
              static_cast<unsigned long long>(count), static_cast<unsigned long long>(seed),
              Seconds() - start);
  std::string report;
  for (std::size_t i = 0; i < problems.size() && i < 40; ++i) report += problems[i] + "\n";
  EXPECT_TRUE(problems.empty()) << "seed " << seed << ", " << problems.size()
                                << " problems, the first:\n"
                                << report;
}

}  // namespace
