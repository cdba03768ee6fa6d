// Each row's facts, gathered through the seam: only what the row judges, never the whole
// report.
#include <cstring>
#include <tuple>

#include "collect/adapter_binding.h"
#include "collect/browser_section.h"
#include "diagnosis/facts.h"
#include "platform/clock.h"
#include "platform/cp936.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/win32_codes.h"

namespace diagnosis {

namespace {

// The client's files that are there, by the names the diagnosis looks for, with their paths.
std::vector<std::pair<std::string, std::string>> ClientFilesFound() {
  std::vector<std::pair<std::string, std::string>> found;
  char folder[260];
  if (collect::GetClientFolder(folder) != 0) return found;
  for (const char* name : kClientFiles) {
    const std::string path = std::string(folder) + '\\' + name;
    if (platform::FileExists(path.c_str())) found.emplace_back(name, path);
  }
  return found;
}

bool Later(const platform::LocalTime& a, const platform::LocalTime& b) {
  return std::tie(a.year, a.month, a.day, a.hour, a.minute, a.second) >
         std::tie(b.year, b.month, b.day, b.hour, b.minute, b.second);
}

}  // namespace

ClientServiceFacts GatherClientServiceFacts() {
  ClientServiceFacts facts;
  long opened = ERROR_SUCCESS;
  facts.service = collect::ReadClientService(&facts.startType, &opened);
  // Only a service the manager does not know is missing; one it would not open is not known.
  if (facts.service == collect::ServiceState::kNotInstalled &&
      opened != ERROR_SERVICE_DOES_NOT_EXIST) {
    facts.service = collect::ServiceState::kQueryFailed;
  }
  for (const auto& [name, path] : ClientFilesFound()) facts.clientFiles.push_back(name);
  const std::string provider = collect::SystemFilePath(collect::kProviderDll);
  facts.providerDll = !provider.empty() && platform::FileExists(provider.c_str());
  return facts;
}

VirtualAdapterFacts GatherVirtualAdapterFacts() {
  VirtualAdapterFacts facts;
  facts.client = GatherClientServiceFacts();
  if (ClientNotInstalled(facts.client)) return facts;
  facts.device = collect::FindAdapterDevice("TovraDrv");
  if (facts.device.status == collect::AdapterDevice::kNotPresent) {
    facts.adapterName = "MirrelDrv";
    facts.device = collect::FindAdapterDevice("MirrelDrv");
  }
  facts.binding = collect::ReadVirtualAdapterBinding(facts.adapterName.c_str());
  return facts;
}

ClientComponentFacts GatherClientComponentFacts() {
  ClientComponentFacts facts;
  facts.client = GatherClientServiceFacts();
  if (!ClientNotInstalled(facts.client)) collect::GatherClientComponents(facts.section);
  return facts;
}

ProxyFacts GatherProxyFacts() {
  ProxyFacts facts;
  checks::IEInfo info;
  if (collect::ReadIEConfig(info) != 0) return facts;
  facts.read = true;
  facts.proxyEnable = info.bProxyEnable;
  facts.proxyServer = info.szProxyServer;
  if (info.pszProxyOverride) facts.proxyOverride = info.pszProxyOverride.get();
  facts.autoConfigUrl = info.szAutoConfigURL;
  return facts;
}

ClockFacts GatherClockFacts() {
  ClockFacts facts;
  facts.now = platform::GetLocalTimeNow();
  std::vector<std::string> paths;
  for (const auto& [name, path] : ClientFilesFound()) paths.push_back(path);
  paths.push_back(collect::SystemFilePath(collect::kProviderDll));
  paths.push_back(collect::HostsFilePath());
  for (const std::string& path : paths) {
    platform::FileStatus status;
    platform::LocalTime written;
    if (path.empty() || !platform::GetFileStatus(path.c_str(), &status) ||
        !platform::ToLocalTime(status.lastWrite, &written)) {
      continue;
    }
    if (!facts.newest || Later(written, *facts.newest)) {
      facts.newest = written;
      facts.newestPath = path;
    }
  }
  return facts;
}

SystemDriveFacts GatherSystemDriveFacts() {
  SystemDriveFacts facts;
  char windows[platform::kShellFolderSize];
  if (platform::GetShellFolder(platform::ShellFolder::kWindows, windows) != 0 ||
      std::strlen(windows) < 2 || windows[1] != ':') {
    return facts;
  }
  facts.root = std::string(windows, 2) + '\\';
  for (const collect::Drive& drive : collect::GatherDrives(collect::DRIVE_MASK_FIXED)) {
    if (platform::cp936::EqualsIgnoreCase(drive.rootPath, facts.root)) facts.drive = drive;
  }
  return facts;
}

}  // namespace diagnosis
