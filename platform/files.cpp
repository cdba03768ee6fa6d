// The backend-independent half of file access.
#include "platform/files.h"

namespace platform {

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    if (handle_ != nullptr) (void)Close();
    handle_ = other.handle_;
    other.handle_ = nullptr;
  }
  return *this;
}

}  // namespace platform
