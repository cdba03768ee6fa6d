#include "report/archive_packer.h"

#include <minizip/unzip.h>
#include <minizip/zip.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <utility>

#include "platform/prompt.h"
#include "platform/win32_codes.h"

namespace report {

namespace {

constexpr std::uint32_t kBlockSize = 4096;  // memory stays flat whatever a file's size
constexpr int kCompressionLevel = 9;

}  // namespace

// minizip's file I/O on the file seam, so that the archive is written and read back by the
// same backend as everything else: a real file on Windows, a simulated one (which can fill up,
// lose data or fail to close) in the native tests. The file is opened by the packer, and
// handed to minizip in place of a path. minizip seeks: it rewrites each entry's CRC and sizes
// in the local header once the entry's data is out.
struct ArchiveStream {
  platform::File* file = nullptr;
  bool writing = false;
  long error = ERROR_SUCCESS;  // the first failure, which minizip itself does not keep

  void Note(long result) {
    if (error == ERROR_SUCCESS) error = result;
  }
};

namespace {

using Stream = ArchiveStream;

voidpf ZCALLBACK OpenStream(voidpf, const void* stream, int) { return const_cast<void*>(stream); }

uLong ZCALLBACK ReadStream(voidpf, voidpf opaque, void* data, uLong size) {
  auto* stream = static_cast<Stream*>(opaque);
  std::uint32_t read = 0;
  // minizip reads at most its own small buffers at once.
  if (size > UINT32_MAX) return 0;
  if (const long result = stream->file->Read(data, static_cast<std::uint32_t>(size), &read)) {
    stream->Note(result);
    return 0;
  }
  return read;
}

uLong ZCALLBACK WriteStream(voidpf, voidpf opaque, const void* data, uLong size) {
  auto* stream = static_cast<Stream*>(opaque);
  // minizip writes at most its 64 KiB buffer at once; anything larger is refused, not cut.
  if (size > UINT32_MAX) {
    stream->Note(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (const long result = stream->file->Write(data, static_cast<std::uint32_t>(size))) {
    stream->Note(result);
    return 0;
  }
  return size;
}

ZPOS64_T ZCALLBACK TellStream(voidpf, voidpf opaque) {
  auto* stream = static_cast<Stream*>(opaque);
  std::uint64_t position = 0;
  if (const long result = stream->file->Seek(0, platform::SeekOrigin::kCurrent, &position)) {
    stream->Note(result);
    return static_cast<ZPOS64_T>(-1);
  }
  return position;
}

long ZCALLBACK SeekStream(voidpf, voidpf opaque, ZPOS64_T offset, int origin) {
  auto* stream = static_cast<Stream*>(opaque);
  platform::SeekOrigin from;
  switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET:
      from = platform::SeekOrigin::kBegin;
      break;
    case ZLIB_FILEFUNC_SEEK_CUR:
      from = platform::SeekOrigin::kCurrent;
      break;
    case ZLIB_FILEFUNC_SEEK_END:
      from = platform::SeekOrigin::kEnd;
      break;
    default:
      return -1;
  }
  if (const long result = stream->file->Seek(static_cast<std::int64_t>(offset), from, nullptr)) {
    stream->Note(result);
    return -1;
  }
  return 0;
}

// The archive's last word: what was written must reach the disk, and a full disk or a share
// that went away may only say so now.
int ZCALLBACK CloseStream(voidpf, voidpf opaque) {
  auto* stream = static_cast<Stream*>(opaque);
  if (!stream->file->IsOpen()) return 0;
  if (stream->writing && stream->error == ERROR_SUCCESS) stream->Note(stream->file->Flush());
  stream->Note(stream->file->Close());
  return stream->error == ERROR_SUCCESS ? 0 : -1;
}

int ZCALLBACK StreamError(voidpf, voidpf opaque) {
  return static_cast<Stream*>(opaque)->error != ERROR_SUCCESS ? 1 : 0;
}

zlib_filefunc64_def StreamFunctions() {
  zlib_filefunc64_def io{};
  io.zopen64_file = OpenStream;
  io.zread_file = ReadStream;
  io.zwrite_file = WriteStream;
  io.ztell64_file = TellStream;
  io.zseek64_file = SeekStream;
  io.zclose_file = CloseStream;
  io.zerror_file = StreamError;
  return io;
}

// The new archive while it is not at the target: a file beside the target, on the same
// volume, so that the move is a rename. It is removed on every way out unless it took the
// target's place.
class ArchiveBeside {
 public:
  explicit ArchiveBeside(const std::string& target) : target_(target) {}
  ~ArchiveBeside() { Discard(); }
  ArchiveBeside(const ArchiveBeside&) = delete;
  ArchiveBeside& operator=(const ArchiveBeside&) = delete;

  // A new, empty file under a name of its own, open for writing in `file`.
  long Create(platform::File& file) {
    Discard();
    return file.CreateUnique(target_ + '~', &path_);
  }
  // The file must be closed first.
  void Discard() {
    if (!path_.empty()) (void)platform::RemoveFile(path_.c_str());
    path_.clear();
  }
  long TakeTargetsPlace(TargetPolicy policy) {
    const long result =
        platform::MoveFileTo(path_.c_str(), target_.c_str(), policy == TargetPolicy::kReplace);
    if (result == ERROR_SUCCESS) path_.clear();
    if (result != ERROR_ACCESS_DENIED) return result;
    // Windows refuses to replace a file that another program has open as it refuses a
    // read-only one: the file's own open tells which, so that the user hears the reason.
    platform::File probe;
    return probe.OpenForReading(target_.c_str()) == ERROR_SHARING_VIOLATION
               ? ERROR_SHARING_VIOLATION
               : result;
  }
  const std::string& path() const { return path_; }

 private:
  const std::string target_;
  std::string path_;
};

using Pending = std::vector<const ExportFile*>;

// How one attempt at writing the archive ended.
enum class Attempt {
  kWritten,  // complete, with every file of `pending`
  kAgain,    // a file failed after its entry was begun: it is out of `pending`, start afresh
  kFailed,   // the archive itself failed: result->error says why
};

Attempt WriteArchive(ArchiveBeside& archive, Pending& pending, PackOutcome* result) {
  platform::File file;
  if (const long created = archive.Create(file)) {
    result->error = created;
    return Attempt::kFailed;
  }
  ArchiveWriter zip;
  if (!zip.Open(file)) {
    result->error = zip.ArchiveError();
    return Attempt::kFailed;
  }
  for (auto it = pending.begin(); it != pending.end();) {
    const ExportFile& entry = **it;
    switch (zip.AddFile(entry.path.c_str(), entry.entryName.c_str())) {
      case AddResult::kAdded:
        ++it;
        break;
      case AddResult::kNotOpened:
        result->unpacked.push_back(UnpackedFile{entry.entryName, zip.SourceError()});
        it = pending.erase(it);
        break;
      case AddResult::kNotRead:
        // minizip cannot take back an entry it has begun: this archive holds a part of the
        // file, so it is written again without it.
        result->unpacked.push_back(UnpackedFile{entry.entryName, zip.SourceError()});
        pending.erase(it);
        (void)zip.Close();
        return Attempt::kAgain;
      case AddResult::kArchiveFailed:
        (void)zip.Close();
        result->error = zip.ArchiveError();
        return Attempt::kFailed;
    }
  }
  if (zip.Close() != ZIP_OK) {
    result->error = zip.ArchiveError();
    return Attempt::kFailed;
  }
  return Attempt::kWritten;
}

// Reads the archive back through minizip's reader: the central directory, each entry's local
// header, name and data, and each CRC, against what was packed (at least one file: minizip's
// reader takes an archive without entries for no archive). ERROR_SUCCESS, with the entries as
// read in *entries, when all agree; otherwise the Windows code of reading it, or
// ERROR_INVALID_DATA when it read back wrong.
long ReadBack(const std::string& path, const Pending& packed, std::vector<ArchiveEntry>* entries) {
  platform::File file;
  if (const long opened = file.OpenForReading(path.c_str())) return opened;
  ArchiveStream stream;
  stream.file = &file;
  zlib_filefunc64_def io = StreamFunctions();
  unzFile zip = unzOpen2_64(&stream, &io);
  bool agrees = zip != nullptr;
  unz_global_info64 global{};
  agrees =
      agrees && unzGetGlobalInfo64(zip, &global) == UNZ_OK && global.number_entry == packed.size();
  for (std::size_t i = 0; agrees && i < packed.size(); ++i) {
    agrees = (i == 0 ? unzGoToFirstFile(zip) : unzGoToNextFile(zip)) == UNZ_OK;
    char name[256] = {};
    unz_file_info64 info{};
    agrees =
        agrees &&
        unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) == UNZ_OK &&
        packed[i]->entryName == name && unzOpenCurrentFile(zip) == UNZ_OK;
    if (!agrees) break;
    char block[kBlockSize];
    int read = 0;
    while ((read = unzReadCurrentFile(zip, block, sizeof block)) > 0) {
    }
    // The CRC is compared when the entry is closed after its last byte.
    const bool closed = unzCloseCurrentFile(zip) == UNZ_OK;
    agrees = read == 0 && closed;
    entries->push_back(
        ArchiveEntry{name, info.uncompressed_size, static_cast<std::uint32_t>(info.crc)});
  }
  if (agrees) agrees = unzGoToNextFile(zip) == UNZ_END_OF_LIST_OF_FILE;
  if (zip != nullptr) unzClose(zip);
  if (stream.error != ERROR_SUCCESS) return stream.error;
  return agrees ? ERROR_SUCCESS : ERROR_INVALID_DATA;
}

// Deletes the packed files; one that cannot be deleted is in the archive all the same.
void DeletePacked(const Pending& packed) {
  for (const ExportFile* file : packed) (void)platform::RemoveFile(file->path.c_str());
}

}  // namespace

ArchiveWriter::ArchiveWriter() : stream_(std::make_unique<ArchiveStream>()) {}

ArchiveWriter::~ArchiveWriter() {
  if (zipFile_ != nullptr) (void)Close();
}

bool ArchiveWriter::Open(platform::File& file) {
  if (zipFile_ != nullptr) (void)Close();
  *stream_ = ArchiveStream{};
  stream_->file = &file;
  stream_->writing = true;
  zlib_filefunc64_def io = StreamFunctions();
  zipFile_ = zipOpen2_64(stream_.get(), APPEND_STATUS_CREATE, nullptr, &io);
  return zipFile_ != nullptr;
}

int ArchiveWriter::Close() {
  if (zipFile_ == nullptr) return ZIP_PARAMERROR;
  void* handle = zipFile_;
  zipFile_ = nullptr;
  return zipClose(handle, nullptr);
}

long ArchiveWriter::ArchiveError() const { return stream_->error; }

AddResult ArchiveWriter::AddFile(const char* path, const char* entryName) {
  if (zipFile_ == nullptr) return AddResult::kArchiveFailed;
  platform::File file;
  // Read beside a command that may still be writing the file (one that outlived its wait): what
  // it wrote so far goes into the archive rather than nothing.
  if (const long error = file.OpenSharedForReading(path); error != ERROR_SUCCESS) {
    sourceError_ = error;
    char text[128];
    std::snprintf(text, sizeof text, "创建文件失败! 错误代码 [%d]\r\n", static_cast<int>(error));
    platform::ShowMessageBox(text);
    return AddResult::kNotOpened;
  }

  zip_fileinfo info{};
  std::uint16_t dosDate = 0;
  std::uint16_t dosTime = 0;
  // A time without a DOS form (none found, or before 1980) leaves the date at 0.
  if (platform::ToDosDateTime(GetFileLocalWriteTime(path), &dosDate, &dosTime)) {
    info.dosDate = (static_cast<uLong>(dosDate) << 16) | dosTime;
  }

  if (zipOpenNewFileInZip(zipFile_, entryName, &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                          kCompressionLevel) != ZIP_OK) {
    return AddResult::kArchiveFailed;
  }

  char block[kBlockSize];
  long readError = ERROR_SUCCESS;
  bool blocksAccepted = true;
  for (;;) {
    std::uint32_t read = 0;
    readError = file.Read(block, sizeof block, &read);
    if (readError != ERROR_SUCCESS || read == 0) break;
    // Once a block is refused the archive is lost: reading on would only waste the time.
    if (zipWriteInFileInZip(zipFile_, block, read) != ZIP_OK) {
      blocksAccepted = false;
      break;
    }
  }
  const bool entryClosed = zipCloseFileInZip(zipFile_) == ZIP_OK;
  const long fileClosed = file.Close();
  if (!blocksAccepted || !entryClosed) return AddResult::kArchiveFailed;
  if (readError == ERROR_SUCCESS) readError = fileClosed;
  if (readError != ERROR_SUCCESS) {
    sourceError_ = readError;
    return AddResult::kNotRead;
  }
  return AddResult::kAdded;
}

int PackExportFiles(const std::string& archivePath, const std::vector<ExportFile>& files,
                    PackOutcome* outcome, TargetPolicy policy, RunClaim* claim) {
  PackOutcome result;
  result.finished = true;
  // A path listed again is skipped, as it would be had it already been deleted; paths are
  // compared byte for byte, as the export lists the same strings each time.
  Pending pending;
  for (const ExportFile& file : files) {
    const bool listed = std::any_of(pending.begin(), pending.end(),
                                    [&file](const ExportFile* p) { return p->path == file.path; });
    // A file that cannot be looked at is tried all the same: opening it tells why it fails.
    if (!listed && !platform::IsNotThere(platform::LookUpPath(file.path.c_str()))) {
      pending.push_back(&file);
    }
  }

  ArchiveBeside archive(archivePath);
  bool complete = false;
  if (archivePath.empty()) {
    result.error = ERROR_PATH_NOT_FOUND;
  } else if (pending.empty()) {
    // None of the files is there: an empty archive would only take the place of the user's.
    result.error = ERROR_FILE_NOT_FOUND;
  } else {
    // Each new attempt has one file fewer.
    Attempt attempt = Attempt::kAgain;
    while (attempt == Attempt::kAgain) attempt = WriteArchive(archive, pending, &result);
    // Nor does an archive that lost every file it was to hold.
    complete = attempt == Attempt::kWritten && !pending.empty();
  }
  std::vector<ArchiveEntry> entries;
  if (complete) {
    result.error = ReadBack(archive.path(), pending, &entries);
    complete = result.error == ERROR_SUCCESS;
  }

  // What is at the target changes only together with what the run says about it.
  const auto conclude = [&] {
    if (complete) {
      const long moved = archive.TakeTargetsPlace(policy);
      result.placed = moved == ERROR_SUCCESS;
      result.error = moved;
      if (result.placed) result.entries = std::move(entries);
    }
    if (outcome != nullptr) *outcome = result;
  };
  bool claimed = true;
  if (claim != nullptr) {
    claimed = claim->RunWhileHeld(conclude);
  } else {
    conclude();
  }
  if (!claimed || !result.placed) return 0;
  DeletePacked(pending);
  return result.unpacked.empty() ? 1 : 0;
}

platform::FileTime GetFileLocalWriteTime(const char* path) {
  platform::FileTime time;
  if (!platform::GetLocalWriteTime(path, &time)) return platform::FileTime{};
  return time;
}

}  // namespace report
