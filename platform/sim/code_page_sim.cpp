// Code page conversion on the simulated workstation, a Chinese one (ANSI code page 936), by the
// C library's iconv: code page N is its "CPN", 65001 its "UTF-8".
#include "platform/code_page.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <string>

#include "platform/sim/call_log_model.h"
#include "platform/win32_codes.h"

namespace platform {
namespace {

std::string IconvName(unsigned codePage) {
  return codePage == kCodePageUtf8 ? "UTF-8" : "CP" + std::to_string(codePage);
}

// Records the conversion; true when it is to fail. A code page other than UTF-8 may be missing
// from the system (936 on a Western one without East Asian support); UTF-8 is always there.
bool ConversionFails(const char* name, unsigned codePage) {
  return sim::EnterCall(name, std::to_string(codePage),
                        codePage == kCodePageUtf8 ? 0 : ERROR_INVALID_PARAMETER) != 0;
}

// One iconv descriptor, closed with the object.
class Converter {
 public:
  Converter(const std::string& to, const std::string& from)
      : cd_(iconv_open(to.c_str(), from.c_str())) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts `in` whole; a sequence that cannot be converted skips `badUnit` bytes of the
  // input and puts `replacement` into the output instead.
  std::string Run(std::string_view in, std::size_t badUnit, std::string_view replacement) {
    std::string out;
    char buffer[256];
    char* from = const_cast<char*>(in.data());
    std::size_t left = in.size();
    while (left > 0) {
      char* to = buffer;
      std::size_t room = sizeof buffer;
      const std::size_t result = iconv(cd_, &from, &left, &to, &room);
      out.append(buffer, static_cast<std::size_t>(to - buffer));
      if (result != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
      // EILSEQ or EINVAL (a sequence cut short at the end).
      const std::size_t skip = std::min(badUnit, left);
      from += skip;
      left -= skip;
      out.append(replacement);
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
  }

 private:
  iconv_t cd_;
};

}  // namespace

unsigned AnsiCodePage() { return kCodePageGbk; }

std::u16string ToUtf16(std::string_view text, unsigned codePage) {
  if (text.empty() || ConversionFails("MultiByteToWideChar", codePage)) return {};
  Converter converter("UTF-16LE", IconvName(codePage));
  if (!converter.ok()) return {};
  // U+FFFD, little-endian.
  const std::string bytes = converter.Run(text, 1, std::string_view("\xFD\xFF", 2));
  std::u16string wide;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                         (static_cast<unsigned char>(bytes[i + 1]) << 8)));
  }
  return wide;
}

std::string FromUtf16(std::u16string_view text, unsigned codePage) {
  if (text.empty() || ConversionFails("WideCharToMultiByte", codePage)) return {};
  Converter converter(IconvName(codePage), "UTF-16LE");
  if (!converter.ok()) return {};
  std::string bytes;
  for (const char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return converter.Run(bytes, 2, "?");
}

}  // namespace platform
