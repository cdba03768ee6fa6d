#include "tests/report/zip_reader.h"

#include <sstream>
#include <utility>

#include "tests/support/hex.h"
#include "tests/support/shell_command.h"

namespace {

// One line per entry. testzip checks every CRC first. The local header must agree with the
// central directory (minizip fills it in by seeking back), and the stored stream must be
// exactly what zlib makes of the contents at level 9 with minizip's raw-deflate settings.
constexpr char kReader[] = R"(import struct, sys, zipfile, zlib
path = sys.argv[1]
z = zipfile.ZipFile(path)
bad = z.testzip()
if bad is not None:
    print('BAD', bad)
    sys.exit(1)
raw = open(path, 'rb').read()
print(len(z.comment))
for i in z.infolist():
    data = z.read(i)
    name = i.orig_filename.encode('cp437')
    at = i.header_offset
    sig, _, _, _, _, _, crc, csize, usize, n, e = struct.unpack('<IHHHHHIIIHH', raw[at:at + 30])
    local = (sig == 0x04034b50 and crc == i.CRC and csize == i.compress_size and
             usize == i.file_size and raw[at + 30:at + 30 + n] == name)
    start = at + 30 + n + e
    deflater = zlib.compressobj(9, zlib.DEFLATED, -15, 8, 0)
    level9 = raw[start:start + i.compress_size] == deflater.compress(data) + deflater.flush()
    print(name.hex(), i.compress_type, i.flag_bits, *i.date_time, i.file_size, i.CRC,
          int(local), int(level9), len(i.extra), len(i.comment), i.internal_attr,
          i.external_attr, data.hex() or '-')
)";

}  // namespace

Archive ReadArchiveBytes(const std::string& bytes) {
  Archive archive;
  ScratchFolder folder;
  if (!folder.ok()) {
    archive.error = "mkdtemp failed";
    return archive;
  }
  const std::string zipPath = folder.Write("archive.zip", bytes);
  const std::string scriptPath = folder.Write("read.py", kReader);

  const auto [output, status] = RunShellCommand("python3 " + scriptPath + " " + zipPath);
  archive.readable = status == 0;
  if (!archive.readable) archive.error = "zipfile: " + output;
  std::istringstream lines(output);
  if (archive.readable) lines >> archive.commentLength;
  Entry entry;
  std::string nameHex;
  std::string contentsHex;
  while (archive.readable &&
         lines >> nameHex >> entry.method >> entry.flags >> entry.dateTime[0] >>
             entry.dateTime[1] >> entry.dateTime[2] >> entry.dateTime[3] >> entry.dateTime[4] >>
             entry.dateTime[5] >> entry.size >> entry.crc >> entry.localHeaderAgrees >>
             entry.level9Stream >> entry.extraLength >> entry.commentLength >>
             entry.internalAttributes >> entry.externalAttributes >> contentsHex) {
    entry.name = FromHex(nameHex);
    entry.contents = contentsHex == "-" ? std::string() : FromHex(contentsHex);
    archive.entries.push_back(entry);
  }

  // unzip calls an archive without entries empty (exit 1); it has nothing to test there.
  if (!archive.entries.empty()) {
    const auto [unzipOutput, unzipStatus] = RunShellCommand("unzip -tq " + zipPath);
    archive.unzipOk = unzipStatus == 0;
    if (!archive.unzipOk) archive.error += "unzip -t: " + unzipOutput;
  }
  return archive;
}

Archive ReadArchive(platform::sim::Workstation& ws, const std::string& path) {
  const auto bytes = ws.files().Contents(path);
  if (!bytes) {
    Archive missing;
    missing.error = "no file at " + path;
    return missing;
  }
  return ReadArchiveBytes(*bytes);
}

std::vector<std::string> Names(const Archive& archive) {
  std::vector<std::string> names;
  for (const Entry& entry : archive.entries) names.push_back(entry.name);
  return names;
}

std::uint32_t CentralDirectoryOffset(const std::string& zip) {
  if (zip.size() < 22) return 0;
  const auto byte = [&zip](std::size_t at) { return static_cast<std::uint8_t>(zip[at]); };
  const std::size_t end = zip.size() - 22;
  if (byte(end) != 0x50 || byte(end + 1) != 0x4B || byte(end + 2) != 5 || byte(end + 3) != 6) {
    return 0;
  }
  return byte(end + 16) | byte(end + 17) << 8 | byte(end + 18) << 16 |
         static_cast<std::uint32_t>(byte(end + 19)) << 24;
}
