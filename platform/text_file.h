// Reading a file in text mode, as the C library does for fopen(path, "r") and fread.
#pragma once

#include <cstdint>

namespace platform {

// A file open for reading in text mode. Its bytes come out as stored except that each CR LF
// pair comes out as LF alone (a lone CR stays), and a Ctrl-Z byte (0x1A) ends the input: what
// follows it is never delivered. Zero bytes are delivered like any other. Move-only; the
// destructor closes it (fclose).
class TextFile {
 public:
  TextFile() = default;
  ~TextFile() { Close(); }
  TextFile(TextFile&& other) noexcept : state_(other.state_) { other.state_ = nullptr; }
  TextFile& operator=(TextFile&& other) noexcept {
    if (this != &other) {
      Close();
      state_ = other.state_;
      other.state_ = nullptr;
    }
    return *this;
  }
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;

  // fopen(path, "r"). False, holding nothing, when the file cannot be opened. Closes any file
  // held before.
  bool Open(const char* path);

  // fread(buffer, 1, size): up to `size` bytes of the translated text. Fewer only at the end of
  // the input (or when reading fails); 0 once there is nothing more.
  std::uint32_t Read(void* buffer, std::uint32_t size);

  bool IsOpen() const { return state_ != nullptr; }
  void Close();

 private:
  struct State;  // the backend's open file
  State* state_ = nullptr;
};

}  // namespace platform
