// The backend-independent half of the identity seam.
#include "platform/identity.h"

namespace platform {

ProcessToken& ProcessToken::operator=(ProcessToken&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = other.handle_;
    other.handle_ = nullptr;
  }
  return *this;
}

}  // namespace platform
