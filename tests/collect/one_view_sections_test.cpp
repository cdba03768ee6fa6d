// On 32-bit Windows there is one registry view and every process is the program's own kind: the
// system, software and process sections read and print exactly what they always have, byte for
// byte, whatever a key named Wow6432Node holds there.
#include <gtest/gtest.h>

#include <string>

#include "collect/sections.h"
#include "platform/sim/workstation.h"
#include "platform/win32_codes.h"

namespace {

using namespace collect;

using platform::RegRoot;
using platform::sim::SimProcess;

constexpr RegRoot kMachine = RegRoot::kLocalMachine;
constexpr char kUninstall[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr char kHotfix[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Hotfix";
constexpr char kStrayUninstall[] =
    "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr char kStrayHotfix[] =
    "SOFTWARE\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion\\Hotfix";

void AddProgram(platform::sim::Registry& r, const std::string& uninstall, const std::string& key,
                const std::string& name, const std::string& version) {
  r.SetString(kMachine, uninstall + "\\" + key, "DisplayName", name);
  r.SetString(kMachine, uninstall + "\\" + key, "DisplayVersion", version);
}

void AddHotfix(platform::sim::Registry& r, const std::string& hotfixes, const std::string& key,
               const std::string& comments) {
  r.SetDword(kMachine, hotfixes + "\\" + key, "Installed", 1);
  r.SetString(kMachine, hotfixes + "\\" + key, "Comments", comments);
}

TEST(OneViewSections, ThreeSectionsByteForByte) {
  platform::sim::Workstation ws;
  platform::sim::Registry& r = ws.registry();
  r.SetDword(kMachine, "System\\CurrentControlSet\\Control\\SecurityProviders\\SCHANNEL",
             "DisableRenegoOnClient", 0);
  AddProgram(r, kUninstall, "{A}", "Tovra VPN Client", "5.1.2");
  AddProgram(r, kUninstall, "{B}", "Security Update for Windows XP (KB958644)", "1");
  AddProgram(r, kUninstall, "{C}", "Hotfix one", "1");
  AddProgram(r, kUninstall, "{D}", "腾讯QQ", "9.7");
  AddHotfix(r, kHotfix, "KB100", "Hotfix one");
  AddHotfix(r, kHotfix, "Q200", "Hotfix two");
  // Where a 64-bit Windows would keep the other view: here an ordinary key that nobody reads.
  AddProgram(r, kStrayUninstall, "{E}", "Stray Program", "1");
  AddHotfix(r, kStrayHotfix, "KB300", "Stray hotfix");
  SimProcess system;
  system.id = 4;
  system.modules = {"System"};
  system.grantedAccess = 0;
  ws.processes()
      .Add(0, {})
      .Add(system)
      .Add(636, {"smss.exe", "ntdll.dll"})
      .Add(1520, {"explorer.exe", "ntdll.dll"})
      .Add(2212, {"svchost.exe"})
      .Add(2300, {"svchost.exe"});

  const std::string system_text = RenderSystemSection(GatherSystemSection());
  const std::string software = RenderSoftwareSection(GatherSoftwareSection());
  EXPECT_EQ(system_text,
            "计算机名： VANTIK-PC\r\n\r\n"
            "操作系统： Microsoft Windows 7 Service Pack 1\r\n\r\n"
            "用户名： tester\r\n"
            "是否属于管理员组： 1\r\n\r\n"
            "物理内存： 共 2.00 GB, 使用率： 35% \r\n"
            "虚拟内存： 共 2.00 GB, 剩余 1.91 GB\r\n"
            "C:\\: 共 74.53 GB, 剩余 12.20 GB\r\n"
            "\r\n"
            "Windows 补丁信息： \r\n"
            "\r\n"
            "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\SecurityProviders\\SCHANNEL\\"
            "DisableRenegoOnClient Value is 0.\r\n"
            "\r\n"
            "Hotfix one\r\n"
            "Hotfix two\r\n");
  EXPECT_EQ(software,
            "已安装软件：\r\n"
            "Tovra VPN Client   5.1.2\r\n"
            "腾讯QQ   9.7\r\n");
  EXPECT_EQ(RenderProcessSection(GatherProcessSection()),
            "smss.exe\r\nexplorer.exe\r\nsvchost.exe\r\nsvchost.exe\r\n");
  EXPECT_EQ(r.OpenKeyCount(), 0);
  EXPECT_EQ(ws.processes().OpenHandleCount(), 0);
}

}  // namespace
