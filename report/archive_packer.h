// The export's last step: the listed files packed into one zip archive, which takes the place
// of the file the user chose only once it has been written whole and read back; then the
// files are deleted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/files.h"
#include "report/run_claim.h"

namespace report {

// One file to pack, and the name of its entry. The name is given, not cut from the path: a
// folder's name in another code page must not leak into it.
struct ExportFile {
  std::string path;
  std::string entryName;
};

// A listed file that exists but did not go into the archive, with the Windows code of opening
// or reading it.
struct UnpackedFile {
  std::string name;
  long error = 0;

  bool operator==(const UnpackedFile&) const = default;
};

// One entry of the archive as it was read back.
struct ArchiveEntry {
  std::string name;
  std::uint64_t size = 0;  // uncompressed, in bytes
  std::uint32_t crc32 = 0;

  bool operator==(const ArchiveEntry&) const = default;
};

// What packing did to the target.
struct PackOutcome {
  bool finished = false;  // the packer came to its end: the fields below say how it ended
  bool placed = false;    // the new archive is at the target
  // Why not: the Windows code (ERROR_INVALID_DATA when it read back wrong, ERROR_FILE_NOT_FOUND
  // when none of the files was there, ERROR_ALREADY_EXISTS when a file it was to keep is at
  // the target), or 0 when every file it was to hold was left out.
  long error = 0;
  std::vector<UnpackedFile> unpacked;  // listed files that exist and are not in the archive
  std::vector<ArchiveEntry> entries;   // what the archive at the target holds, once placed
};

// Whether the new archive may take the place of a file already at the target.
enum class TargetPolicy {
  kReplace,  // the user has agreed to replace it (the Save As dialog asked)
  kKeep,     // a file at the target stays: the archive is not placed
};

// The archive is written beside the target under the target's name followed by '~' and unique
// digits, which must fit an ANSI path as well: the longest target, in characters, that leaves
// room for it.
inline constexpr std::size_t kLongestArchivePath =
    platform::kLongestPath - 1 - platform::kUniqueDigits;

// How adding one file ended.
enum class AddResult {
  kAdded,          // the whole file is in the archive
  kNotOpened,      // the file could not be opened (told in a message box); nothing was written
  kNotRead,        // reading failed after its entry was begun: the archive holds a part of it
  kArchiveFailed,  // the archive's own file failed (or none is open)
};

struct ArchiveStream;  // the archive's file as minizip reaches it

// Writes one zip archive (with minizip) through the file seam. Not copyable; the destructor
// closes an archive still open.
class ArchiveWriter {
 public:
  ArchiveWriter();
  ~ArchiveWriter();
  ArchiveWriter(const ArchiveWriter&) = delete;
  ArchiveWriter& operator=(const ArchiveWriter&) = delete;

  // A new archive written into `file`, open for writing and empty; the archive's close
  // flushes and closes it. False when minizip gives no handle.
  bool Open(platform::File& file);

  // Adds one file as an entry named `entryName`, deflated at level 9 and dated from the file's
  // local last-write time.
  AddResult AddFile(const char* path, const char* entryName);

  // The Windows code of the last file that AddFile could not open or read.
  long SourceError() const { return sourceError_; }

  // zipClose with no comment, then the file flushed and closed: ZIP_OK (0) when the archive
  // was completed, minizip's error otherwise (also when none is open). The handle is gone
  // either way.
  int Close();

  // The first Windows code that the archive's file gave, or 0.
  long ArchiveError() const;

  bool IsOpen() const { return zipFile_ != nullptr; }

 private:
  std::unique_ptr<ArchiveStream> stream_;
  void* zipFile_ = nullptr;  // minizip's zipFile
  long sourceError_ = 0;
};

// Packs the files of `files` that exist, each path once and in list order, into a new archive
// beside `archivePath`, reads it back, and only then moves it over `archivePath` in one step
// (with TargetPolicy::kKeep, only to where no file is: one that is there, even one that came
// meanwhile, is kept); once it is there the packed files are deleted. A file that cannot be opened
// or read is left out (the archive holds the rest); an archive that cannot be written or read back
// whole never takes the target's place, which is then left as it was, byte for byte. The same holds
// when no file was there to pack, or every one was left out: an archive of nothing replaces
// nothing. The move and the filling of *outcome (when given) happen together while holding the
// run's `claim` (when given): a run ended meanwhile leaves both untouched. 1 when every existing
// file is in the archive at the target, 0 otherwise.
int PackExportFiles(const std::string& archivePath, const std::vector<ExportFile>& files,
                    PackOutcome* outcome = nullptr, TargetPolicy policy = TargetPolicy::kReplace,
                    RunClaim* claim = nullptr);

// The file's last-write time as local time; a zero time when it cannot be found.
platform::FileTime GetFileLocalWriteTime(const char* path);

}  // namespace report
