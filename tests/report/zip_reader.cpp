#include "tests/report/zip_reader.h"

#include <algorithm>
#include <sstream>
#include <utility>

#include "tests/support/hex.h"
#include "tests/support/shell_command.h"

namespace {

// For each archive named on the command line, a line "ARCHIVE OK comment-length" or "ARCHIVE
// BAD why", then one line per entry. testzip checks every CRC first. The local header must agree
// with the central directory (minizip fills it in by seeking back), and the stored stream must be
// exactly what zlib makes of the contents at level 9 with minizip's raw-deflate settings.
constexpr char kReader[] = R"(import struct, sys, zipfile, zlib
def read(path):
    z = zipfile.ZipFile(path)
    bad = z.testzip()
    if bad is not None:
        raise ValueError('bad CRC in ' + bad)
    raw = open(path, 'rb').read()
    lines = []
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
        lines.append(' '.join(str(x) for x in (
            name.hex(), i.compress_type, i.flag_bits, *i.date_time, i.file_size, i.CRC,
            int(local), int(level9), len(i.extra), len(i.comment), i.internal_attr,
            i.external_attr, data.hex() or '-')))
    return len(z.comment), lines
for path in sys.argv[1:]:
    try:
        comment, lines = read(path)
    except Exception as error:
        print('ARCHIVE BAD', repr(error).replace('\n', ' '))
        continue
    print('ARCHIVE OK', comment, len(lines))
    for line in lines:
        print(line)
)";

}  // namespace

namespace {

// One python3 run for a batch of archives.
std::vector<Archive> ReadBatch(const std::vector<std::string>& archives) {
  std::vector<Archive> read(archives.size());
  ScratchFolder folder;
  if (!folder.ok()) {
    for (Archive& archive : read) archive.error = "mkdtemp failed";
    return read;
  }
  std::string command = "python3 " + folder.Write("read.py", kReader);
  for (std::size_t i = 0; i < archives.size(); ++i) {
    command += " " + folder.Write("archive" + std::to_string(i) + ".zip", archives[i]);
  }

  const auto [output, status] = RunShellCommand(command);
  std::istringstream lines(output);
  std::string line;
  std::size_t at = 0;
  while (at < read.size() && std::getline(lines, line)) {
    Archive& archive = read[at++];
    std::istringstream header(line);
    std::string mark;
    std::string verdict;
    header >> mark >> verdict;
    if (mark != "ARCHIVE" || verdict != "OK") {
      archive.error = "zipfile: " + line;
      continue;
    }
    std::size_t count = 0;
    header >> archive.commentLength >> count;
    archive.readable = true;
    for (std::size_t i = 0; i < count && std::getline(lines, line); ++i) {
      std::istringstream fields(line);
      Entry entry;
      std::string nameHex;
      std::string contentsHex;
      fields >> nameHex >> entry.method >> entry.flags >> entry.dateTime[0] >> entry.dateTime[1] >>
          entry.dateTime[2] >> entry.dateTime[3] >> entry.dateTime[4] >> entry.dateTime[5] >>
          entry.size >> entry.crc >> entry.localHeaderAgrees >> entry.level9Stream >>
          entry.extraLength >> entry.commentLength >> entry.internalAttributes >>
          entry.externalAttributes >> contentsHex;
      entry.name = FromHex(nameHex);
      entry.contents = contentsHex == "-" ? std::string() : FromHex(contentsHex);
      archive.entries.push_back(entry);
    }
  }
  for (; at < read.size(); ++at)
    read[at].error = "zipfile: " + output + " (exit " + std::to_string(status) + ")";
  return read;
}

}  // namespace

std::vector<Archive> ReadArchivesBytes(const std::vector<std::string>& archives) {
  // The shell takes its command as one argument, which Linux caps at 128 KiB: the archives'
  // paths go in batches well under it.
  constexpr std::size_t kBatch = 1000;
  std::vector<Archive> read;
  for (std::size_t first = 0; first < archives.size(); first += kBatch) {
    const std::size_t last = std::min(archives.size(), first + kBatch);
    const std::vector<Archive> batch =
        ReadBatch(std::vector<std::string>(archives.begin() + first, archives.begin() + last));
    read.insert(read.end(), batch.begin(), batch.end());
  }
  return read;
}

Archive ReadArchiveBytes(const std::string& bytes) {
  Archive archive = ReadArchivesBytes({bytes}).front();
  // unzip calls an archive without entries empty (exit 1); it has nothing to test there.
  if (archive.readable && !archive.entries.empty()) {
    ScratchFolder folder;
    if (!folder.ok()) {
      archive.error += "mkdtemp failed";
      return archive;
    }
    const std::string zipPath = folder.Write("archive.zip", bytes);
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
