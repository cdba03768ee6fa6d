// The client's network extension: its service and its virtual adapter device.
#include <cstdint>
#include <optional>
#include <string>

#include "collect/adapter_device.h"
#include "collect/client_section.h"
#include "platform/devices.h"
#include "platform/services.h"
#include "platform/win32_codes.h"
#include "text/text_table.h"

namespace collect {

using namespace text;

namespace {

enum DeviceStatus { kWorking = 0, kDisabled = 1, kNotPresent = 3, kError = 4 };

void AppendLine(std::string& text, const char* line) {
  text += line;
  text += "\r\n";
}

}  // namespace

ServiceState ReadClientService(std::optional<std::uint32_t>* startType, long* openCode) {
  platform::ServiceHandle manager;
  if (manager.OpenManager(SC_MANAGER_ALL_ACCESS) != ERROR_SUCCESS) {
    return ServiceState::kQueryFailed;
  }
  platform::ServiceHandle service;
  const long opened = service.Open(manager, kClientServiceName, SERVICE_ALL_ACCESS);
  if (openCode != nullptr) *openCode = opened;
  if (opened != ERROR_SUCCESS) return ServiceState::kNotInstalled;
  std::uint32_t state = 0;
  if (service.QueryState(&state) != ERROR_SUCCESS) return ServiceState::kUnknown;
  if (startType != nullptr) {
    std::uint32_t type = 0;
    if (service.QueryStartType(&type) == ERROR_SUCCESS) *startType = type;
  }
  return state == SERVICE_STOPPED ? ServiceState::kStopped : ServiceState::kRunning;
}

int GetAdapterDeviceStatus(const char* name) {
  if (name == nullptr) return kError;
  int found = kNotPresent;
  const AdapterWalk walked = ForEachAdapterDevice(name, [&](platform::DeviceSet& devices) {
    std::uint32_t status = 0;
    std::uint32_t problem = 0;
    if (devices.GetNodeStatus(&status, &problem) != CR_SUCCESS) {
      found = kError;
    } else if ((status & DN_HAS_PROBLEM) == 0) {
      found = kWorking;
    } else if (problem == CM_PROB_DISABLED || problem == CM_PROB_NOT_CONFIGURED) {
      found = kDisabled;
    } else {
      // Any other problem: this device is not the working adapter; look further.
      return true;
    }
    return false;
  });
  if (walked == AdapterWalk::kNotListed) return kNotPresent;
  return walked == AdapterWalk::kUnreadable ? kError : found;
}

NetworkExtension GatherNetworkExtension() {
  NetworkExtension extension;
  extension.service = ReadClientService();
  extension.adapterName = "TovraDrv";
  extension.adapterStatus = GetAdapterDeviceStatus("TovraDrv");
  const int status = extension.adapterStatus;
  if (status != kWorking && status != kDisabled && status != kError) {
    extension.adapterName = "MirrelDrv";
    extension.adapterStatus = GetAdapterDeviceStatus("MirrelDrv");
  }
  return extension;
}

std::string RenderNetworkExtension(const NetworkExtension& extension) {
  std::string text;
  switch (extension.service) {
    case ServiceState::kQueryFailed:
      AppendLine(text, GetText(TEXT_SERVICE_QUERY_FAILED));
      break;
    case ServiceState::kNotInstalled:
      AppendLine(text, GetText(TEXT_SERVICE_NOT_INSTALLED));
      break;
    case ServiceState::kUnknown:
      break;
    case ServiceState::kStopped:
      AppendLine(text, GetText(TEXT_SERVICE_NOT_RUNNING));
      break;
    case ServiceState::kRunning:
      AppendLine(text, GetText(TEXT_SERVICE_RUNNING));
      break;
  }
  TextId line = TEXT_VIRTUAL_ADAPTER_NOT_INSTALLED;
  if (extension.adapterStatus == kWorking) line = TEXT_VIRTUAL_ADAPTER_INSTALLED;
  if (extension.adapterStatus == kDisabled) line = TEXT_VIRTUAL_ADAPTER_DISABLED;
  if (extension.adapterStatus == kError) line = TEXT_VIRTUAL_ADAPTER_UNKNOWN_ERROR;
  AppendLine(text, GetText(line));
  text += "虚拟网卡名称：" + extension.adapterName + "\r\n";
  return text;
}

}  // namespace collect
