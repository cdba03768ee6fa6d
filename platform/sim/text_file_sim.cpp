// Text-mode reading on the simulated workstation: the C library's translation, done over the
// file seam's plain reads, block by block as the library's own buffer does.
#include "platform/text_file.h"

#include <cstring>

#include "platform/files.h"
#include "platform/win32_codes.h"

namespace platform {

struct TextFile::State {
  static constexpr std::uint32_t kBlock = 4096;
  File file;
  unsigned char raw[kBlock];
  std::uint32_t at = 0;   // next raw byte
  std::uint32_t end = 0;  // raw bytes held
  bool ended = false;     // Ctrl-Z seen, or the file read to its end

  // The next raw byte, or -1 at the end of the file.
  int Next() {
    if (at == end) {
      if (ended) return -1;
      std::uint32_t read = 0;
      if (file.Read(raw, kBlock, &read) != ERROR_SUCCESS || read == 0) {
        ended = true;
        return -1;
      }
      at = 0;
      end = read;
    }
    return raw[at++];
  }

  // Looks at the next raw byte without taking it.
  int Peek() {
    const int c = Next();
    if (c >= 0) --at;
    return c;
  }
};

bool TextFile::Open(const char* path) {
  Close();
  auto* state = new State;
  if (state->file.OpenForReading(path) != ERROR_SUCCESS) {
    delete state;
    return false;
  }
  state_ = state;
  return true;
}

std::uint32_t TextFile::Read(void* buffer, std::uint32_t size) {
  if (state_ == nullptr || buffer == nullptr) return 0;
  auto* out = static_cast<unsigned char*>(buffer);
  std::uint32_t count = 0;
  while (count < size && !state_->ended) {
    int c = state_->Next();
    if (c < 0) break;
    if (c == 0x1A) {
      state_->ended = true;
      state_->at = state_->end;
      break;
    }
    if (c == '\r' && state_->Peek() == '\n') c = state_->Next();
    out[count++] = static_cast<unsigned char>(c);
  }
  return count;
}

void TextFile::Close() {
  delete state_;
  state_ = nullptr;
}

}  // namespace platform
