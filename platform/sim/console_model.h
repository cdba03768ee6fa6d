// The simulated console: where the standard streams go, the console's output code page, and
// what was written to each stream.
#pragma once

#include <mutex>
#include <string>
#include <string_view>

#include "platform/console.h"

namespace platform::sim {

class Console {
 public:
  // The stream is a console window (written with WriteConsoleW) rather than a file or a pipe.
  // Neither stream is, by default.
  Console& SetConsoleWindow(StdStream stream, bool window);
  // The console's output code page; 936 by default, as on a Chinese system.
  Console& SetOutputCodePage(unsigned codePage);
  // Writes to the stream fail with `code` (0: they succeed again).
  Console& FailWrites(StdStream stream, long code);

  // What reached the stream: the bytes written to it as a file or pipe, and the characters
  // written to it as a console window.
  std::string Bytes(StdStream stream) const;
  std::u16string Characters(StdStream stream) const;

  // The backend's side.
  bool IsWindow(StdStream stream) const;
  unsigned OutputCodePage() const;
  long Write(StdStream stream, std::string_view bytes);
  long WriteCharacters(StdStream stream, std::u16string_view text);

 private:
  struct Stream {
    bool window = false;
    long failure = 0;
    std::string bytes;
    std::u16string characters;
  };
  Stream& Of(StdStream stream) { return stream == StdStream::kOutput ? output_ : error_; }
  const Stream& Of(StdStream stream) const {
    return stream == StdStream::kOutput ? output_ : error_;
  }

  mutable std::mutex mutex_;
  Stream output_;
  Stream error_;
  unsigned codePage_ = 936;
};

}  // namespace platform::sim
