// Shell commands through the real shell.
#include "platform/win32/windows_api.h"

#include <shellapi.h>

#include "platform/shell.h"

namespace platform {
namespace {

// The started process, closed on every path.
class ProcessHandle {
 public:
  explicit ProcessHandle(HANDLE handle) : handle_(handle) {}
  ~ProcessHandle() {
    if (handle_ != nullptr) CloseHandle(handle_);
  }
  ProcessHandle(const ProcessHandle&) = delete;
  ProcessHandle& operator=(const ProcessHandle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

}  // namespace

#ifndef _WIN64
// The size that the shipped 32-bit program passes.
static_assert(sizeof(SHELLEXECUTEINFOA) == 60);
#endif

int RunHiddenAndWait(const char* verb, const char* file, const char* parameters,
                     const char* directory, std::uint32_t waitMilliseconds, std::uint32_t* exitCode,
                     bool* finished) {
  if (exitCode != nullptr) *exitCode = 0xFFFFFFFFu;
  if (finished != nullptr) *finished = false;
  SHELLEXECUTEINFOA info;
  ZeroMemory(&info, sizeof(info));
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  info.hwnd = nullptr;
  info.lpVerb = verb;
  info.lpFile = file;
  info.lpParameters = parameters;
  info.lpDirectory = directory;
  info.nShow = SW_HIDE;
  ShellExecuteExA(&info);
  // Taken at once, so that the process handle is closed whatever follows.
  const ProcessHandle process(info.hProcess);
  const int instance = static_cast<int>(reinterpret_cast<INT_PTR>(info.hInstApp));
  if (instance <= 32 || process.get() == nullptr) return instance;
  static_assert(kNoTimeLimit == INFINITE);
  // A process still running after the time is not ended: whatever it holds is let go by itself.
  if (WaitForSingleObject(process.get(), waitMilliseconds) != WAIT_OBJECT_0) return instance;
  DWORD code = 0xFFFFFFFFu;
  if (!GetExitCodeProcess(process.get(), &code)) return instance;
  if (exitCode != nullptr) *exitCode = code;
  if (finished != nullptr) *finished = true;
  return instance;
}

}  // namespace platform
