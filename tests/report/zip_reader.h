// Reads an archive with readers we did not write: python3's zipfile (entries, CRCs, the local
// headers against the central directory, the deflate stream against zlib's own level 9) and
// `unzip -t`. Archives written into the simulated workstation are copied to a real temporary
// file first.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/sim/workstation.h"

using DateTime = std::array<int, 6>;  // as zipfile gives it: year, month, day, h, min, s

struct Entry {
  std::string name;
  int method = 0;
  int flags = 0;
  DateTime dateTime{};
  std::uint64_t size = 0;
  std::uint32_t crc = 0;
  bool localHeaderAgrees = false;
  bool level9Stream = false;
  int extraLength = -1;
  int commentLength = -1;
  long long internalAttributes = -1;
  long long externalAttributes = -1;
  std::string contents;
};

struct Archive {
  bool readable = false;   // python3's zipfile read it and every CRC matched
  std::string error;       // what the readers said otherwise
  bool unzipOk = false;    // `unzip -t` found no error
  int commentLength = -1;  // the archive's own comment
  std::vector<Entry> entries;
};

Archive ReadArchiveBytes(const std::string& bytes);
// Many archives at once, with one run of python3's zipfile (no `unzip -t`): for a test that
// reads hundreds.
std::vector<Archive> ReadArchivesBytes(const std::vector<std::string>& archives);
Archive ReadArchive(platform::sim::Workstation& ws, const std::string& path);

// The entries' names, in archive order.
std::vector<std::string> Names(const Archive& archive);

// Where the central directory starts, from the end record of an archive without a comment
// (the end of its last entry), or 0 when there is no such record.
std::uint32_t CentralDirectoryOffset(const std::string& zip);
