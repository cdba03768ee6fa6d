// Reads an archive that the program wrote into the simulated workstation with a reader we did
// not write (python3's zipfile): the bytes go to a real temporary file first.
#pragma once

#include <string>
#include <vector>

#include "platform/sim/workstation.h"

struct ZipContents {
  bool ok = false;
  std::string error;
  std::vector<std::string> names;     // in archive order
  std::vector<std::string> contents;  // the entries' bytes, CRC-checked by the reader
  std::vector<int> methods;           // compression method of each entry (8: deflate)
  std::vector<int> dosDates;          // the entries' dates and times, DOS form: date << 16 | time
};

ZipContents ReadZip(platform::sim::Workstation& ws, const std::string& path);
