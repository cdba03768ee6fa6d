// The backend-independent half of the processes seam.
#include "platform/processes.h"

namespace platform {

Process& Process::operator=(Process&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = other.handle_;
    other.handle_ = nullptr;
  }
  return *this;
}

}  // namespace platform
