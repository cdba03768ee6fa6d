// The rows of the VPN client's own pieces: its service, its virtual adapter, its components.
#include <string>

#include "checks/result_codes.h"
#include "diagnosis/facts.h"
#include "platform/win32_codes.h"

namespace diagnosis {

namespace {

std::string Joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
  return text.empty() ? "none" : text;
}

std::string ServiceEvidence(const ClientServiceFacts& facts) {
  std::string text = "QuorvService: ";
  switch (facts.service) {
    case collect::ServiceState::kNotInstalled:
      text += "not installed";
      break;
    case collect::ServiceState::kStopped:
      text += "stopped";
      break;
    default:
      text += "running";
      break;
  }
  if (facts.startType) text += ", start type " + std::to_string(*facts.startType);
  return text;
}

}  // namespace

bool ClientNotInstalled(const ClientServiceFacts& facts) {
  return facts.service == collect::ServiceState::kNotInstalled && facts.clientFiles.empty() &&
         !facts.providerDll;
}

RowOutcome JudgeClientService(const ClientServiceFacts& facts) {
  if (facts.service == collect::ServiceState::kQueryFailed ||
      facts.service == collect::ServiceState::kUnknown) {
    return FailedOutcome();
  }
  const std::string evidence = ServiceEvidence(facts);
  if (ClientNotInstalled(facts)) {
    return OutcomeOf(
        {{FindingId::kClientNotInstalled, evidence + "; client files: none; dolvane.dll: none"}});
  }
  if (facts.service == collect::ServiceState::kNotInstalled) {
    return OutcomeOf({{FindingId::kClientServiceMissing,
                       evidence + "; client files: " + Joined(facts.clientFiles)}});
  }
  // A disabled service is also stopped: the start type is the cause to name.
  if (facts.startType == std::uint32_t{SERVICE_DISABLED}) {
    return OutcomeOf({{FindingId::kClientServiceDisabled, evidence}});
  }
  if (facts.service == collect::ServiceState::kStopped) {
    return OutcomeOf({{FindingId::kClientServiceStopped, evidence}});
  }
  return OutcomeOf({});
}

RowOutcome JudgeVirtualAdapter(const VirtualAdapterFacts& facts) {
  if (ClientNotInstalled(facts.client)) return HiddenOutcome();
  std::vector<Finding> findings;
  switch (facts.device.status) {
    case collect::AdapterDevice::kUnreadable:
      return FailedOutcome();
    case collect::AdapterDevice::kNotPresent:
      return OutcomeOf({{FindingId::kVirtualAdapterMissing, "TovraDrv, MirrelDrv: not present"}});
    case collect::AdapterDevice::kProblem: {
      const bool disabled = facts.device.problem == CM_PROB_DISABLED ||
                            facts.device.problem == CM_PROB_NOT_CONFIGURED;
      findings.push_back(
          {disabled ? FindingId::kVirtualAdapterDisabled : FindingId::kVirtualAdapterError,
           facts.adapterName + ": problem " + std::to_string(facts.device.problem)});
      break;
    }
    case collect::AdapterDevice::kWorking:
      break;
  }
  if (facts.binding == 0) {
    findings.push_back(
        {FindingId::kVirtualAdapterUnbound, facts.adapterName + ": UpperBind without Tcpip"});
  }
  return OutcomeOf(std::move(findings));
}

RowOutcome JudgeClientComponents(const ClientComponentFacts& facts) {
  if (ClientNotInstalled(facts.client)) return HiddenOutcome();
  const collect::ClientSection& section = facts.section;
  std::vector<Finding> findings;
  if (section.catalogEntry != 0) {
    findings.push_back({FindingId::kClientSpiAbnormal,
                        "SPI: Protocol_Catalog9 entry 000000000001 names dolvane.dll or "
                        "cannot be read"});
  }
  if (section.nameSpaceProvider != 0) {
    findings.push_back(
        {FindingId::kClientNspAbnormal, "NSP: the client's provider is not listed as active"});
  }
  std::vector<std::string> missing;
  const std::pair<const char*, const std::string*> files[] = {
      {"dolvane.dll", &section.providerVersion},
      {"tesnob.dll", &section.tesnobVersion},
      {"QuorvService.exe", &section.serviceVersion},
      {"Pexamo.exe", &section.pexamoVersion},
      {section.driverFile.c_str(), &section.driverVersion}};
  for (const auto& [name, version] : files) {
    if (version->empty()) missing.emplace_back(name);
  }
  if (!missing.empty()) {
    findings.push_back({FindingId::kClientFileMissing, "no version: " + Joined(missing)});
  }
  return OutcomeOf(std::move(findings));
}

}  // namespace diagnosis
