// The rows of the workstation's settings around the client: the browser's proxy, the hosts
// file, the clock and the system drive's space.
#include <cstdio>
#include <string>
#include <string_view>

#include "diagnosis/facts.h"
#include "platform/cp936.h"

namespace diagnosis {

namespace {

constexpr std::size_t kHostsNamesShown = 10;
constexpr std::int64_t kSecondsPerDay = 24 * 60 * 60;
constexpr std::uint64_t kNearlyFullBytes = 100ull * 1024 * 1024;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\0'; }

// The words of one hosts line, its comment left out.
std::vector<std::string_view> HostsWords(std::string_view line) {
  line = line.substr(0, line.find('#'));
  std::vector<std::string_view> words;
  while (!line.empty()) {
    while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
    std::size_t length = 0;
    while (length < line.size() && !IsBlank(line[length])) ++length;
    if (length > 0) words.push_back(line.substr(0, length));
    line.remove_prefix(length);
  }
  return words;
}

// Days since 1970-01-01 of a civil date (proleptic Gregorian), then seconds.
std::int64_t SecondsOf(const platform::LocalTime& time) {
  const int year = time.year - (time.month <= 2 ? 1 : 0);
  const int era = (year >= 0 ? year : year - 399) / 400;
  const int yearOfEra = year - era * 400;
  const int dayOfYear = (153 * (time.month + (time.month > 2 ? -3 : 9)) + 2) / 5 + time.day - 1;
  const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  const std::int64_t days = static_cast<std::int64_t>(era) * 146097 + dayOfEra - 719468;
  return days * kSecondsPerDay + time.hour * 3600 + time.minute * 60 + time.second;
}

std::string TimeText(const platform::LocalTime& time) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", time.year, time.month, time.day,
                time.hour, time.minute, time.second);
  return text;
}

}  // namespace

RowOutcome JudgeBrowserProxy(const ProxyFacts& facts) {
  if (!facts.read) return FailedOutcome();
  std::vector<Finding> findings;
  if (facts.proxyEnable != 0 &&
      !platform::cp936::Contains(platform::cp936::ToUpper(facts.proxyOverride), "<LOCAL>")) {
    findings.push_back({FindingId::kProxyWithoutLocalBypass,
                        "ProxyEnable=" + std::to_string(facts.proxyEnable) + "; ProxyServer=" +
                            facts.proxyServer + "; ProxyOverride=" + facts.proxyOverride});
  }
  if (!facts.autoConfigUrl.empty()) {
    findings.push_back({FindingId::kProxyAutoConfig, "AutoConfigURL=" + facts.autoConfigUrl});
  }
  return OutcomeOf(std::move(findings));
}

RowOutcome JudgeHostsFile(const collect::HostsSection& facts) {
  if (facts.path.empty()) return FailedOutcome();
  if (!facts.content) {
    // No file at all redirects nothing; one that is there and cannot be read may.
    if (!facts.status) return OutcomeOf({});
    return OutcomeOf({{FindingId::kHostsUnreadable, facts.path}});
  }
  std::string shown;
  std::size_t names = 0;
  std::string_view content = *facts.content;
  while (!content.empty()) {
    const std::size_t end = content.find('\n');
    const std::vector<std::string_view> words = HostsWords(content.substr(0, end));
    content.remove_prefix(end == std::string_view::npos ? content.size() : end + 1);
    if (words.size() < 2) continue;
    for (std::size_t i = 1; i < words.size(); ++i) {
      if (platform::cp936::EqualsIgnoreCase(words[i], "localhost")) continue;
      if (++names <= kHostsNamesShown) {
        shown +=
            (shown.empty() ? "" : ", ") + std::string(words[i]) + " -> " + std::string(words[0]);
      }
    }
  }
  if (names == 0) return OutcomeOf({});
  if (names > kHostsNamesShown) {
    shown += " (" + std::to_string(names) + " names in all)";
  }
  return OutcomeOf({{FindingId::kHostsRedirectsNames, shown}});
}

RowOutcome JudgeSystemClock(const ClockFacts& facts) {
  if (!facts.newest || SecondsOf(*facts.newest) - SecondsOf(facts.now) <= kSecondsPerDay) {
    return OutcomeOf({});
  }
  return OutcomeOf({{FindingId::kClockBehindFiles, "local time " + TimeText(facts.now) + "; " +
                                                       facts.newestPath + " written " +
                                                       TimeText(*facts.newest)}});
}

RowOutcome JudgeSystemDriveSpace(const SystemDriveFacts& facts) {
  if (!facts.drive || !facts.drive->spaceRead) return FailedOutcome();
  if (facts.drive->freeBytes >= kNearlyFullBytes) return OutcomeOf({});
  return OutcomeOf(
      {{FindingId::kSystemDriveNearlyFull,
        facts.root + " free " + collect::DriveSizeText(*facts.drive, facts.drive->freeBytes) +
            " of " + collect::DriveSizeText(*facts.drive, facts.drive->totalBytes)}});
}

}  // namespace diagnosis
