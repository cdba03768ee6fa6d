#include "collect/browser_section.h"

#include <cstdint>
#include <memory>

#include "checks/user_agent_check.h"
#include "collect/registry_walk.h"
#include "platform/registry.h"
#include "platform/trace.h"
#include "platform/win32_codes.h"
#include "text/text_table.h"

namespace collect {

using namespace text;

namespace {

using platform::RegKey;
using platform::RegRoot;

constexpr char kInternetSettings[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
constexpr char kHelperObjects[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects";
constexpr char kExtensions[] = "Software\\Microsoft\\Internet Explorer\\Extensions";

// A text value whose size is asked first and that is read only when it fits the field, as the
// record's fields hold at most 259 bytes of text. Each failure is traced.
void ReadSizedText(const RegKey& key, const char* name, char (&field)[checks::kIETextSize],
                   const char* sizeTrace, const char* readTrace) {
  std::uint32_t size = 0;
  if (key.QueryValue(name, nullptr, nullptr, &size) != ERROR_SUCCESS) {
    platform::DebugTrace(sizeTrace);
    return;
  }
  if (size >= checks::kIETextSize) return;
  if (platform::ReadRegString(key, name, field, checks::kIETextSize) != ERROR_SUCCESS) {
    platform::DebugTrace(readTrace);
  }
}

// 1 when the value reads as the number 1.
int ReadFlag(const RegKey& key, const char* name) {
  std::uint32_t number = 0;
  std::uint32_t size = sizeof(number);
  return key.QueryValue(name, nullptr, &number, &size) == ERROR_SUCCESS && number == 1 ? 1 : 0;
}

// The proxy exception list, of any length. Read into a buffer one byte longer than the value,
// so that it ends within its buffer even when it was stored without its terminating zero.
std::unique_ptr<char[]> ReadProxyOverride(const RegKey& key) {
  std::uint32_t size = 0;
  if (key.QueryValue("ProxyOverride", nullptr, nullptr, &size) != ERROR_SUCCESS) return nullptr;
  auto text = std::make_unique<char[]>(size + 1);  // zero-filled: a failed read shows nothing
  (void)platform::ReadRegString(key, "ProxyOverride", text.get(), size + 1);
  return text;
}

// Calls `visit` with each subkey name of a machine-wide key. -1, traced, when the key cannot be
// opened.
template <typename Visit>
int ForEachMachineSubkey(const char* path, Visit visit) {
  RegKey key;
  if (key.Open(RegRoot::kLocalMachine, path, KEY_READ) != ERROR_SUCCESS) {
    platform::DebugTrace("Open register key local machine failed!");
    return -1;
  }
  ForEachSubkey(key, [&visit](const std::string& name) {
    visit(name);
    return true;
  });
  return 0;
}

// The lines of one root's User-Agent values, each Compatible and Version that breaks the rule
// followed by its warning.
void AppendUserAgentValues(std::string& text, const char* compatible, const char* version,
                           const char* platformName) {
  text += std::string("Compatible : ") + compatible + "\r\n";
  if (checks::CompatibleBreaksRule(compatible)) {
    text +=
        "warning:The value of Compatible is error.It should at least contain a \"compatible\"\r\n";
  }
  text += std::string("Version : ") + version + "\r\n";
  if (checks::VersionBreaksRule(version)) {
    text += "warning:The value of Version is error.It should at least contain a \"MSIE\"\r\n";
  }
  text += std::string("Platform : ") + platformName + "\r\n";
}

void AppendLabelled(std::string& text, const char* label, const char* value, const char* end) {
  text += label;
  text += ' ';
  text += value;
  text += end;
}

}  // namespace

int ReadBrowserHelperObjects(std::vector<std::string>& names) {
  return ForEachMachineSubkey(kHelperObjects, [&names](const std::string& id) {
    RegKey classKey;
    char name[kRegistryTextSize];
    if (classKey.Open(RegRoot::kClassesRoot, ("CLSID\\" + id).c_str(), KEY_READ) == ERROR_SUCCESS &&
        ReadSzValue(classKey, nullptr, name)) {
      names.emplace_back(name);
    }
  });
}

int ReadIEExtensions(std::vector<std::string>& texts) {
  return ForEachMachineSubkey(kExtensions, [&texts](const std::string& id) {
    RegKey extension;
    char text[kRegistryTextSize];
    if (extension.Open(RegRoot::kLocalMachine, (std::string(kExtensions) + '\\' + id).c_str(),
                       KEY_READ) == ERROR_SUCCESS &&
        (ReadSzValue(extension, "MenuText", text) || ReadSzValue(extension, "ButtonText", text))) {
      extension.Close();
      texts.emplace_back(text);
    }
  });
}

int ReadIEConfig(checks::IEInfo& info) {
  RegKey key;
  if (key.Open(RegRoot::kCurrentUser, kInternetSettings, KEY_QUERY_VALUE) != ERROR_SUCCESS) {
    platform::DebugTrace("Open register key failed!");
    return -1;
  }
  ReadSizedText(key, "User Agent", info.szUserAgent, "query 1IE version failed!",
                "query 2IE version failed!\r\n");
  if (checks::ReadUserAgentValues(info) == -1)
    platform::DebugTrace("query IE User agent failed!\r\n");
  ReadSizedText(key, "AutoConfigURL", info.szAutoConfigURL, "query AutoConfigURL failed!",
                "query AutoConfigURL failed!");
  info.bProxyHttp11 = ReadFlag(key, "ProxyHttp1.1");
  ReadBrowserHelperObjects(info.helperObjects);
  ReadIEExtensions(info.extensions);
  if (ReadFlag(key, "ProxyEnable") == 1) {
    info.bProxyEnable = 1;
    std::uint32_t size = 0;
    if (key.QueryValue("ProxyServer", nullptr, nullptr, &size) == ERROR_SUCCESS &&
        size < checks::kIETextSize) {
      (void)platform::ReadRegString(key, "ProxyServer", info.szProxyServer, checks::kIETextSize);
    }
    info.pszProxyOverride = ReadProxyOverride(key);
  }
  return 0;
}

std::string RenderBrowserSection(const BrowserSection& info) {
  std::string text = "IE";
  AppendLabelled(text, GetText(TEXT_VERSION), info.szUserAgent, "\r\n");
  text +=
      "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet "
      "Settings\\5.0\\User Agent:\r\n";
  AppendUserAgentValues(text, info.szUserCompatible, info.szUserVersion, info.szUserPlatform);
  // The machine-wide root is named so in the report.
  text +=
      "HKEY_CURRENT_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet "
      "Settings\\5.0\\User Agent\r\n";
  AppendUserAgentValues(text, info.szMachineCompatible, info.szMachineVersion,
                        info.szMachinePlatform);
  if (info.szAutoConfigURL[0] != '\0') {
    AppendLabelled(text, GetText(TEXT_AUTO_CONFIG_SCRIPT), info.szAutoConfigURL, "\r\n");
  }
  if (info.bProxyEnable == 1) {
    AppendLabelled(text, GetText(TEXT_PROXY_SERVER), info.szProxyServer, "\r\n");
    AppendLabelled(text, GetText(TEXT_PROXY_EXCEPTION),
                   info.pszProxyOverride ? info.pszProxyOverride.get() : "(null)", "\r\n");
    AppendLabelled(text, GetText(TEXT_PROXY_HTTP11),
                   GetText(info.bProxyHttp11 == 1 ? TEXT_YES : TEXT_NO), "\r\n\r\n");
  } else {
    text += GetText(TEXT_PROXY_UNUSED);
    text += "\r\n\r\n";
  }
  text += GetText(TEXT_BROWSER_HELPER_OBJECTS);
  text += "\r\n";
  for (const std::string& name : info.helperObjects) text += name + ";\r\n";
  text += "\r\n";
  text += GetText(TEXT_IE_EXTENSIONS);
  text += "\r\n";
  for (const std::string& extension : info.extensions) text += extension + ";\r\n";
  return text;
}

BrowserSection GatherBrowserSection() {
  BrowserSection section;
  ReadIEConfig(section);
  return section;
}

}  // namespace collect
