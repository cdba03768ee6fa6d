#include "tests/reliability/registry_changes.h"

#include "platform/cp936.h"
#include "platform/win32_codes.h"
#include "tests/support/full_workstation.h"

namespace registry_changes {
namespace {

using platform::sim::RegValue;

std::string Folded(const char* root, const char* path, const char* name) {
  return std::string(root) + '\\' + platform::cp936::ToUpper(path) + " : " +
         platform::cp936::ToUpper(name);
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The repair's new text: the prefix before the old text, which had to be read whole (ending
// within the 260 bytes read) and leave room for the prefix in a value the check can read.
std::optional<RegValue> Prefixed(const char* prefix, const RegValue& before) {
  const std::size_t zero = before.data.find('\0');
  const bool whole = zero == std::string::npos ? before.data.size() < 260 : zero < 260;
  if (!whole || before.data.size() > 260) return std::nullopt;
  const std::string text = std::string(prefix) + before.data.substr(0, zero);
  if (text.size() + 1 > 260) return std::nullopt;
  return RegValue{REG_SZ, text + std::string(1, '\0')};
}

}  // namespace

std::vector<std::string> ListOf(const std::string& data) {
  std::vector<std::string> texts;
  std::size_t at = 0;
  while (at < data.size() && data[at] != '\0') {
    const std::size_t end = data.find('\0', at);
    texts.push_back(data.substr(at, end == std::string::npos ? std::string::npos : end - at));
    at = end == std::string::npos ? data.size() : end + 1;
  }
  return texts;
}

bool IsBinding(const std::string& key) {
  const std::string adapters = platform::cp936::ToUpper(
      "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\");
  return key.rfind(adapters, 0) == 0 && EndsWith(key, "\\LINKAGE : UPPERBIND");
}

std::optional<RegValue> Repaired(const std::string& key, const std::optional<RegValue>& before) {
  using full_workstation::kSchannel;
  using full_workstation::kUserAgent;
  const RegValue tcpipAlone{REG_MULTI_SZ, "Tcpip" + std::string(2, '\0')};
  // A binding list not there yet is made with TCP/IP alone.
  if (!before) {
    if (!IsBinding(key)) return std::nullopt;
    return tcpipAlone;
  }
  if (key == Folded("HKLM", kSchannel, "DisableRenegoOnClient")) {
    return RegValue{REG_DWORD, std::string(4, '\0')};
  }
  // The per-user values in the hive of whichever user the program followed.
  const std::string desktopUser = std::string("HKU\\") + full_workstation::kDesktopUserSid;
  for (const char* root : {"HKCU", desktopUser.c_str(), "HKLM"}) {
    if (key == Folded(root, kUserAgent, "Compatible")) return Prefixed("compatible;", *before);
    if (key == Folded(root, kUserAgent, "Version")) return Prefixed("MSIE 8.0;", *before);
  }
  if (IsBinding(key) && (before->type == REG_MULTI_SZ || before->type == REG_SZ)) {
    std::string list;
    for (const std::string& element : ListOf(before->data)) list += element + '\0';
    return RegValue{REG_MULTI_SZ, list + "Tcpip" + std::string(2, '\0')};
  }
  // A value of another type holds no list: it gives way to TCP/IP alone.
  if (IsBinding(key)) return tcpipAlone;
  return std::nullopt;
}

std::vector<std::string> Unexpected(const Snapshot& before, const Snapshot& after) {
  std::vector<std::string> found;
  Snapshot keys = before;
  keys.insert(after.begin(), after.end());
  for (const auto& [key, unused] : keys) {
    const auto was = before.find(key);
    const auto is = after.find(key);
    if (is == after.end()) {
      found.push_back(key + " removed");
      continue;
    }
    if (was == before.end()) {
      if (is->second != Repaired(key, std::nullopt)) found.push_back(key + " made");
      continue;
    }
    if (was->second == is->second) continue;
    if (is->second != Repaired(key, was->second)) {
      found.push_back(key + " overwritten with what no repair writes");
    }
  }
  return found;
}

}  // namespace registry_changes
