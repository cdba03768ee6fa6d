// Text-mode reading on the real system: the C runtime's own (msvcrt).
#include "platform/win32/windows_api.h"

#include <cstdio>

#include "platform/text_file.h"

namespace platform {

struct TextFile::State {
  std::FILE* file;
};

bool TextFile::Open(const char* path) {
  Close();
  std::FILE* file = std::fopen(path, "r");
  if (file == nullptr) return false;
  state_ = new State{file};
  return true;
}

std::uint32_t TextFile::Read(void* buffer, std::uint32_t size) {
  if (state_ == nullptr) return 0;
  return static_cast<std::uint32_t>(std::fread(buffer, 1, size, state_->file));
}

void TextFile::Close() {
  if (state_ == nullptr) return;
  std::fclose(state_->file);
  delete state_;
  state_ = nullptr;
}

}  // namespace platform
