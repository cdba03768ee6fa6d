#include "checks/user_agent_check.h"

#include <cstdint>
#include <cstring>
#include <string>

#include "checks/result_codes.h"
#include "checks/task_entry.h"
#include "platform/cp936.h"
#include "platform/prompt.h"
#include "platform/registry.h"
#include "platform/win32_codes.h"
#include "text/fixed_text.h"

namespace checks {

using namespace text;

namespace {

using platform::RegKey;
using platform::RegRoot;

constexpr char kUserAgentPath[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\5.0\\User Agent";
constexpr char kDefault[] = "default";
constexpr char kValueTooLong[] =
    "waring:The length of this value is more than 260,please check by yourself!";
constexpr char kCompatibleTooLong[] =
    "waring:The length of compatible is more than 260,please check by yourself!";
constexpr char kVersionTooLong[] =
    "waring:The length of version value is more than 260,please check by yourself!";

constexpr char kCompatible[] = "Compatible";
constexpr char kVersion[] = "Version";
constexpr char kPlatform[] = "Platform";
constexpr char kCompatibleKeyword[] = "compatible";
constexpr char kVersionKeyword[] = "MSIE";

// Reads the three values of one root into their fields.
int ReadRootValues(RegRoot root, char (&compatible)[kIETextSize], char (&version)[kIETextSize],
                   char (&platformName)[kIETextSize]) {
  RegKey key;
  const long opened = key.Open(root, kUserAgentPath, KEY_QUERY_VALUE);
  if (opened == ERROR_FILE_NOT_FOUND) {
    CopyText(compatible, kDefault);
    CopyText(version, kDefault);
    CopyText(platformName, kDefault);
    return 0;
  }
  if (opened != ERROR_SUCCESS) return -1;

  struct Field {
    const char* name;
    char (&text)[kIETextSize];
  };
  const Field fields[] = {
      {kCompatible, compatible}, {kVersion, version}, {kPlatform, platformName}};
  for (const Field& field : fields) {
    const long read = platform::ReadRegString(key, field.name, field.text, kIETextSize);
    if (read == ERROR_FILE_NOT_FOUND) {
      CopyText(field.text, kDefault);
    } else if (read == ERROR_MORE_DATA) {
      CopyText(field.text, kValueTooLong);
    } else if (read != ERROR_SUCCESS) {
      return -1;
    }
    if (field.text[0] == '\0') CopyText(field.text, kDefault);
  }
  return 0;
}

// The keyword counts only where a character starts: the trail byte of a Chinese character
// followed by the rest of the keyword is no keyword.
bool HasKeyword(const char* text, const char* keyword) {
  return platform::cp936::Contains(text, keyword);
}

bool BreaksRule(const char* text, const char* keyword) {
  return std::strcmp(text, kDefault) != 0 && !HasKeyword(text, keyword);
}

struct RepairRule {
  const char* name;
  const char* keyword;
  const char* prefix;
  const char* tooLongMessage;
};

// Rewrites one value if it lacks its keyword. Returns false when the repair must stop.
bool RepairValue(RegKey& key, const RepairRule& rule, int& result) {
  char old[kIETextSize] = {};
  const long read = platform::ReadRegString(key, rule.name, old, sizeof(old));
  if (read == ERROR_FILE_NOT_FOUND) return true;
  if (read == ERROR_MORE_DATA) {
    platform::ShowMessageBox(rule.tooLongMessage);
    return false;
  }
  if (read != ERROR_SUCCESS) return false;
  if (old[0] == '\0' || HasKeyword(old, rule.keyword)) return true;

  const std::string updated = std::string(rule.prefix) + old;
  // A value that the prefix takes past what the check can read would be judged too long ever
  // after: it is left as it is, and said to be too long, as one already too long would be.
  if (updated.size() + 1 > kIETextSize) {
    platform::ShowMessageBox(rule.tooLongMessage);
    return false;
  }
  const auto size = static_cast<std::uint32_t>(updated.size() + 1);
  if (key.SetValue(rule.name, REG_SZ, updated.c_str(), size) != ERROR_SUCCESS) {
    result = RESULT_ABNORMAL;  // a failed write does not stop the others
  }
  return true;
}

// Repairs Compatible and then Version under one root. Returns false when the repair must
// stop; a root whose key is absent has nothing to repair.
bool RepairRoot(RegRoot root, const RepairRule (&rules)[2], int& result) {
  RegKey key;
  const long opened = key.Open(root, kUserAgentPath, KEY_READ | KEY_SET_VALUE);
  if (opened == ERROR_FILE_NOT_FOUND) return true;
  if (opened != ERROR_SUCCESS) return false;
  for (const RepairRule& rule : rules) {
    if (!RepairValue(key, rule, result)) return false;
  }
  return true;
}

}  // namespace

int ReadUserAgentValues(IEInfo& info) {
  if (ReadRootValues(RegRoot::kCurrentUser, info.szUserCompatible, info.szUserVersion,
                     info.szUserPlatform) != 0) {
    return -1;
  }
  return ReadRootValues(RegRoot::kLocalMachine, info.szMachineCompatible, info.szMachineVersion,
                        info.szMachinePlatform);
}

int CheckUserAgent() {
  IEInfo info;
  if (ReadUserAgentValues(info) == -1) return RESULT_FAILED;
  const struct {
    const char* text;
    const char* keyword;
  } checked[] = {
      {info.szUserCompatible, kCompatibleKeyword},
      {info.szUserVersion, kVersionKeyword},
      {info.szMachineCompatible, kCompatibleKeyword},
      {info.szMachineVersion, kVersionKeyword},
  };
  int result = RESULT_NORMAL;
  for (const auto& field : checked) {
    if (BreaksRule(field.text, field.keyword)) result = RESULT_ABNORMAL;
  }
  return result;
}

int FixUserAgent() {
  static constexpr RepairRule kUserRules[2] = {
      {kCompatible, kCompatibleKeyword, "compatible;", kCompatibleTooLong},
      {kVersion, kVersionKeyword, "MSIE 8.0;", kVersionTooLong},
  };
  static constexpr RepairRule kMachineRules[2] = {
      {kCompatible, kCompatibleKeyword, "compatible;", kCompatibleTooLong},
      {kVersion, kVersionKeyword, "MSIE 8.0;", kValueTooLong},
  };
  int result = RESULT_NORMAL;
  if (!RepairRoot(RegRoot::kCurrentUser, kUserRules, result)) return RESULT_FAILED;
  if (!RepairRoot(RegRoot::kLocalMachine, kMachineRules, result)) return RESULT_FAILED;
  return result;
}

int CheckIEUserAgent() { return RunAndTrace(CheckUserAgent, "CheckIEUserAgent\r\n"); }

int FixIEUserAgent() { return RunAndTrace(FixUserAgent, "FixIEUserAgent\r\n"); }

bool CompatibleBreaksRule(const char* value) { return BreaksRule(value, kCompatibleKeyword); }

bool VersionBreaksRule(const char* value) { return BreaksRule(value, kVersionKeyword); }

}  // namespace checks
