#include "platform/thread.h"

namespace platform {

WorkerThread& WorkerThread::operator=(WorkerThread&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = other.handle_;
    other.handle_ = nullptr;
  }
  return *this;
}

}  // namespace platform
