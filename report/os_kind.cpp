#include "report/os_kind.h"

#include <atomic>

#include "platform/system_info.h"

namespace report {

namespace {

constexpr unsigned kPlatformNt = 2;
constexpr unsigned kWorkstation = 1;

// The kept answer. Units of an abandoned run and of the next one may ask at the same time.
std::atomic<bool> g_known{false};
std::atomic<int> g_result{-1};
std::atomic<int> g_kind{0};
std::atomic<int> g_servicePack{0};

int Classify(const platform::VersionInfo& v) {
  if (v.platformId != kPlatformNt) return -1;
  const bool workstation = v.productType == kWorkstation;
  if (v.major == 5 && v.minor == 0) return OS_WINDOWS_2000;
  if (v.major == 5 && v.minor == 2) return OS_WINDOWS_SERVER_2003;
  if (v.major == 5 && v.minor == 1) return OS_WINDOWS_XP;
  if (v.major == 6 && v.minor == 0) return workstation ? OS_WINDOWS_VISTA : OS_WINDOWS_SERVER_2008;
  if (v.major == 6 && v.minor == 1) return workstation ? OS_WINDOWS_7 : OS_WINDOWS_SERVER_2008;
  return -1;
}

}  // namespace

int GetOSKind(int& kind, int& servicePackMajor) {
  if (!g_known.load()) {
    platform::VersionInfo version;
    if (!platform::GetWindowsVersion(&version)) return -1;
    const int classified = Classify(version);
    g_result.store(classified < 0 ? -1 : 0);
    g_kind.store(classified);
    g_servicePack.store(version.servicePackMajor);
    g_known.store(true);
  }
  if (g_result.load() != 0) return -1;
  kind = g_kind.load();
  servicePackMajor = g_servicePack.load();
  return 0;
}

void ForgetOSKindForTest() { g_known.store(false); }

}  // namespace report
