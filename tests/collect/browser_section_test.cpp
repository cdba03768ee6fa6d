// The browser configuration section on the simulated workstation, byte for byte.
#include "collect/browser_section.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/sim/workstation.h"
#include "platform/win32_codes.h"
#include "tests/support/hex.h"

namespace {

using namespace collect;

using platform::RegRoot;
using platform::sim::Registry;

constexpr char kSettings[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
constexpr char kUserAgent[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\5.0\\User Agent";
constexpr char kHelpers[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects";
constexpr char kExtensions[] = "Software\\Microsoft\\Internet Explorer\\Extensions";
constexpr char kWineUserAgent[] = "Mozilla/4.0 (compatible; MSIE 8.0; Win32)";

const std::string kCompatibleWarning =
    "warning:The value of Compatible is error.It should at least contain a \"compatible\"\r\n";
const std::string kVersionWarning =
    "warning:The value of Version is error.It should at least contain a \"MSIE\"\r\n";
const std::string kUserHeading =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet "
    "Settings\\5.0\\User Agent:\r\n";
const std::string kMachineHeading =
    "HKEY_CURRENT_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet "
    "Settings\\5.0\\User Agent\r\n";
const std::string kDefaults = "Compatible : default\r\nVersion : default\r\nPlatform : default\r\n";
const std::string kNoProxy = "未使用代理：\r\n\r\n";

std::string Head(const std::string& userAgent) { return "IE版本： " + userAgent + "\r\n"; }

std::string Lists(const std::vector<std::string>& helpers,
                  const std::vector<std::string>& extensions) {
  std::string text = "浏览器辅助对象（BHO）：\r\n";
  for (const auto& helper : helpers) text += helper + ";\r\n";
  text += "\r\n工具栏额外项：\r\n";
  for (const auto& extension : extensions) text += extension + ";\r\n";
  return text;
}

std::string Render() { return RenderBrowserSection(GatherBrowserSection()); }

void AddHelper(Registry& r, const std::string& id, const std::string& className) {
  r.AddKey(RegRoot::kLocalMachine, std::string(kHelpers) + "\\" + id);
  r.SetString(RegRoot::kClassesRoot, "CLSID\\" + id, "", className);
}

// A workstation as a fresh Wine prefix has it: a User-Agent string and nothing else.
class BrowserSection : public ::testing::Test {
 protected:
  BrowserSection() {
    r().SetString(RegRoot::kCurrentUser, kSettings, "User Agent", kWineUserAgent);
  }
  Registry& r() { return ws_.registry(); }
  platform::sim::Workstation ws_;
};

TEST_F(BrowserSection, FreshWorkstation) {
  EXPECT_EQ(Render(), Head(kWineUserAgent) + kUserHeading + kDefaults + kMachineHeading +
                          kDefaults + kNoProxy + Lists({}, {}));
  EXPECT_EQ(ws_.registry().OpenKeyCount(), 0);
}

TEST_F(BrowserSection, LabelsAreCodePage936) {
  const std::string text = Render();
  EXPECT_EQ(Hex(text.substr(0, 9)),
            "4945"
            "b0e6b1bea3ba"
            "20");  // "IE版本： "
  EXPECT_NE(Hex(text).find("ceb4cab9d3c3b4fac0eda3ba" + Hex("\r\n\r\n")), std::string::npos)
      << "未使用代理：";
}

// The record stays cleared: every value is empty, so every rule is broken, and no list is read.
TEST_F(BrowserSection, InternetSettingsUnreadableGivesAllFourWarnings) {
  r().DenyOpen(RegRoot::kCurrentUser, kSettings, ERROR_ACCESS_DENIED);
  AddHelper(r(), "{11111111-0000-0000-0000-000000000001}", "Listed only when read");
  const std::string root = "Compatible : \r\n" + kCompatibleWarning + "Version : \r\n" +
                           kVersionWarning + "Platform : \r\n";
  EXPECT_EQ(Render(),
            Head("") + kUserHeading + root + kMachineHeading + root + kNoProxy + Lists({}, {}));
  EXPECT_EQ(ws_.Traces(), std::vector<std::string>{"Open register key failed!"});
}

TEST_F(BrowserSection, ProxyOnWithExceptionsScriptHelpersAndExtensions) {
  r().SetDword(RegRoot::kCurrentUser, kSettings, "ProxyEnable", 1);
  r().SetString(RegRoot::kCurrentUser, kSettings, "ProxyServer", "proxy.corp:8080");
  r().SetString(RegRoot::kCurrentUser, kSettings, "ProxyOverride", "<local>;*.corp");
  r().SetDword(RegRoot::kCurrentUser, kSettings, "ProxyHttp1.1", 1);
  r().SetString(RegRoot::kCurrentUser, kSettings, "AutoConfigURL", "http://wpad/wpad.dat");
  AddHelper(r(), "{11111111-0000-0000-0000-000000000001}", "Helper One");
  AddHelper(r(), "{11111111-0000-0000-0000-000000000002}", "Helper One");  // the same name
  AddHelper(r(), "{11111111-0000-0000-0000-000000000003}", "Helper Three");
  // No class key, a default value of another type, no default value: not listed.
  r().AddKey(RegRoot::kLocalMachine,
             std::string(kHelpers) + "\\{11111111-0000-0000-0000-00000000000A}");
  r().AddKey(RegRoot::kLocalMachine,
             std::string(kHelpers) + "\\{11111111-0000-0000-0000-00000000000B}");
  r().SetString(RegRoot::kClassesRoot, "CLSID\\{11111111-0000-0000-0000-00000000000B}", "",
                "Expandable", REG_EXPAND_SZ);
  r().AddKey(RegRoot::kLocalMachine,
             std::string(kHelpers) + "\\{11111111-0000-0000-0000-00000000000C}");
  r().AddKey(RegRoot::kClassesRoot, "CLSID\\{11111111-0000-0000-0000-00000000000C}");
  const std::string ext = std::string(kExtensions) + "\\";
  r().SetString(RegRoot::kLocalMachine, ext + "{E1}", "MenuText", "Menu Item");
  r().SetString(RegRoot::kLocalMachine, ext + "{E1}", "ButtonText", "Not this one");
  r().SetString(RegRoot::kLocalMachine, ext + "{E2}", "ButtonText", "Button Only");
  r().SetString(RegRoot::kLocalMachine, ext + "{E3}", "MenuText", "Expandable", REG_EXPAND_SZ);
  r().SetString(RegRoot::kLocalMachine, ext + "{E3}", "ButtonText", "Button Fallback");
  r().SetString(RegRoot::kLocalMachine, ext + "{E4}", "Icon", "neither text");
  EXPECT_EQ(Render(), Head(kWineUserAgent) + kUserHeading + kDefaults + kMachineHeading +
                          kDefaults + "使用自动配置脚本： http://wpad/wpad.dat\r\n" +
                          "代理服务器： proxy.corp:8080\r\n" + "代理例外： <local>;*.corp\r\n" +
                          "通过代理连接使用 HTTP1.1： 是\r\n\r\n" +
                          Lists({"Helper One", "Helper One", "Helper Three"},
                                {"Menu Item", "Button Only", "Button Fallback"}));
}

TEST_F(BrowserSection, ProxyOnWithoutExceptionsOrHttp11) {
  r().SetDword(RegRoot::kCurrentUser, kSettings, "ProxyEnable", 1);
  EXPECT_EQ(Render(), Head(kWineUserAgent) + kUserHeading + kDefaults + kMachineHeading +
                          kDefaults + "代理服务器： \r\n代理例外： (null)\r\n" +
                          "通过代理连接使用 HTTP1.1： 否\r\n\r\n" + Lists({}, {}));
}

TEST_F(BrowserSection, ProxyOnlyWhenEnableReadsAsOne) {
  for (const std::uint32_t enable : {0u, 2u, 0x100u}) {
    platform::sim::Workstation& ws = platform::sim::Workstation::Current();
    ws.registry().SetDword(RegRoot::kCurrentUser, kSettings, "ProxyEnable", enable);
    ws.registry().SetString(RegRoot::kCurrentUser, kSettings, "ProxyServer", "unused:80");
    EXPECT_NE(Render().find(kNoProxy), std::string::npos) << enable;
  }
}

// Stored without its terminating zero, the exception list still ends where its bytes end.
TEST_F(BrowserSection, ProxyExceptionsWithoutTerminatorEndWithinTheirBuffer) {
  r().SetDword(RegRoot::kCurrentUser, kSettings, "ProxyEnable", 1);
  r().SetValue(RegRoot::kCurrentUser, kSettings, "ProxyOverride", REG_SZ, "<local>");
  const std::string text = Render();
  EXPECT_NE(text.find("代理例外： <local>\r\n通过代理"), std::string::npos) << text;
}

TEST_F(BrowserSection, UserAgentValuesAndTheirWarnings) {
  r().SetString(RegRoot::kCurrentUser, kUserAgent, "Compatible", "default");
  r().SetString(RegRoot::kCurrentUser, kUserAgent, "Version", "msie 8.0");
  r().SetString(RegRoot::kCurrentUser, kUserAgent, "Platform", "Windows NT");
  r().SetString(RegRoot::kLocalMachine, kUserAgent, "Compatible", "Mozilla/4.0");
  r().SetString(RegRoot::kLocalMachine, kUserAgent, "Version", "MSIE 7.0");
  EXPECT_EQ(Render(), Head(kWineUserAgent) + kUserHeading + "Compatible : default\r\n" +
                          "Version : msie 8.0\r\n" + kVersionWarning + "Platform : Windows NT\r\n" +
                          kMachineHeading + "Compatible : Mozilla/4.0\r\n" + kCompatibleWarning +
                          "Version : MSIE 7.0\r\nPlatform : default\r\n" + kNoProxy +
                          Lists({}, {}));
}

TEST_F(BrowserSection, TextsOf260BytesOrMoreAreLeftOut) {
  r().SetString(RegRoot::kCurrentUser, kSettings, "User Agent", std::string(259, 'u'));
  r().SetString(RegRoot::kCurrentUser, kSettings, "AutoConfigURL", std::string(258, 'a'));
  EXPECT_EQ(Render().substr(0, 11), "IE版本： \r\n") << "260 bytes with the zero";
  checks::IEInfo info;
  ASSERT_EQ(ReadIEConfig(info), 0);
  EXPECT_EQ(info.szAutoConfigURL, std::string(258, 'a')) << "259 bytes with the zero";
}

TEST_F(BrowserSection, MissingListKeysAreTraced) {
  std::vector<std::string> names;
  EXPECT_EQ(ReadBrowserHelperObjects(names), -1);
  EXPECT_EQ(ReadIEExtensions(names), -1);
  EXPECT_TRUE(names.empty());
  EXPECT_EQ(ws_.Traces(), (std::vector<std::string>{"Open register key local machine failed!",
                                                    "Open register key local machine failed!"}));
}

}  // namespace
