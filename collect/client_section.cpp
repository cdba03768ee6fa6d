#include "collect/client_section.h"

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "platform/cp936.h"
#include "platform/registry.h"
#include "platform/trace.h"
#include "platform/win32_codes.h"
#include "platform/winsock.h"
#include "text/text_table.h"

namespace collect {

using namespace text;

namespace {

constexpr char kCatalogEntry[] =
    "SYSTEM\\CurrentControlSet\\Services\\WinSock2\\Parameters\\Protocol_Catalog9\\Catalog_"
    "Entries\\000000000001";
constexpr std::uint32_t kCatalogItemSize = 1024;
constexpr char kProviderPath[] = "%SystemRoot%\\system32\\dolvane.dll";

// {3f9a1c42-8b7d-4e05-a6c1-5d2e7f90b318} as it lies in memory: the first three fields are
// little-endian numbers.
constexpr unsigned char kProviderId[16] = {0x42, 0x1c, 0x9a, 0x3f, 0x7d, 0x8b, 0x05, 0x4e,
                                           0xa6, 0xc1, 0x5d, 0x2e, 0x7f, 0x90, 0xb3, 0x18};

const char* Verdict(bool installed) {
  return GetText(installed ? TEXT_INSTALLED_SUCCESSFULLY : TEXT_INSTALL_EXCEPTION);
}

// A component line: the name, the version label, a blank and the version.
void AppendVersionLine(std::string& text, const char* name, const std::string& version) {
  text += name;
  text += GetText(TEXT_VERSION);
  text += ' ';
  text += version;
  text += "\r\n";
}

}  // namespace

int CheckCatalogEntry() {
  platform::RegKey key;
  if (key.Open(platform::RegRoot::kLocalMachine, kCatalogEntry, KEY_READ) != ERROR_SUCCESS) {
    return -1;
  }
  char item[kCatalogItemSize] = {};
  std::uint32_t size = sizeof(item);
  if (key.QueryValue("PackedCatalogItem", nullptr, item, &size) != ERROR_SUCCESS) return -1;
  // The item starts with the provider's path as a text; it ends at its zero, or with the bytes
  // read when it has none.
  const std::string_view path(item, ::strnlen(item, size));
  return platform::cp936::Contains(path, kProviderPath) ? -1 : 0;
}

int CheckNameSpaceProvider() {
  std::vector<platform::NameSpaceProvider> providers;
  platform::QueryStep step = platform::QueryStep::kSize;
  if (platform::EnumNameSpaceProviders(&providers, &step) != 0) {
    switch (step) {
      case platform::QueryStep::kSize:
        // The number is not filled in: the line says only that the call failed.
        platform::DebugTrace("KAVREL: WSCEnumNameSpaceProviders failed ! %d\n");
        break;
      case platform::QueryStep::kAllocate:
        platform::DebugTrace("KAVREL: GlobalAlloc NameSpaceInfo failed ! \n");
        break;
      case platform::QueryStep::kRead:
        platform::DebugTrace("KAVREL: WSAEnumNameSpaceProviders failed !\n");
        break;
    }
    return -1;
  }
  for (const platform::NameSpaceProvider& provider : providers) {
    if (std::memcmp(provider.id, kProviderId, sizeof(kProviderId)) == 0) {
      return provider.active == 1 ? 0 : -1;
    }
  }
  return -1;
}

void GatherClientComponents(ClientSection& section) {
  section.catalogEntry = CheckCatalogEntry();
  // The check needs the library; a library that does not start fails it.
  (void)platform::StartSockets();
  section.nameSpaceProvider = CheckNameSpaceProvider();
  GetSystemFileVersion(kProviderDll, section.providerVersion);
  GetSystemFileVersion("\\tesnob.dll", section.tesnobVersion);
  GetClientFileVersion("QuorvService.exe", section.serviceVersion);
  GetClientFileVersion("Pexamo.exe", section.pexamoVersion);
  if (GetClientFileVersion("tovraDrive_X86\\TovraDrv.sys", section.driverVersion) != 0) {
    section.driverFile = "MirrelDrv.sys";
    GetClientFileVersion("tovraDrive_X86\\MirrelDrv.sys", section.driverVersion);
  }
}

ClientSection GatherClientSection() {
  ClientSection section;
  GatherClientComponents(section);
  section.extension = GatherNetworkExtension();
  return section;
}

std::string RenderClientSection(const ClientSection& section) {
  std::string client = GetText(TEXT_PORT_FORWARD);
  client += "\r\n";
  client += std::string("SPI ") + Verdict(section.catalogEntry == 0) + "\r\n";
  client += std::string("NSP ") + Verdict(section.nameSpaceProvider == 0) + "\r\n";
  // The line names the client's former provider DLL; the file looked at is its successor.
  AppendVersionLine(client, "kavrel.dll", section.providerVersion);
  AppendVersionLine(client, "tesnob.dll", section.tesnobVersion);

  client += "\r\n";
  client += GetText(TEXT_NETWORK_EXTENSION);
  client += "\r\n";
  client += RenderNetworkExtension(section.extension);

  client += "\r\n";
  AppendVersionLine(client, kClientServiceName, section.serviceVersion);
  AppendVersionLine(client, "Pexamo", section.pexamoVersion);
  client += "虚拟网卡驱动：" + section.driverFile + "\r\n";
  AppendVersionLine(client, GetText(TEXT_VIRTUAL_ADAPTER_DRIVER), section.driverVersion);
  return client;
}

}  // namespace collect
