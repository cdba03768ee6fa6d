#include "tests/reliability/sweep_workstation.h"

#include <algorithm>
#include <utility>

#include "platform/win32_codes.h"
#include "report/os_kind.h"
#include "report/run_folder.h"
#include "tests/report/export_fixture.h"
#include "tests/support/full_workstation.h"

using namespace report;
using namespace tasks;

namespace sweep {

using platform::RegRoot;

void Prepare(platform::sim::Workstation& ws, std::size_t failAt, Aftermath& out) {
  ForgetOSKindForTest();
  full_workstation::SeedElevatedByAnother(ws);
  // The client's service stopped and disabled, its adapter disabled: the diagnosis's repairs
  // have work to do. The diagnosis's other rows find nothing.
  ws.services().Add("QuorvService", SERVICE_STOPPED, SERVICE_DISABLED);
  ws.devices().SetProblem(0, CM_PROB_DISABLED);
  ws.files().AddFile(full_workstation::kHostsFile, "127.0.0.1 localhost\n");
  ws.files().SetTempFolder(kTemp).AddFile(kTarget, kOlderArchive);
  ws.shell().SetHandler(export_test::EchoCommands);
  out.registryBefore = ws.registry().Contents();
  if (failAt != 0) ws.calls().FailCall(failAt);
}

void Collect(platform::sim::Workstation& ws, Aftermath& out) {
  out.calls = ws.calls().Calls();
  out.faultMade = ws.calls().FailedCallMade();
  out.registryAfter = ws.registry().Contents();
  out.target = ws.files().Contents(kTarget);
  out.leftInTemp = export_test::LeftUnder(ws.files(), kTemp);
  // The packer writes beside its archive under the archive's name, '~' and digits.
  for (std::string& path : export_test::LeftUnder(ws.files(), kOutFolder)) {
    if (path.find(".zip~") != std::string::npos) out.besideTarget.push_back(std::move(path));
  }
  const std::pair<const char*, int> handles[] = {
      {"files", ws.files().OpenFileCount()},
      {"registry keys", ws.registry().OpenKeyCount()},
      {"processes", ws.processes().OpenHandleCount()},
      {"services", ws.services().OpenHandleCount()},
      {"device sets", ws.devices().OpenSetCount()},
      {"tokens", ws.identity().OpenTokenCount()},
  };
  for (const auto& [kind, count] : handles) {
    if (count != 0) out.openHandles.push_back(std::string(kind) + " " + std::to_string(count));
  }
  // What a later export clears of this one's leftovers.
  RemoveLeftoverRuns(kTemp);
  out.leftAfterCleaning = export_test::LeftUnder(ws.files(), kTemp);
  ForgetOSKindForTest();
}

namespace {

std::vector<int> ItemTruthIn(platform::sim::Workstation& ws, RegRoot userRoot,
                             const std::string& userHive) {
  platform::sim::Registry& registry = ws.registry();
  using full_workstation::kSchannel;
  using full_workstation::kUserAgent;
  std::vector<int> truth;
  // Absent, or four zero bytes (shorter data zero-extended) within the 32 bytes read.
  const auto renego = registry.Value(RegRoot::kLocalMachine, kSchannel, "DisableRenegoOnClient");
  bool normal = true;
  if (renego) {
    std::string bytes = renego->data;
    normal = !bytes.empty() && bytes.size() <= 32;
    bytes.resize(4, '\0');
    normal = normal && bytes == std::string(4, '\0');
  }
  truth.push_back(normal ? 0 : 1);
  // Each Compatible and Version value absent, empty, or holding its keyword.
  normal = true;
  for (const auto& [root, hive] :
       {std::pair{userRoot, userHive}, std::pair{RegRoot::kLocalMachine, std::string()}}) {
    for (const auto& [name, keyword] :
         {std::pair{"Compatible", "compatible"}, std::pair{"Version", "MSIE"}}) {
      const auto value = registry.Value(root, hive + kUserAgent, name);
      if (!value) continue;
      const std::string text = value->data.substr(0, value->data.find('\0'));
      if (value->data.size() > 260 || (!text.empty() && text.find(keyword) == std::string::npos)) {
        normal = false;
      }
    }
  }
  truth.push_back(normal ? 0 : 1);
  // The diagnosis's rows: the client's service runs and may start; its adapter works. The other
  // six rows are normal as Prepare leaves the workstation, and nothing on the road changes what
  // they read.
  truth.push_back(ws.services().StateOf("QuorvService") == SERVICE_RUNNING &&
                          ws.services().StartTypeOf("QuorvService") != SERVICE_DISABLED
                      ? 0
                      : 1);
  truth.push_back(ws.devices().At(0).problem == 0 ? 0 : 1);
  truth.insert(truth.end(), 6, 0);
  if (userRoot == RegRoot::kCurrentUser) {
    // The program's own account, the administrator who started it, followed when a fault hid
    // the desktop's user: the client's files are not in its application data, and its hive
    // has no Internet Settings to judge a proxy by.
    truth[4] = 1;
    truth[6] = -1;
  }
  return truth;
}

}  // namespace

ItemTruths ItemTruth(platform::sim::Workstation& ws) {
  return {ItemTruthIn(ws, RegRoot::kUsers, std::string(full_workstation::kDesktopUserSid) + "\\"),
          ItemTruthIn(ws, RegRoot::kCurrentUser, "")};
}

std::vector<std::string> DesktopUserCallsMissing(
    const std::vector<platform::sim::PlatformCall>& calls) {
  const std::string sid = full_workstation::kDesktopUserSid;
  const std::pair<const char*, std::string> wanted[] = {
      {"GetShellWindow", ""},
      {"OpenProcessToken", "1956"},
      {"GetTokenInformation", "TokenUser"},
      {"RegOpenKeyExA", "HKU\\" + sid},
      {"LookupAccountSidA", sid},
      {"RegOpenKeyExA",
       "HKU\\" + sid + "\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings"},
      {"SHGetFolderPathA", "26 as " + sid},
  };
  std::vector<std::string> missing;
  for (const auto& [name, detail] : wanted) {
    const bool made = std::any_of(calls.begin(), calls.end(), [&](const auto& call) {
      return std::string(call.name) == name && call.detail == detail;
    });
    if (!made) missing.push_back(std::string(name) + "(" + detail + ")");
  }
  return missing;
}

bool FollowedDesktopUser(const platform::sim::CallLog& calls, std::size_t first) {
  const std::string inHive = std::string("HKU\\") + full_workstation::kDesktopUserSid + "\\";
  const std::vector<platform::sim::PlatformCall> made = calls.CallsFrom(first);
  return std::any_of(made.begin(), made.end(), [&](const platform::sim::PlatformCall& call) {
    return std::string(call.name) == "RegOpenKeyExA" && call.detail.rfind(inHive, 0) == 0;
  });
}

}  // namespace sweep
