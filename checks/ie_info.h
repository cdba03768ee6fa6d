// The browser information record: the User-Agent values that the check reads, and the rest
// of the browser configuration that the report's browser section shows.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace checks {

inline constexpr int kIETextSize = 260;

// Created cleared; lives for one call of whoever fills it.
struct IEInfo {
  char szUserAgent[kIETextSize] = {};
  char szUserCompatible[kIETextSize] = {};
  char szUserVersion[kIETextSize] = {};
  char szUserPlatform[kIETextSize] = {};
  char szMachineCompatible[kIETextSize] = {};
  char szMachineVersion[kIETextSize] = {};
  char szMachinePlatform[kIETextSize] = {};
  char szAutoConfigURL[kIETextSize] = {};
  char szProxyServer[kIETextSize] = {};
  std::unique_ptr<char[]> pszProxyOverride;  // the value's exact size, or null
  std::vector<std::string> helperObjects;
  std::vector<std::string> extensions;
  int bProxyEnable = 0;
  int bProxyHttp11 = 0;
};

}  // namespace checks
