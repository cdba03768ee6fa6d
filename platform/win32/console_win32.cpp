// The console of the real system.
#include "platform/win32/windows_api.h"

#include "platform/console.h"

#include <algorithm>

namespace platform {
namespace {

// GetStdHandle, or null when the process has no such stream.
HANDLE StreamHandle(StdStream stream) {
  const HANDLE handle =
      GetStdHandle(stream == StdStream::kOutput ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}

// Older consoles refuse long writes; a pair of surrogates is never split between two.
constexpr std::size_t kWideChunk = 8192;

}  // namespace

bool IsConsoleWindow(StdStream stream) {
  const HANDLE handle = StreamHandle(stream);
  DWORD mode = 0;
  return handle != nullptr && GetConsoleMode(handle, &mode) != FALSE;
}

unsigned ConsoleOutputCodePage() {
  const UINT codePage = GetConsoleOutputCP();
  return codePage != 0 ? codePage : GetOEMCP();
}

long WriteWide(StdStream stream, std::u16string_view text) {
  const HANDLE handle = StreamHandle(stream);
  if (handle == nullptr) return ERROR_INVALID_HANDLE;
  while (!text.empty()) {
    std::size_t chunk = std::min(text.size(), kWideChunk);
    if (chunk < text.size() && text[chunk - 1] >= 0xD800 && text[chunk - 1] <= 0xDBFF) --chunk;
    DWORD written = 0;
    if (!WriteConsoleW(handle, text.data(), static_cast<DWORD>(chunk), &written, nullptr)) {
      return static_cast<long>(GetLastError());
    }
    if (written == 0) return ERROR_WRITE_FAULT;
    text.remove_prefix(written);
  }
  return ERROR_SUCCESS;
}

long WriteBytes(StdStream stream, std::string_view bytes) {
  const HANDLE handle = StreamHandle(stream);
  if (handle == nullptr) return ERROR_INVALID_HANDLE;
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
    DWORD written = 0;
    if (!WriteFile(handle, bytes.data(), chunk, &written, nullptr)) {
      return static_cast<long>(GetLastError());
    }
    if (written == 0) return ERROR_WRITE_FAULT;
    bytes.remove_prefix(written);
  }
  return ERROR_SUCCESS;
}

}  // namespace platform
