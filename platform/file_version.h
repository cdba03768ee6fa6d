// File version resources (version.dll, loaded at run time from the system folder). A missing
// DLL or function fails the call that needs it.
#pragma once

#include <cstdint>

namespace platform {

// GetFileVersionInfoSizeA: the room in bytes that the file's version resource needs; 0 when the
// file has none or cannot be read.
std::uint32_t GetVersionResourceSize(const char* path);

// GetFileVersionInfoA(path, 0, size, buffer): the version resource into `buffer`, of which it
// writes at most `size` bytes. Give it the size GetVersionResourceSize reported: a smaller
// buffer gets a cut resource that the query below may not find its way through.
bool ReadVersionResource(const char* path, std::uint32_t size, void* buffer);

// The file version of the fixed file information (VS_FIXEDFILEINFO): the most and least
// significant halves, each two 16-bit numbers, high word first.
struct FixedFileVersion {
  std::uint32_t mostSignificant = 0;
  std::uint32_t leastSignificant = 0;
};

// VerQueryValueA(resource, "\\"): the fixed file information of a resource that
// ReadVersionResource read whole. False, with *version untouched, when it has none.
bool QueryFixedFileVersion(const void* resource, FixedFileVersion* version);

}  // namespace platform
