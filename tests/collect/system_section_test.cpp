// The system section: gathered on the simulated workstation, and written from records, byte
// for byte.
#include "collect/system_section.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "collect/administrators.h"
#include "platform/sim/workstation.h"
#include "platform/win32_codes.h"
#include "tests/support/hex.h"

namespace {

using namespace collect;

using platform::RegRoot;
using platform::TokenGroup;
using platform::VersionInfo;

constexpr char kSchannel[] = "System\\CurrentControlSet\\Control\\SecurityProviders\\SCHANNEL";
constexpr char kHotfix[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Hotfix";
constexpr char kSettingLine[] =
    "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\SecurityProviders\\SCHANNEL\\"
    "DisableRenegoOnClient Value is ";
constexpr char kWarning[] = "warning:Please modify the reg value to 0.\r\n";

std::string Section() { return RenderSystemSection(GatherSystemSection()); }

// The section's lines, each without its CR LF.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  EXPECT_EQ(start, text.size()) << "the text ends with a line end";
  return lines;
}

TEST(SystemSection, LabelsAreCodePage936) {
  platform::sim::Workstation ws;
  const std::vector<std::string> lines = Lines(Section());
  ASSERT_GE(lines.size(), 12u);
  EXPECT_EQ(Hex(lines[0]),
            Hex("\xbc\xc6\xcb\xe3\xbb\xfa\xc3\xfb\xa3\xba VANTIK-PC"));  // 计算机名：
  // 物理内存： 共 ... 使用率：
  EXPECT_EQ(Hex(lines[7].substr(0, 13)), "ceefc0edc4dab4e6a3ba20b9b2");
  EXPECT_EQ(Hex(lines[11]),
            Hex("Windows \xb2\xb9\xb6\xa1\xd0\xc5\xcf\xa2\xa3\xba "));  // 补丁信息：
}

TEST(SystemSection, WholeSectionOfAnXpWorkstation) {
  platform::sim::Workstation ws;
  ws.winsock().SetHostName("WS-0042");
  ws.SetWindowsVersion(VersionInfo{2, 5, 1, 2600, 3, 1, 'e'});
  ws.identity().SetUserName("张三");
  ws.memory().SetStatus({100, 4294967295u, 0, 0, 0, 2147352576u, 1073741823u});
  ws.drives().Add('H', DRIVE_REMOTE, 2000398934016, 1048000).Add('D', DRIVE_CDROM, 700000000, 0);
  ws.registry().SetDword(RegRoot::kLocalMachine, kSchannel, "DisableRenegoOnClient", 1);
  ws.registry().SetDword(RegRoot::kLocalMachine, std::string(kHotfix) + "\\KB958644", "Installed",
                         1);
  ws.registry().SetString(RegRoot::kLocalMachine, std::string(kHotfix) + "\\KB958644", "Comments",
                          "Windows XP Hotfix - KB958644");
  ws.registry().SetDword(RegRoot::kLocalMachine, std::string(kHotfix) + "\\Q323255", "Installed",
                         1);
  ws.registry().SetString(RegRoot::kLocalMachine, std::string(kHotfix) + "\\Q323255", "Comments",
                          "Hotfix Q323255");
  EXPECT_EQ(Section(),
            "计算机名： WS-0042\r\n\r\n"
            "操作系统： Microsoft Windows XP Service Pack 3\r\n\r\n"
            "用户名： 张三\r\n"
            "是否属于管理员组： 1\r\n\r\n"
            "物理内存： 共 4.00 GB, 使用率： 100% \r\n"
            "虚拟内存： 共 2.00 GB, 剩余 1.00 GB\r\n"
            "C:\\: 共 74.53 GB, 剩余 12.20 GB\r\n"
            "H:\\: 共 1.82 TB, 剩余 1.00 MB\r\n"
            "\r\n"
            "Windows 补丁信息： \r\n"
            "\r\n" +
                std::string(kSettingLine) + "1.\r\n" + kWarning +
                "\r\n"
                "Windows XP Hotfix - KB958644\r\n"
                "Hotfix Q323255\r\n");
  EXPECT_TRUE(ws.winsock().Started()) << "left started, as every user of it expects";
  EXPECT_EQ(ws.registry().OpenKeyCount(), 0);
  EXPECT_EQ(ws.identity().OpenTokenCount(), 0);
}

TEST(SystemSection, HealthySettingWithoutPatches) {
  platform::sim::Workstation ws;
  ws.registry().AddKey(RegRoot::kLocalMachine, kSchannel);
  const std::vector<std::string> lines = Lines(Section());
  ASSERT_EQ(lines.size(), 15u);
  EXPECT_EQ(lines[11], "Windows 补丁信息： ");
  EXPECT_EQ(lines[12], "");
  EXPECT_EQ(lines[13], std::string(kSettingLine) + "0.");
  EXPECT_EQ(lines[14], "") << "no warning, then no patch";
}

TEST(SystemSection, WithoutTheSchannelKeyTheSectionEndsAfterThePatchHeading) {
  platform::sim::Workstation ws;
  ws.registry().SetDword(RegRoot::kLocalMachine, std::string(kHotfix) + "\\KB1", "Installed", 1);
  ws.registry().SetString(RegRoot::kLocalMachine, std::string(kHotfix) + "\\KB1", "Comments",
                          "Patch one");
  const std::string section = Section();
  const std::string end = "Windows 补丁信息： \r\n";
  ASSERT_GE(section.size(), end.size());
  EXPECT_EQ(section.substr(section.size() - end.size()), end);
  EXPECT_EQ(section.find("Patch one"), std::string::npos);
}

TEST(SystemSection, NoDriveLineAtAll) {
  platform::sim::Workstation ws;
  ws.drives().Remove('C').Add('D', DRIVE_CDROM, 1000, 0);
  const std::vector<std::string> lines = Lines(Section());
  ASSERT_GE(lines.size(), 11u);
  EXPECT_EQ(lines[8].rfind("虚拟内存：", 0), 0u);
  EXPECT_EQ(lines[9], "") << "the empty line follows the virtual memory at once";
  EXPECT_EQ(lines[10], "Windows 补丁信息： ");
}

TEST(SystemSection, FailuresLeaveTheirFieldsEmpty) {
  platform::sim::Workstation ws;
  ws.winsock().FailHostName();
  ws.FailVersionQuery(false);
  ws.identity().FailUserName(ERROR_ACCESS_DENIED).FailTokenOpen(ERROR_ACCESS_DENIED);
  ws.drives().FailKernelModule();
  const std::vector<std::string> lines = Lines(Section());
  ASSERT_GE(lines.size(), 10u);
  EXPECT_EQ(lines[0], "计算机名： ");
  EXPECT_EQ(lines[2], "操作系统： ");
  EXPECT_EQ(lines[4], "用户名： ");
  EXPECT_EQ(lines[5], "是否属于管理员组： 0");
  EXPECT_EQ(lines[9], "") << "no drive line";
}

TEST(SystemSection, SocketsThatDoNotStartLeaveTheHostNameEmpty) {
  platform::sim::Workstation ws;
  ws.winsock().FailStartup(10091);  // WSASYSNOTREADY
  EXPECT_EQ(Lines(Section())[0], "计算机名： ");
}

struct MemoryCase {
  const char* name;
  platform::MemoryStatus status;
  const char* physical;
  const char* virtualMemory;
};

void PrintTo(const MemoryCase& c, std::ostream* os) { *os << c.name; }

class MemoryLines : public ::testing::TestWithParam<MemoryCase> {};

TEST_P(MemoryLines, WholeMebibytesInGigabytes) {
  SystemSection section;
  section.memory = GetParam().status;
  const std::vector<std::string> lines = Lines(RenderSystemSection(section));
  ASSERT_GE(lines.size(), 9u);
  EXPECT_EQ(lines[7], GetParam().physical);
  EXPECT_EQ(lines[8], GetParam().virtualMemory);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MemoryLines,
    ::testing::Values(MemoryCase{"LargestCountIs4Gb",
                                 {50, 4294967295u, 0, 0, 0, 4294967295u, 4294967295u},
                                 "物理内存： 共 4.00 GB, 使用率： 50% ",
                                 "虚拟内存： 共 4.00 GB, 剩余 4.00 GB"},
                      MemoryCase{"OneByteShortOf1GbRoundsTo1",
                                 {7, 1073741823u, 0, 0, 0, 1073741823u, 1048575u},
                                 "物理内存： 共 1.00 GB, 使用率： 7% ",
                                 "虚拟内存： 共 1.00 GB, 剩余 0.00 GB"},
                      MemoryCase{"BelowOneMebibyteIsZero",
                                 {0, 1048575u, 0, 0, 0, 0, 0},
                                 "物理内存： 共 0.00 GB, 使用率： 0% ",
                                 "虚拟内存： 共 0.00 GB, 剩余 0.00 GB"},
                      MemoryCase{"FullLoad",
                                 {100, 2147483648u, 0, 0, 0, 2147352576u, 2053111808u},
                                 "物理内存： 共 2.00 GB, 使用率： 100% ",
                                 "虚拟内存： 共 2.00 GB, 剩余 1.91 GB"},
                      // A 64-bit process reports more than 4 GiB: still whole MiB in GB.
                      MemoryCase{"Beyond4Gb",
                                 {20, 17179869184u, 0, 0, 0, 8796093022208u, 8796092891136u},
                                 "物理内存： 共 16.00 GB, 使用率： 20% ",
                                 "虚拟内存： 共 8192.00 GB, 剩余 8192.00 GB"}),
    [](const auto& info) { return std::string(info.param.name); });

struct VersionCase {
  const char* name;
  VersionInfo version;
  std::string text;
};

void PrintTo(const VersionCase& c, std::ostream* os) { *os << c.name; }

class WindowsVersion : public ::testing::TestWithParam<VersionCase> {};

TEST_P(WindowsVersion, NamedByTheTable) {
  EXPECT_EQ(WindowsVersionText(GetParam().version), GetParam().text);
}

// platformId, major, minor, build, service pack, product type (1 workstation), CSD letter.
INSTANTIATE_TEST_SUITE_P(
    Rows, WindowsVersion,
    ::testing::Values(
        VersionCase{"Win32s", {0, 3, 11, 0, 0, 0, 0}, "Microsoft Win32s "},
        VersionCase{"Windows95Osr2", {1, 4, 0, 1111, 0, 0, 'C'}, "Microsoft Windows 95 OSR2 "},
        VersionCase{"Windows95WithLetter", {1, 4, 0, 950, 0, 0, 'A'}, "Microsoft Windows 95 A "},
        VersionCase{"Windows95WithoutLetter", {1, 4, 0, 950, 0, 0, 0}, "Microsoft Windows 95  "},
        VersionCase{"Windows98Se", {1, 4, 10, 2222, 0, 0, 'A'}, "Microsoft Windows 98 SE "},
        VersionCase{"Windows98", {1, 4, 10, 1998, 0, 0, ' '}, "Microsoft Windows 98 "},
        VersionCase{"WindowsMe", {1, 4, 90, 3000, 0, 0, 0}, "Microsoft Windows Me "},
        VersionCase{"OtherWindows9x", {1, 4, 20, 0, 0, 0, 0}, ""},
        VersionCase{
            "WindowsNt4", {2, 4, 0, 1381, 6, 1, 'S'}, "Microsoft Windows NT Service Pack 6"},
        VersionCase{"WindowsNt351", {2, 3, 51, 1057, 0, 1, 0}, "Microsoft Windows NT "},
        VersionCase{
            "Windows2000", {2, 5, 0, 2195, 4, 1, 'S'}, "Microsoft Windows 2000 Service Pack 4"},
        VersionCase{"WindowsXp", {2, 5, 1, 2600, 3, 1, 'S'}, "Microsoft Windows XP Service Pack 3"},
        VersionCase{
            "Windows2003", {2, 5, 2, 3790, 2, 3, 'S'}, "Microsoft Windows 2003 Service Pack 2"},
        VersionCase{"WindowsXp64IsNamed2003",
                    {2, 5, 2, 3790, 2, 1, 'S'},
                    "Microsoft Windows 2003 Service Pack 2"},
        VersionCase{"Version53", {2, 5, 3, 4000, 0, 1, 0}, "OS Version: 5.3.4000"},
        VersionCase{"Vista", {2, 6, 0, 6002, 2, 1, 'S'}, "Microsoft Windows vista Service Pack 2"},
        VersionCase{
            "VistaWithoutServicePack", {2, 6, 0, 6000, 0, 1, 0}, "Microsoft Windows vista "},
        VersionCase{
            "Server2008", {2, 6, 0, 6001, 1, 3, 'S'}, "Microsoft Windows 2008 Service Pack 1"},
        VersionCase{"Windows7", {2, 6, 1, 7601, 1, 1, 'S'}, "Microsoft Windows 7 Service Pack 1"},
        VersionCase{"Server2008R2HasNoBlankBeforeServicePack",
                    {2, 6, 1, 7601, 1, 3, 'S'},
                    "OS Version: 6.1.7601Service Pack 1"},
        VersionCase{"Windows8", {2, 6, 2, 9200, 0, 1, 0}, "OS Version: 6.2.9200"},
        VersionCase{"Windows10", {2, 10, 0, 19045, 0, 1, 0}, "OS Version: 10.0.19045"},
        VersionCase{"PlatformCe", {3, 5, 0, 0, 2, 0, 0}, "Service Pack 2"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WindowsVersionQuery, BasicStructureHasNoServicePack) {
  platform::sim::Workstation ws;
  ws.SetWindowsVersion(VersionInfo{2, 5, 1, 2600, 3, 1, 'S'});
  ws.FailVersionQuery(true);
  EXPECT_EQ(GatherSystemSection().windowsName, "Microsoft Windows XP ");
}

TEST(WindowsVersionQuery, BothFailingLeavesTheNameEmpty) {
  platform::sim::Workstation ws;
  ws.FailVersionQuery(false);
  EXPECT_EQ(GatherSystemSection().windowsName, "");
}

TEST(SystemSectionGathered, UserNameAndHostName) {
  platform::sim::Workstation ws;
  ws.identity().SetUserName(std::string(256, 'u'));
  ws.winsock().SetHostName(std::string(127, 'h'));
  const SystemSection section = GatherSystemSection();
  EXPECT_EQ(section.userName, std::string(256, 'u'));
  EXPECT_EQ(section.hostName, std::string(127, 'h'));
  ws.identity().FailUserName(ERROR_ACCESS_DENIED);
  ws.winsock().SetHostName(std::string(128, 'h'));
  const SystemSection again = GatherSystemSection();
  EXPECT_EQ(again.userName, "");
  EXPECT_EQ(again.hostName, "") << "too long for its 128-byte buffer";
}

// Only the patch list is read of the installed software: the program list is the software
// section's.
TEST(SystemSectionGathered, ReadsTheHotfixesNotTheProgramList) {
  platform::sim::Workstation ws;
  ws.registry().SetDword(RegRoot::kLocalMachine, std::string(kHotfix) + "\\KB1", "Installed", 1);
  ws.registry().SetString(RegRoot::kLocalMachine, std::string(kHotfix) + "\\KB1", "Comments",
                          "Patch one");
  const SystemSection section = GatherSystemSection();
  EXPECT_EQ(section.hotfixes, std::vector<std::string>{"Patch one"});
  bool hotfixKeyRead = false;
  for (const platform::sim::PlatformCall& call : ws.calls().Calls()) {
    hotfixKeyRead = hotfixKeyRead || call.detail.find("Hotfix") != std::string::npos;
    EXPECT_EQ(call.detail.find("Uninstall"), std::string::npos) << call.name << " " << call.detail;
  }
  EXPECT_TRUE(hotfixKeyRead) << "the calls name the keys they concern";
}

// The record alone decides the text: a drive whose space was not read shows 0 and 0, and the
// patch names follow the verdict, each on its line.
TEST(SystemSectionRendered, FromARecord) {
  SystemSection section;
  section.hostName = "H";
  section.windowsName = "W";
  section.userName = "U";
  section.administratorsMember = true;
  section.memory = platform::MemoryStatus{3, 1u << 30, 0, 0, 0, 1u << 31, 1u << 20};
  section.drives = {Drive{"C:\\", DRIVE_FIXED, true, 1536, 0}, Drive{"N:\\", DRIVE_REMOTE}};
  section.renegoSetting = 0;
  section.hotfixes = {"KB1", "KB2"};
  EXPECT_EQ(RenderSystemSection(section),
            "计算机名： H\r\n\r\n"
            "操作系统： W\r\n\r\n"
            "用户名： U\r\n"
            "是否属于管理员组： 1\r\n\r\n"
            "物理内存： 共 1.00 GB, 使用率： 3% \r\n"
            "虚拟内存： 共 2.00 GB, 剩余 0.00 GB\r\n"
            "C:\\: 共 1.50 KB, 剩余 0.00 bytes\r\n"
            "N:\\: 共 0, 剩余 0\r\n"
            "\r\n"
            "Windows 补丁信息： \r\n"
            "\r\n" +
                std::string(kSettingLine) + "0.\r\n\r\nKB1\r\nKB2\r\n");
  section.renegoSetting = -1;
  const std::string withoutVerdict = RenderSystemSection(section);
  const std::string end = "Windows 补丁信息： \r\n";
  ASSERT_GE(withoutVerdict.size(), end.size());
  EXPECT_EQ(withoutVerdict.substr(withoutVerdict.size() - end.size()), end);
}

// Many domain groups of five sub-authorities each, as a domain member's token holds.
std::vector<TokenGroup> DomainGroups(int count) {
  std::vector<TokenGroup> groups;
  for (int i = 0; i < count; ++i) {
    groups.push_back({"S-1-5-21-1004336348-1177238915-682003330-" + std::to_string(2000 + i), 7});
  }
  return groups;
}

struct MembershipCase {
  const char* name;
  std::function<void(platform::sim::Identity&)> setUp;
  int result;  // what CheckAdministratorsMember returns
  int member;  // and the flag it sets
};

void PrintTo(const MembershipCase& c, std::ostream* os) { *os << c.name; }

const MembershipCase kMembershipCases[] = {
    {"ElevatedAdministrator", [](platform::sim::Identity&) {}, 0, 1},
    {"DenyOnlyAdministratorsCount",
     [](platform::sim::Identity& id) {
       id.SetTokenGroups({{"S-1-1-0", 7}, {"S-1-5-32-544", SE_GROUP_USE_FOR_DENY_ONLY}});
     },
     0, 1},
    {"NoAdministratorsGroup",
     [](platform::sim::Identity& id) {
       id.SetTokenGroups({{"S-1-1-0", 7}, {"S-1-5-32-545", 7}});
     },
     0, 0},
    {"SimilarSidIsNotAdministrators",
     [](platform::sim::Identity& id) {
       id.SetTokenGroups({{"S-1-5-32-5440", 7}, {"S-1-5-21-32-544", 7}});
     },
     0, 0},
    {"GroupsNeedingMoreThan1024Bytes",
     [](platform::sim::Identity& id) {
       std::vector<TokenGroup> groups = DomainGroups(150);
       groups.push_back({"S-1-5-32-544", 15});
       ASSERT_GT(platform::sim::Identity::GroupListSize(groups), 4096u);
       id.SetTokenGroups(groups);
     },
     0, 1},
    {"TokenCannotBeOpened",
     [](platform::sim::Identity& id) { id.FailTokenOpen(ERROR_ACCESS_DENIED); },
     ERROR_ACCESS_DENIED, 0},
    {"GroupsCannotBeRead",
     [](platform::sim::Identity& id) { id.FailGroupQuery(ERROR_INVALID_PARAMETER); },
     ERROR_INVALID_PARAMETER, 0},
    {"GroupJoiningBetweenSizeAndReadIsRead",
     [](platform::sim::Identity& id) {
       id.SetTokenGroups({{"S-1-1-0", 7}});
       id.AddGroupAfterNextQuery({"S-1-5-32-544", 15});
     },
     0, 1},
    {"SizeThatNeverSufficesEnds",
     [](platform::sim::Identity& id) { id.FailGroupQuery(ERROR_INSUFFICIENT_BUFFER); },
     ERROR_INSUFFICIENT_BUFFER, 0},
};

class AdministratorsMember : public ::testing::TestWithParam<MembershipCase> {};

TEST_P(AdministratorsMember, PresenceOfTheGroupIsEnough) {
  platform::sim::Workstation ws;
  GetParam().setUp(ws.identity());
  int member = 7;
  EXPECT_EQ(CheckAdministratorsMember(&member), GetParam().result);
  EXPECT_EQ(member, GetParam().member);
  EXPECT_EQ(ws.identity().OpenTokenCount(), 0) << "the token is closed";
  EXPECT_EQ(Lines(Section())[5], "是否属于管理员组： " + std::to_string(GetParam().member));
}

INSTANTIATE_TEST_SUITE_P(Cases, AdministratorsMember, ::testing::ValuesIn(kMembershipCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
