// What every handle owner of the seam shares: one backend handle, moved and never copied, and
// the one held before closed when another is moved in. Each owner names its own Close() and
// calls it from its destructor, as a base's destructor cannot reach it.
#pragma once

#include <utility>

namespace platform {

template <typename Owner>
class OwnedHandle {
 public:
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;

 protected:
  OwnedHandle() = default;
  ~OwnedHandle() = default;
  OwnedHandle(OwnedHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  OwnedHandle& operator=(OwnedHandle&& other) noexcept {
    if (this != &other) {
      if (handle_ != nullptr) (void)static_cast<Owner*>(this)->Close();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }

  void* handle_ = nullptr;  // the backend's handle; null when nothing is held
};

}  // namespace platform
