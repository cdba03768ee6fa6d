#include "checks/renego_check.h"

#include <cstdint>

#include "checks/result_codes.h"
#include "checks/task_entry.h"
#include "platform/registry.h"
#include "platform/win32_codes.h"

namespace checks {

namespace {

constexpr char kSchannelPath[] = "System\\CurrentControlSet\\Control\\SecurityProviders\\SCHANNEL";
constexpr char kRenegoValue[] = "DisableRenegoOnClient";
constexpr std::uint32_t kReadSize = 32;

enum class RenegoState { kAbsent, kZero, kNonZero, kUnreadable };

// Reads the value without asking for its type: the first four bytes of a cleared 32-byte
// buffer, little-endian, so shorter data reads as zero-extended.
RenegoState ReadRenegoState(const platform::RegKey& key) {
  unsigned char data[kReadSize] = {};
  std::uint32_t size = kReadSize;
  const long status = key.QueryValue(kRenegoValue, nullptr, data, &size);
  if (status == ERROR_FILE_NOT_FOUND) return RenegoState::kAbsent;
  if (status != ERROR_SUCCESS || size == 0) return RenegoState::kUnreadable;
  const std::uint32_t number =
      data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<std::uint32_t>(data[3]) << 24);
  return number == 0 ? RenegoState::kZero : RenegoState::kNonZero;
}

}  // namespace

int CheckRenegoSetting() {
  platform::RegKey key;
  if (key.Open(platform::RegRoot::kLocalMachine, kSchannelPath, KEY_READ) != ERROR_SUCCESS) {
    return RESULT_FAILED;
  }
  switch (ReadRenegoState(key)) {
    case RenegoState::kAbsent:
    case RenegoState::kZero:
      return RESULT_NORMAL;
    case RenegoState::kNonZero:
    case RenegoState::kUnreadable:
      break;
  }
  return RESULT_ABNORMAL;
}

int FixRenegoSetting() {
  platform::RegKey key;
  if (key.Open(platform::RegRoot::kLocalMachine, kSchannelPath, KEY_READ | KEY_SET_VALUE) !=
      ERROR_SUCCESS) {
    return RESULT_FAILED;
  }
  switch (ReadRenegoState(key)) {
    case RenegoState::kAbsent:  // neither the value nor the key is created
    case RenegoState::kZero:
      return RESULT_NORMAL;
    case RenegoState::kUnreadable:
      return RESULT_ABNORMAL;
    case RenegoState::kNonZero:
      break;
  }
  const unsigned char zero[4] = {0, 0, 0, 0};
  return key.SetValue(kRenegoValue, REG_DWORD, zero, sizeof(zero)) == ERROR_SUCCESS
             ? RESULT_NORMAL
             : RESULT_ABNORMAL;
}

int CheckKB977377() { return RunAndTrace(CheckRenegoSetting, "CheckKB977377\r\n"); }

int FixKB977377() { return RunAndTrace(FixRenegoSetting, "FixKB977377\r\n"); }

}  // namespace checks
