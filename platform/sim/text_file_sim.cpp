// Text-mode reading on the simulated workstation: the C library's translation, done over the
// file seam's plain reads, block by block as the library's own buffer does.
#include "platform/text_file.h"

#include <algorithm>
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

  // The next raw byte, left to be taken, or -1 at the end of the input. Reads the next block
  // when the one held is used up.
  int Peek() {
    if (at == end) {
      std::uint32_t read = 0;
      if (ended || file.Read(raw, kBlock, &read) != ERROR_SUCCESS || read == 0) {
        ended = true;
        return -1;
      }
      at = 0;
      end = read;
    }
    return raw[at];
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
  State& in = *state_;
  auto* out = static_cast<unsigned char*>(buffer);
  std::uint32_t count = 0;
  while (count < size && in.Peek() >= 0) {
    // Plain bytes up to the next CR or Ctrl-Z go over as they are, in one copy.
    const std::uint32_t room = std::min(in.end - in.at, size - count);
    const unsigned char* from = in.raw + in.at;
    const void* cr = std::memchr(from, '\r', room);
    const unsigned char* stop = cr != nullptr ? static_cast<const unsigned char*>(cr) : from + room;
    if (const void* eof = std::memchr(from, 0x1A, static_cast<std::size_t>(stop - from))) {
      stop = static_cast<const unsigned char*>(eof);
    }
    const auto plain = static_cast<std::uint32_t>(stop - from);
    std::memcpy(out + count, from, plain);
    count += plain;
    in.at += plain;
    if (plain == room) continue;
    if (*stop == 0x1A) {
      in.ended = true;
      in.at = in.end;
      break;
    }
    // A CR: with the LF after it, the pair comes out as LF; alone, it stays.
    ++in.at;
    const bool pair = in.Peek() == '\n';
    if (pair) ++in.at;
    out[count++] = pair ? '\n' : '\r';
  }
  return count;
}

void TextFile::Close() {
  delete state_;
  state_ = nullptr;
}

}  // namespace platform
