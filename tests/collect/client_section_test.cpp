// The VPN client health section on the simulated workstation, byte for byte.
#include "collect/client_section.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/sim/workstation.h"
#include "platform/win32_codes.h"
#include "platform/winsock.h"
#include "tests/support/hex.h"
#include "text/text_table.h"

namespace {

using namespace text;

using namespace collect;

using platform::FixedFileVersion;
using platform::QueryStep;
using platform::RegRoot;
using platform::sim::Workstation;

constexpr char kCatalog[] =
    "SYSTEM\\CurrentControlSet\\Services\\WinSock2\\Parameters\\Protocol_Catalog9\\Catalog_"
    "Entries\\000000000001";
constexpr char kSystem32[] = "C:\\WINDOWS\\system32\\";
constexpr char kClientFolder[] = "C:\\Users\\tester\\AppData\\Roaming\\tovraclient\\";
constexpr unsigned char kProviderId[16] = {0x42, 0x1c, 0x9a, 0x3f, 0x7d, 0x8b, 0x05, 0x4e,
                                           0xa6, 0xc1, 0x5d, 0x2e, 0x7f, 0x90, 0xb3, 0x18};

FixedFileVersion Version(unsigned a, unsigned b, unsigned c, unsigned d) {
  return FixedFileVersion{a << 16 | b, c << 16 | d};
}

// A catalog item as Windows packs it: the provider's path in a 260-byte field, then the rest
// of the protocol record.
std::string CatalogItem(const std::string& path, std::size_t size = 0x3c0) {
  std::string item = path;
  item.resize(size, '\0');
  if (size > 300) item[300] = '\x01';  // protocol data after the path field
  return item;
}

std::string Label(TextId id) { return GetText(id); }

// The section as a workstation without any part of the client shows it, with the verdict of
// its first catalog entry.
std::string WithoutClient(TextId spi) {
  return Label(TEXT_PORT_FORWARD) + "\r\nSPI " + Label(spi) + "\r\nNSP " +
         Label(TEXT_INSTALL_EXCEPTION) + "\r\nkavrel.dll" + Label(TEXT_VERSION) +
         " \r\ntesnob.dll" + Label(TEXT_VERSION) + " \r\n\r\n" + Label(TEXT_NETWORK_EXTENSION) +
         "\r\n" + Label(TEXT_SERVICE_NOT_INSTALLED) + "\r\n" +
         Label(TEXT_VIRTUAL_ADAPTER_NOT_INSTALLED) +
         "\r\n虚拟网卡名称：MirrelDrv\r\n\r\nQuorvService" + Label(TEXT_VERSION) + " \r\nPexamo" +
         Label(TEXT_VERSION) + " \r\n虚拟网卡驱动：MirrelDrv.sys\r\n" +
         Label(TEXT_VIRTUAL_ADAPTER_DRIVER) + Label(TEXT_VERSION) + " \r\n";
}

std::string Render() { return RenderClientSection(GatherClientSection()); }

platform::sim::Device AdapterDevice(const std::vector<std::string>& ids, std::uint32_t status = 0,
                                    std::uint32_t problem = 0) {
  platform::sim::Device device;
  device.hardwareIds = platform::sim::HardwareIdList(ids);
  device.status = status;
  device.problem = problem;
  return device;
}

class ClientSectionTest : public ::testing::Test {
 protected:
  Workstation ws_;
};

TEST_F(ClientSectionTest, WorkstationWithoutTheClient) {
  ws_.registry().SetValue(RegRoot::kLocalMachine, kCatalog, "PackedCatalogItem", REG_BINARY,
                          CatalogItem("%SystemRoot%\\system32\\mswsock.dll"));
  EXPECT_EQ(Render(), WithoutClient(TEXT_INSTALLED_SUCCESSFULLY));
  EXPECT_EQ(ws_.registry().OpenKeyCount(), 0);
  EXPECT_EQ(ws_.services().OpenHandleCount(), 0);
  EXPECT_EQ(ws_.devices().OpenSetCount(), 0);
}

TEST_F(ClientSectionTest, WorkstationWithoutTheClientOrACatalog) {
  EXPECT_EQ(Render(), WithoutClient(TEXT_INSTALL_EXCEPTION));
}

TEST_F(ClientSectionTest, FixedChineseLinesAreCodePage936) {
  const std::string text = Render();
  EXPECT_NE(Hex(text).find("d0e9c4e2cdf8bfa8c3fbb3c6a3ba" + Hex("MirrelDrv\r\n")),
            std::string::npos)
      << "虚拟网卡名称：";
  EXPECT_NE(Hex(text).find("d0e9c4e2cdf8bfa8c7fdb6afa3ba" + Hex("MirrelDrv.sys\r\n")),
            std::string::npos)
      << "虚拟网卡驱动：";
}

TEST_F(ClientSectionTest, EverythingInstalledAndWorking) {
  ws_.registry().SetValue(RegRoot::kLocalMachine, kCatalog, "PackedCatalogItem", REG_BINARY,
                          CatalogItem("%SystemRoot%\\system32\\mswsock.dll"));
  platform::NameSpaceProvider provider;
  std::copy(std::begin(kProviderId), std::end(kProviderId), provider.id);
  provider.active = 1;
  ws_.winsock().AddNameSpaceProvider(provider);
  ws_.fileVersions()
      .Set(std::string(kSystem32) + "dolvane.dll", Version(6, 0, 6001, 18000))
      .Set(std::string(kSystem32) + "tesnob.dll", Version(2, 1, 300, 4))
      .Set(std::string(kClientFolder) + "QuorvService.exe", Version(3, 2, 1, 0))
      .Set(std::string(kClientFolder) + "Pexamo.exe", Version(3, 2, 1, 1))
      .Set(std::string(kClientFolder) + "tovraDrive_X86\\TovraDrv.sys", Version(9, 8, 7, 6));
  ws_.services().Add("QuorvService", SERVICE_RUNNING);
  ws_.devices().Add(AdapterDevice({"ROOT\\TovraDrv", "TovraDrv"}, 0x0180a));
  const std::string v = Label(TEXT_VERSION) + " ";
  EXPECT_EQ(Render(), Label(TEXT_PORT_FORWARD) + "\r\nSPI " + Label(TEXT_INSTALLED_SUCCESSFULLY) +
                          "\r\nNSP " + Label(TEXT_INSTALLED_SUCCESSFULLY) + "\r\nkavrel.dll" + v +
                          "6. 0. 6001. 18000\r\ntesnob.dll" + v + "2. 1. 300. 4\r\n\r\n" +
                          Label(TEXT_NETWORK_EXTENSION) + "\r\n" + Label(TEXT_SERVICE_RUNNING) +
                          "\r\n" + Label(TEXT_VIRTUAL_ADAPTER_INSTALLED) +
                          "\r\n虚拟网卡名称：TovraDrv\r\n\r\nQuorvService" + v +
                          "3. 2. 1. 0\r\nPexamo" + v +
                          "3. 2. 1. 1\r\n虚拟网卡驱动：TovraDrv.sys\r\n" +
                          Label(TEXT_VIRTUAL_ADAPTER_DRIVER) + v + "9. 8. 7. 6\r\n");
}

TEST_F(ClientSectionTest, DriverLineNamesTheFileWhoseVersionWasRead) {
  ws_.fileVersions().Set(std::string(kClientFolder) + "tovraDrive_X86\\MirrelDrv.sys",
                         Version(1, 0, 0, 7));
  const std::string text = Render();
  EXPECT_NE(text.find("虚拟网卡驱动：MirrelDrv.sys\r\n" + Label(TEXT_VIRTUAL_ADAPTER_DRIVER) +
                      Label(TEXT_VERSION) + " 1. 0. 0. 7\r\n"),
            std::string::npos)
      << text;
}

// The section starts the sockets library itself: nothing before it in the report needs to.
TEST_F(ClientSectionTest, StartsTheSocketsLibraryForTheNameSpaceProvider) {
  platform::NameSpaceProvider provider;
  std::copy(std::begin(kProviderId), std::end(kProviderId), provider.id);
  provider.active = 1;
  ws_.winsock().AddNameSpaceProvider(provider);
  ASSERT_FALSE(ws_.winsock().Started());
  EXPECT_EQ(GatherClientSection().nameSpaceProvider, 0);
  EXPECT_TRUE(ws_.winsock().Started());
}

// The record alone decides the text: verdicts, versions, the extension's lines, the driver.
TEST(ClientSectionRendered, FromARecord) {
  ClientSection section;
  section.catalogEntry = 0;
  section.nameSpaceProvider = -1;
  section.providerVersion = "1. 2. 3. 4";
  section.extension = NetworkExtension{ServiceState::kStopped, "TovraDrv", 1};
  section.pexamoVersion = "5. 6. 7. 8";
  section.driverFile = "MirrelDrv.sys";
  const std::string v = Label(TEXT_VERSION) + " ";
  EXPECT_EQ(
      RenderClientSection(section),
      Label(TEXT_PORT_FORWARD) + "\r\nSPI " + Label(TEXT_INSTALLED_SUCCESSFULLY) + "\r\nNSP " +
          Label(TEXT_INSTALL_EXCEPTION) + "\r\nkavrel.dll" + v + "1. 2. 3. 4\r\ntesnob.dll" + v +
          "\r\n\r\n" + Label(TEXT_NETWORK_EXTENSION) + "\r\n" + Label(TEXT_SERVICE_NOT_RUNNING) +
          "\r\n" + Label(TEXT_VIRTUAL_ADAPTER_DISABLED) + "\r\n虚拟网卡名称：TovraDrv\r\n\r\n" +
          "QuorvService" + v + "\r\nPexamo" + v + "5. 6. 7. 8\r\n" +
          "虚拟网卡驱动：MirrelDrv.sys\r\n" + Label(TEXT_VIRTUAL_ADAPTER_DRIVER) + v + "\r\n");
  section.extension.service = ServiceState::kUnknown;
  EXPECT_EQ(RenderNetworkExtension(section.extension),
            Label(TEXT_VIRTUAL_ADAPTER_DISABLED) + "\r\n虚拟网卡名称：TovraDrv\r\n")
      << "no service line when its state is not known";
}

TEST(CatalogEntry, OnlyTheLeadingPathOfTheFirstEntryCounts) {
  const struct {
    const char* name;
    std::optional<std::string> item;  // nullopt: no key at all
    int result;
  } cases[] = {
      {"NoCatalog", std::nullopt, -1},
      {"OtherProvider", CatalogItem("%SystemRoot%\\system32\\mswsock.dll"), 0},
      {"ClientProvider", CatalogItem("%SystemRoot%\\system32\\dolvane.dll"), -1},
      {"ClientProviderInOtherCase", CatalogItem("%systemroot%\\System32\\DOLVANE.DLL"), 0},
      {"PathAfterTheFirstZero",
       CatalogItem(std::string("x\0%SystemRoot%\\system32\\dolvane.dll", 36)), 0},
      // 1024 bytes without a zero: searched to their end and no further.
      {"FullBufferWithoutZero", std::string(1024, 'A'), 0},
      {"FullBufferEndingInThePath",
       std::string(1024 - 33, 'A') + "%SystemRoot%\\system32\\dolvane.dll", -1},
      {"PathCutByTheBufferEnd", std::string(1024 - 32, 'A') + "%SystemRoot%\\system32\\dolvane.dl",
       0},
      {"LongerThanTheBuffer", std::string(1025, 'A'), -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Workstation ws;
    if (c.item) {
      ws.registry().SetValue(RegRoot::kLocalMachine, kCatalog, "PackedCatalogItem", REG_BINARY,
                             *c.item);
    }
    EXPECT_EQ(CheckCatalogEntry(), c.result);
    EXPECT_EQ(ws.registry().OpenKeyCount(), 0);
  }
}

TEST(NameSpaceProvider, ListedAndActive) {
  platform::NameSpaceProvider client;
  std::copy(std::begin(kProviderId), std::end(kProviderId), client.id);
  platform::NameSpaceProvider other = client;
  other.id[15] ^= 1;
  const struct {
    const char* name;
    bool start;
    std::function<void(platform::sim::Winsock&)> setUp;
    int result;
    std::vector<std::string> traces;
  } cases[] = {
      {"NotStarted", false, [](auto&) {}, -1, {"KAVREL: WSCEnumNameSpaceProviders failed ! %d\n"}},
      {"ListedActive",
       true,
       [&](auto& w) {
         client.active = 1;
         w.AddNameSpaceProvider(other).AddNameSpaceProvider(client);
       },
       0,
       {}},
      {"ListedInactive",
       true,
       [&](auto& w) {
         client.active = 0;
         w.AddNameSpaceProvider(client);
       },
       -1,
       {}},
      {"FirstListingCounts",
       true,
       [&](auto& w) {
         client.active = 2;
         w.AddNameSpaceProvider(client);
         client.active = 1;
         w.AddNameSpaceProvider(client);
       },
       -1,
       {}},
      {"NotListed", true, [&](auto& w) { w.AddNameSpaceProvider(other); }, -1, {}},
      {"WineStub",
       true,
       [&](auto& w) {
         client.active = 1;
         w.AddNameSpaceProvider(client).StubNameSpaceEnumeration();
       },
       -1,
       {}},
      {"AllocationFails",
       true,
       [](auto& w) { w.FailNameSpaceEnumeration(QueryStep::kAllocate, 8); },
       -1,
       {"KAVREL: GlobalAlloc NameSpaceInfo failed ! \n"}},
      {"ReadFails",
       true,
       [](auto& w) { w.FailNameSpaceEnumeration(QueryStep::kRead, 10014); },
       -1,
       {"KAVREL: WSAEnumNameSpaceProviders failed !\n"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Workstation ws;
    c.setUp(ws.winsock());
    if (c.start) {
      ASSERT_EQ(platform::StartSockets(), 0);
    }
    EXPECT_EQ(CheckNameSpaceProvider(), c.result);
    EXPECT_EQ(ws.Traces(), c.traces);
  }
}

TEST(FileVersionText, FourNumbersWithADotAndABlank) {
  const struct {
    FixedFileVersion version;
    std::uint32_t resourceSize;
    const char* text;
  } cases[] = {
      {Version(2, 1, 300, 4), 1024, "2. 1. 300. 4"},
      {Version(6, 0, 6001, 18000), 1024, "6. 0. 6001. 18000"},
      {Version(65535, 0, 65535, 1), 1024, "65535. 0. 65535. 1"},
      // Larger than any fixed buffer: read at the size the file gives.
      {Version(1, 2, 3, 4), 10000, "1. 2. 3. 4"},
      {Version(1, 2, 3, 5), 4097, "1. 2. 3. 5"},
  };
  for (const auto& c : cases) {
    Workstation ws;
    ws.fileVersions().Set("C:\\f.dll", c.version, c.resourceSize);
    std::string version = "old";
    EXPECT_EQ(GetFileVersionText("C:\\f.dll", version), 0);
    EXPECT_EQ(version, c.text);
  }
}

TEST(FileVersionText, FailuresLeaveTheTextAndSayWhere) {
  const struct {
    const char* name;
    std::function<void(platform::sim::FileVersions&)> setUp;
    const char* trace;
  } cases[] = {
      {"NoResource", [](auto&) {}, "GetQuorvFileVersionInfoSize error"},
      {"ReadFails", [](auto& v) { v.Set("C:\\f.dll", Version(1, 0, 0, 0)).FailRead("C:\\f.dll"); },
       "GetQuorvFileVersionInfo error"},
      {"NoFixedInformation", [](auto& v) { v.SetWithoutFixedInfo("C:\\f.dll"); },
       "VerQueryFileVersionValue error"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Workstation ws;
    c.setUp(ws.fileVersions());
    std::string version = "old";
    EXPECT_EQ(GetFileVersionText("C:\\f.dll", version), -1);
    EXPECT_EQ(version, "old");
    EXPECT_EQ(ws.Traces(), std::vector<std::string>{c.trace});
  }
  Workstation ws;
  std::string version = "old";
  EXPECT_EQ(GetFileVersionText(nullptr, version), -1);
  EXPECT_TRUE(ws.Traces().empty());
}

TEST(ClientFolder, ApplicationDataFolderAndItsLimit) {
  Workstation ws;
  char path[260];
  ASSERT_EQ(GetClientFolder(path), 0);
  EXPECT_STREQ(path, "C:\\Users\\tester\\AppData\\Roaming\\tovraclient");
  // 247 + 12 is the longest path that fits: 259 characters and the zero.
  const std::string fits = "C:\\" + std::string(244, 'f');
  ws.SetShellFolder(platform::ShellFolder::kAppData, fits);
  ASSERT_EQ(GetClientFolder(path), 0);
  EXPECT_EQ(std::string(path), fits + "\\tovraclient");
  ws.SetShellFolder(platform::ShellFolder::kAppData, fits + "f");
  EXPECT_EQ(GetClientFolder(path), -1);
  ws.SetShellFolder(platform::ShellFolder::kAppData, std::nullopt);
  EXPECT_EQ(GetClientFolder(path), -1);
  std::string version = "old";
  EXPECT_EQ(GetClientFileVersion("Pexamo.exe", version), -1);
  EXPECT_EQ(version, "old");
}

TEST(SystemFileVersion, WindowsFolderAndSystem32) {
  Workstation ws;
  ws.SetShellFolder(platform::ShellFolder::kWindows, "D:\\WINNT");
  ws.fileVersions().Set("D:\\WINNT\\system32\\tesnob.dll", Version(5, 0, 2195, 1));
  std::string version;
  EXPECT_EQ(GetSystemFileVersion("\\tesnob.dll", version), 0);
  EXPECT_EQ(version, "5. 0. 2195. 1");
  ws.SetShellFolder(platform::ShellFolder::kWindows, std::nullopt);
  EXPECT_EQ(GetSystemFileVersion("\\tesnob.dll", version), -1);
}

TEST(ServiceLine, ByTheServiceState) {
  const struct {
    const char* name;
    std::function<void(platform::sim::Services&)> setUp;
    std::string line;
  } cases[] = {
      {"Stopped", [](auto& s) { s.Add("QuorvService", 1); }, Label(TEXT_SERVICE_NOT_RUNNING)},
      {"StartPending", [](auto& s) { s.Add("QuorvService", 2); }, Label(TEXT_SERVICE_RUNNING)},
      {"StopPending", [](auto& s) { s.Add("QuorvService", 3); }, Label(TEXT_SERVICE_RUNNING)},
      {"Running", [](auto& s) { s.Add("quorvservice", 4); }, Label(TEXT_SERVICE_RUNNING)},
      {"Paused", [](auto& s) { s.Add("QuorvService", 7); }, Label(TEXT_SERVICE_RUNNING)},
      {"NotInstalled", [](auto& s) { s.Add("OtherService", 4); },
       Label(TEXT_SERVICE_NOT_INSTALLED)},
      {"ManagerRefused",
       [](auto& s) {
         s.Add("QuorvService", 4)
             .Fail(platform::sim::ServiceCall::kOpenManager, ERROR_ACCESS_DENIED);
       },
       Label(TEXT_SERVICE_QUERY_FAILED)},
      {"ServiceRefused",
       [](auto& s) {
         s.Add("QuorvService", 4)
             .Fail(platform::sim::ServiceCall::kOpenService, ERROR_ACCESS_DENIED);
       },
       Label(TEXT_SERVICE_NOT_INSTALLED)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Workstation ws;
    c.setUp(ws.services());
    const std::string text = RenderNetworkExtension(GatherNetworkExtension());
    EXPECT_EQ(text.substr(0, text.find("\r\n") + 2), c.line + "\r\n");
    EXPECT_EQ(ws.services().OpenHandleCount(), 0);
  }
}

TEST(ServiceLine, FailedStatusQueryWritesNoServiceLine) {
  Workstation ws;
  ws.services().Add("QuorvService", 4).Fail(platform::sim::ServiceCall::kQueryStatus, 5);
  EXPECT_EQ(RenderNetworkExtension(GatherNetworkExtension()),
            Label(TEXT_VIRTUAL_ADAPTER_NOT_INSTALLED) + "\r\n虚拟网卡名称：MirrelDrv\r\n");
}

struct DeviceCase {
  const char* name;
  std::function<void(platform::sim::Devices&)> setUp;
  int tovraStatus;  // GetAdapterDeviceStatus("TovraDrv")
  TextId line;
  const char* adapter;
};

void PrintTo(const DeviceCase& c, std::ostream* os) { *os << c.name; }

const DeviceCase kDeviceCases[] = {
    {"NoDevice", [](auto&) {}, 3, TEXT_VIRTUAL_ADAPTER_NOT_INSTALLED, "MirrelDrv"},
    {"TovraWorking", [](auto& d) { d.Add(AdapterDevice({"TovraDrv"})); }, 0,
     TEXT_VIRTUAL_ADAPTER_INSTALLED, "TovraDrv"},
    {"TovraDisabled",
     [](auto& d) {
       d.Add(AdapterDevice({"TovraDrv"}, DN_HAS_PROBLEM, CM_PROB_DISABLED))
           .Add(AdapterDevice({"MirrelDrv"}));
     },
     1, TEXT_VIRTUAL_ADAPTER_DISABLED, "TovraDrv"},
    {"TovraNotConfigured",
     [](auto& d) { d.Add(AdapterDevice({"TovraDrv"}, DN_HAS_PROBLEM, CM_PROB_NOT_CONFIGURED)); }, 1,
     TEXT_VIRTUAL_ADAPTER_DISABLED, "TovraDrv"},
    {"TovraProblem28BesideWorkingMirrel",
     [](auto& d) {
       d.Add(AdapterDevice({"TovraDrv"}, DN_HAS_PROBLEM, 28)).Add(AdapterDevice({"MirrelDrv"}));
     },
     3, TEXT_VIRTUAL_ADAPTER_INSTALLED, "MirrelDrv"},
    {"MirrelDisabled",
     [](auto& d) { d.Add(AdapterDevice({"MirrelDrv"}, DN_HAS_PROBLEM, CM_PROB_DISABLED)); }, 3,
     TEXT_VIRTUAL_ADAPTER_DISABLED, "MirrelDrv"},
    {"SecondIdOfTheListInOtherCase",
     [](auto& d) {
       d.Add(AdapterDevice({"ROOT\\TOVRADRV", "tovradrv"}));
     },
     0, TEXT_VIRTUAL_ADAPTER_INSTALLED, "TovraDrv"},
    {"IdOnlyStartingWithTheName", [](auto& d) { d.Add(AdapterDevice({"TovraDrvX"})); }, 3,
     TEXT_VIRTUAL_ADAPTER_NOT_INSTALLED, "MirrelDrv"},
    {"DeviceWithoutHardwareIdIsSkipped",
     [](auto& d) {
       platform::sim::Device bare;
       d.Add(bare).Add(AdapterDevice({"TovraDrv"}));
     },
     0, TEXT_VIRTUAL_ADAPTER_INSTALLED, "TovraDrv"},
    {"HardwareIdsLongerThan256Bytes",
     [](auto& d) {
       d.Add(AdapterDevice({std::string(300, 'x'), "TovraDrv"}));
     },
     4, TEXT_VIRTUAL_ADAPTER_UNKNOWN_ERROR, "TovraDrv"},
    {"NodeStatusFails",
     [](auto& d) {
       d.Add(AdapterDevice({"TovraDrv"}))
           .Fail(platform::sim::DeviceCall::kGetNodeStatus, CR_FAILURE);
     },
     4, TEXT_VIRTUAL_ADAPTER_UNKNOWN_ERROR, "TovraDrv"},
    {"EnumerationFails",
     [](auto& d) {
       d.Add(AdapterDevice({"TovraDrv"}))
           .Fail(platform::sim::DeviceCall::kEnumDevice, ERROR_INVALID_PARAMETER);
     },
     4, TEXT_VIRTUAL_ADAPTER_UNKNOWN_ERROR, "TovraDrv"},
    {"InvalidSet",
     [](auto& d) {
       d.Add(AdapterDevice({"TovraDrv"}))
           .Fail(platform::sim::DeviceCall::kGetClassDevs, ERROR_INVALID_PARAMETER);
     },
     3, TEXT_VIRTUAL_ADAPTER_NOT_INSTALLED, "MirrelDrv"},
    {"AbsentDeviceIsNotLookedAt",
     [](auto& d) {
       platform::sim::Device absent = AdapterDevice({"TovraDrv"});
       absent.present = false;
       d.Add(absent);
     },
     3, TEXT_VIRTUAL_ADAPTER_NOT_INSTALLED, "MirrelDrv"},
};

class AdapterDeviceStatus : public ::testing::TestWithParam<DeviceCase> {};

TEST_P(AdapterDeviceStatus, ChoosesTheNameAndTheLine) {
  const DeviceCase& c = GetParam();
  Workstation ws;
  c.setUp(ws.devices());
  EXPECT_EQ(GetAdapterDeviceStatus("TovraDrv"), c.tovraStatus);
  EXPECT_EQ(RenderNetworkExtension(GatherNetworkExtension()),
            Label(TEXT_SERVICE_NOT_INSTALLED) + "\r\n" + Label(c.line) + "\r\n虚拟网卡名称：" +
                c.adapter + "\r\n");
  EXPECT_EQ(ws.devices().OpenSetCount(), 0) << "every set destroyed";
}

INSTANTIATE_TEST_SUITE_P(Cases, AdapterDeviceStatus, ::testing::ValuesIn(kDeviceCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AdapterDeviceStatusNames, MissingNameIsAnError) {
  Workstation ws;
  EXPECT_EQ(GetAdapterDeviceStatus(nullptr), 4);
  EXPECT_EQ(ws.devices().DestroyedSetCount(), 0) << "no set made";
}

}  // namespace
