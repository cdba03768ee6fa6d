// Whose settings the program follows on a workstation where an administrator may have started it
// for the user at the desktop: the User-Agent check and repair, the browser and client sections,
// the system section's last line and the console's JSON, one case per way the desktop's user
// can be found or not.
#include <gtest/gtest.h>

#include <cctype>
#include <optional>
#include <ostream>
#include <string>

#include "cli/cli_program.h"
#include "collect/sections.h"
#include "collect/settings_user_line.h"
#include "platform/console.h"
#include "platform/settings_user.h"
#include "platform/sim/workstation.h"
#include "platform/win32_codes.h"
#include "tests/cli/json_reader.h"
#include "tests/report/export_fixture.h"
#include "tests/support/full_workstation.h"
#include "tests/support/hex.h"

namespace {

using platform::RegRoot;
using platform::ShellFolder;

using full_workstation::kInternetSettings;
using full_workstation::kSchannel;
using full_workstation::kUserAgent;

// The administrator whose password started the program, and the user at the desktop.
constexpr const char* kAdminSid = full_workstation::kAdministratorSid;
constexpr const char* kUserSid = full_workstation::kDesktopUserSid;
constexpr char kUserAppData[] = "C:\\Users\\alice\\AppData\\Roaming";
constexpr char kAlice[] = "VANTIK-PC\\alice";

enum class Followed { kAdministrator, kUser };

struct DesktopCase {
  const char* name;
  std::optional<const char*> shellOwner;  // nullopt: no shell in the session
  long shellTokenRefusal;                 // 0: the shell's token opens
  bool userHiveLoaded;
  const char* userAccount;  // the desktop user's account as the system names it; "" for none
  Followed followed;
  const char* systemLine;  // the system section's added last line; "" for none
  bool jsonUser;           // the document has "user"
  bool fromDesktop;
};

const DesktopCase kCases[] = {
    {"the administrator at the desktop", kAdminSid, 0, true, kAlice, Followed::kAdministrator, "",
     false, true},
    {"a standard user elevated by an administrator", kUserSid, 0, true, kAlice, Followed::kUser,
     "个人设置（浏览器、客户端文件夹）来自桌面用户： VANTIK-PC\\alice "
     "(S-1-5-21-1004336348-1177238915-682003330-1104)\r\n",
     true, true},
    {"no shell in the session", std::nullopt, 0, true, kAlice, Followed::kAdministrator,
     "未能确定桌面用户，个人设置（浏览器、客户端文件夹）来自本程序的用户： VANTIK-PC\\helpdesk "
     "(S-1-5-21-1004336348-1177238915-682003330-500); 本会话中没有桌面外壳, 错误代码 [1400]\r\n",
     true, false},
    {"the shell refuses its token", kUserSid, ERROR_ACCESS_DENIED, true, kAlice,
     Followed::kAdministrator,
     "未能确定桌面用户，个人设置（浏览器、客户端文件夹）来自本程序的用户： VANTIK-PC\\helpdesk "
     "(S-1-5-21-1004336348-1177238915-682003330-500); 桌面外壳的进程或令牌无法读取, 错误代码 "
     "[5]\r\n",
     true, false},
    {"the user's hive is not loaded", kUserSid, 0, false, kAlice, Followed::kAdministrator,
     "未能确定桌面用户，个人设置（浏览器、客户端文件夹）来自本程序的用户： VANTIK-PC\\helpdesk "
     "(S-1-5-21-1004336348-1177238915-682003330-500); 桌面用户的注册表配置单元未加载, 错误代码 "
     "[2]\r\n",
     true, false},
    // A domain account whose domain controller cannot be reached: the SID alone says who.
    {"the user's account cannot be named", kUserSid, 0, true, "", Followed::kUser,
     "个人设置（浏览器、客户端文件夹）来自桌面用户： "
     "S-1-5-21-1004336348-1177238915-682003330-1104\r\n",
     true, true},
};

void PrintTo(const DesktopCase& c, std::ostream* out) { *out << c.name; }

// Both accounts' browsers are broken, each in its own words, and only the user has the client.
class DesktopUser : public export_test::ExportTest,
                    public ::testing::WithParamInterface<DesktopCase> {
 protected:
  void SetUp() override {
    const DesktopCase& c = GetParam();
    platform::sim::Identity& identity = ws_.identity();
    identity.SetProcessUser(kAdminSid, "VANTIK-PC\\helpdesk")
        .AddUser(kUserSid, c.userAccount, kUserAppData)
        .SetShellOwner(c.shellOwner ? std::optional<std::string>(*c.shellOwner) : std::nullopt)
        .RefuseShellToken(c.shellTokenRefusal);
    ws_.SetShellFolder(ShellFolder::kAppData, "C:\\Users\\helpdesk\\AppData\\Roaming");
    ws_.registry().AddKey(RegRoot::kLocalMachine, kSchannel);
    SeedBrowser(RegRoot::kCurrentUser, "", "admin");
    if (c.userHiveLoaded) SeedBrowser(RegRoot::kUsers, std::string(kUserSid) + "\\", "alice");
    ws_.fileVersions().Set(std::string(kUserAppData) + "\\tovraclient\\QuorvService.exe",
                           platform::FixedFileVersion{3u << 16 | 2, 1u << 16 | 0});
  }

  void SeedBrowser(RegRoot root, const std::string& hive, const std::string& who) {
    ws_.registry()
        .SetString(root, hive + kUserAgent, "Compatible", "Mozilla/4.0 (" + who + ")")
        .SetString(root, hive + kInternetSettings, "AutoConfigURL", "http://" + who + "/proxy.pac");
  }

  std::optional<std::string> Compatible(Followed whose) {
    const auto value =
        whose == Followed::kUser
            ? ws_.registry().Value(RegRoot::kUsers, std::string(kUserSid) + "\\" + kUserAgent,
                                   "Compatible")
            : ws_.registry().Value(RegRoot::kCurrentUser, kUserAgent, "Compatible");
    if (!value) return std::nullopt;
    return value->data.substr(0, value->data.find('\0'));
  }

  static std::string Who(Followed whose) { return whose == Followed::kUser ? "alice" : "admin"; }

  std::string Out() { return ws_.console().Bytes(platform::StdStream::kOutput); }
};

TEST_P(DesktopUser, ChecksRepairsSectionsAndTheDocumentFollowOneUser) {
  const DesktopCase& c = GetParam();
  const Followed other = c.followed == Followed::kUser ? Followed::kAdministrator : Followed::kUser;

  const std::string plain = collect::RenderSystemSection(collect::GatherSystemSection());
  {
    // The export's report, as it is composed after the program has found whom to follow.
    const platform::FollowDesktopUser desktop;
    const std::string browser = collect::RenderBrowserSection(collect::GatherBrowserSection());
    EXPECT_NE(browser.find("Compatible : Mozilla/4.0 (" + Who(c.followed) + ")\r\n"),
              std::string::npos)
        << browser;
    EXPECT_NE(browser.find("使用自动配置脚本： http://" + Who(c.followed) + "/proxy.pac\r\n"),
              std::string::npos)
        << browser;
    const std::string client = collect::RenderClientSection(collect::GatherClientSection());
    const std::string version = c.followed == Followed::kUser ? "3. 2. 1. 0" : "";
    EXPECT_NE(client.find("\r\nQuorvService版本： " + version + "\r\n"), std::string::npos)
        << client;
    const std::string system = collect::RenderSystemSection(collect::GatherSystemSection());
    EXPECT_EQ(collect::SettingsUserLine(desktop.user()), c.systemLine);
    // Otherwise byte for byte the section of a program that knows nothing of the desktop's user.
    EXPECT_EQ(system, plain + c.systemLine);
  }

  // The exit codes speak for every row, and this workstation has no network tables for the
  // connection row: the User-Agent row is the one that follows the user.
  (void)cli::RunCli({"diagnose", "--json"});
  const JsonFields diagnosed = ReadJson(Out());
  EXPECT_EQ(diagnosed["checks.1.state"], JsonString(u8"abnormal"));
  if (c.jsonUser) {
    const bool user = c.followed == Followed::kUser;
    const std::string account = user ? c.userAccount : "VANTIK-PC\\helpdesk";
    EXPECT_EQ(diagnosed["user.name"], account.empty() ? "null" : JsonString(account));
    EXPECT_EQ(diagnosed["user.sid"], JsonString(std::string(user ? kUserSid : kAdminSid)));
    EXPECT_EQ(diagnosed["user.from_desktop"], c.fromDesktop ? "true" : "false");
  } else {
    EXPECT_EQ(diagnosed["user.sid"], "(absent)");
  }

  const std::size_t before = Out().size();
  (void)cli::RunCli({"repair", "--json"});
  EXPECT_EQ(ReadJson(Out().substr(before))["repairs.1.after.state"], JsonString(u8"normal"));
  EXPECT_EQ(Compatible(c.followed), "compatible;Mozilla/4.0 (" + Who(c.followed) + ")");
  // The other account's settings stay as they were, broken or not there at all.
  const std::optional<std::string> untouched =
      other == Followed::kUser && !c.userHiveLoaded
          ? std::nullopt
          : std::optional<std::string>("Mozilla/4.0 (" + Who(other) + ")");
  EXPECT_EQ(Compatible(other), untouched);
}

INSTANTIATE_TEST_SUITE_P(Workstations, DesktopUser, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<DesktopCase>& info) {
                           std::string name;
                           for (const char* p = info.param.name; *p != '\0'; ++p) {
                             if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
                           }
                           return name;
                         });

// The line's Chinese, as the report's code page 936 bytes.
TEST(SettingsUserLine, DesktopUsersLineIsCodePage936) {
  platform::SettingsUser user;
  user.account = "D\\u";
  user.sid = "S-1-5-21-9";
  user.processOwn = false;
  EXPECT_EQ(Hex(collect::SettingsUserLine(user)),
            "b8f6c8cbc9e8d6c3a3a8e4afc0c0c6f7a1a2bfcdbba7b6cbcec4bcfebcd0a3a9c0b4d7d4d7c0c3e6d3c3"
            "bba7a3ba" +
                Hex(" D\\u (S-1-5-21-9)\r\n"));
}

// A fallback whose own account the database does not name still says the SID, and one that
// could not even read the program's own user says that.
TEST(SettingsUserLine, FallbacksWithoutAName) {
  platform::SettingsUser user;
  user.fromDesktop = false;
  user.sid = "S-1-5-21-9";
  user.fallback = platform::SettingsUserFallback::kNoShell;
  user.error = ERROR_INVALID_WINDOW_HANDLE;
  EXPECT_EQ(collect::SettingsUserLine(user),
            "未能确定桌面用户，个人设置（浏览器、客户端文件夹）来自本程序的用户： S-1-5-21-9; "
            "本会话中没有桌面外壳, 错误代码 [1400]\r\n");
  user.sid.clear();
  user.fallback = platform::SettingsUserFallback::kOwnUnknown;
  user.error = ERROR_ACCESS_DENIED;
  EXPECT_EQ(collect::SettingsUserLine(user),
            "未能确定桌面用户，个人设置（浏览器、客户端文件夹）来自本程序的用户：; "
            "本程序的用户无法读取, 错误代码 [5]\r\n");
}

}  // namespace
