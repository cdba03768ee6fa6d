#include "tests/report/zip_reader.h"

#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <sstream>

namespace {

std::string FromHex(const std::string& hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  }
  return bytes;
}

// One line per entry: name, method, DOS date-time, contents; names and contents in hex. testzip
// checks every entry's CRC first.
constexpr char kScript[] =
    "import sys, zipfile\n"
    "z = zipfile.ZipFile(sys.argv[1])\n"
    "bad = z.testzip()\n"
    "if bad is not None: print('BAD', bad); sys.exit(1)\n"
    "for i in z.infolist():\n"
    "  y, mo, d, h, mi, s = i.date_time\n"
    "  dos = ((y - 1980) << 25) | (mo << 21) | (d << 16) | (h << 11) | (mi << 5) | (s // 2)\n"
    "  name = i.orig_filename.encode('cp437') if i.flag_bits & 0x800 == 0 else "
    "i.filename.encode()\n"
    "  print(name.hex(), i.compress_type, dos, z.read(i).hex() or '-')\n";

}  // namespace

ZipContents ReadZip(platform::sim::Workstation& ws, const std::string& path) {
  ZipContents zip;
  const auto bytes = ws.files().Contents(path);
  if (!bytes) {
    zip.error = "no archive at " + path;
    return zip;
  }
  char name[] = "/tmp/vantik-zip-XXXXXX";
  const int fd = mkstemp(name);
  if (fd < 0) {
    zip.error = "cannot make a temporary file";
    return zip;
  }
  const bool written =
      write(fd, bytes->data(), bytes->size()) == static_cast<ssize_t>(bytes->size());
  close(fd);
  std::string output;
  if (written) {
    const std::string command = "python3 -c \"$VANTIK_ZIP_SCRIPT\" " + std::string(name) + " 2>&1";
    setenv("VANTIK_ZIP_SCRIPT", kScript, 1);
    if (FILE* pipe = popen(command.c_str(), "r")) {
      char buffer[4096];
      size_t got = 0;
      while ((got = fread(buffer, 1, sizeof(buffer), pipe)) > 0) output.append(buffer, got);
      zip.ok = pclose(pipe) == 0;
    }
  }
  unlink(name);
  if (!zip.ok) {
    zip.error = "python3 zipfile: " + output;
    return zip;
  }
  std::istringstream lines(output);
  std::string nameHex;
  int method = 0;
  long long dos = 0;
  std::string contentHex;
  while (lines >> nameHex >> method >> dos >> contentHex) {
    zip.names.push_back(FromHex(nameHex));
    zip.methods.push_back(method);
    zip.dosDates.push_back(static_cast<int>(dos));
    zip.contents.push_back(contentHex == "-" ? std::string() : FromHex(contentHex));
  }
  return zip;
}
