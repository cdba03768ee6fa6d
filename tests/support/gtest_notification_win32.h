// GoogleTest's own Notification needs std::mutex, which the win32 thread model of Debian's
// MinGW lacks; this one stands in for it, on a Win32 event. Force-included in the Windows
// build of GoogleTest and of the tests.
#pragma once

#include "../../platform/win32/windows_api.h"

namespace testing::internal {

class Notification {
 public:
  Notification() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
  ~Notification() {
    if (event_ != nullptr) CloseHandle(event_);
  }
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;

  void Notify() { SetEvent(event_); }
  void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

 private:
  HANDLE event_;
};

}  // namespace testing::internal
