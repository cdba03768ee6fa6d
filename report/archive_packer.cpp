#include "report/archive_packer.h"

#include <minizip/zip.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "platform/cp936.h"
#include "platform/prompt.h"
#include "platform/win32_codes.h"

namespace {

constexpr std::uint32_t kBlockSize = 4096;  // memory stays flat whatever a file's size
constexpr int kCompressionLevel = 9;

// minizip's archive I/O on the file seam, so that the archive is written by the same backend
// as everything else: a real file on Windows, a simulated one (which can fill up or fail to
// close) in the native tests. minizip needs a seek: it rewrites each entry's CRC and sizes in
// the local header once the entry's data is out.
struct ArchiveStream {
  platform::File file;
  long error = ERROR_SUCCESS;
};

voidpf ZCALLBACK OpenArchive(voidpf, const void* path, int mode) {
  // Only a new archive is ever asked for (APPEND_STATUS_CREATE); it is never read back.
  if (path == nullptr || (mode & ZLIB_FILEFUNC_MODE_CREATE) == 0) return nullptr;
  auto stream = std::make_unique<ArchiveStream>();
  if (stream->file.CreateForWriting(static_cast<const char*>(path)) != ERROR_SUCCESS) {
    return nullptr;
  }
  return stream.release();
}

uLong ZCALLBACK ReadArchive(voidpf, voidpf stream, void*, uLong) {
  static_cast<ArchiveStream*>(stream)->error = ERROR_ACCESS_DENIED;
  return 0;
}

uLong ZCALLBACK WriteArchive(voidpf, voidpf stream, const void* data, uLong size) {
  auto* archive = static_cast<ArchiveStream*>(stream);
  // minizip writes at most its 64 KiB buffer at once; anything larger is refused, not cut.
  if (size > UINT32_MAX) {
    archive->error = ERROR_INVALID_PARAMETER;
    return 0;
  }
  const long result = archive->file.Write(data, static_cast<std::uint32_t>(size));
  if (result != ERROR_SUCCESS) {
    archive->error = result;
    return 0;
  }
  return size;
}

ZPOS64_T ZCALLBACK TellArchive(voidpf, voidpf stream) {
  auto* archive = static_cast<ArchiveStream*>(stream);
  std::uint64_t position = 0;
  const long result = archive->file.Seek(0, platform::SeekOrigin::kCurrent, &position);
  if (result != ERROR_SUCCESS) {
    archive->error = result;
    return static_cast<ZPOS64_T>(-1);
  }
  return position;
}

long ZCALLBACK SeekArchive(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
  auto* archive = static_cast<ArchiveStream*>(stream);
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
  const long result = archive->file.Seek(static_cast<std::int64_t>(offset), from, nullptr);
  if (result != ERROR_SUCCESS) {
    archive->error = result;
    return -1;
  }
  return 0;
}

int ZCALLBACK CloseArchive(voidpf, voidpf stream) {
  std::unique_ptr<ArchiveStream> archive(static_cast<ArchiveStream*>(stream));
  // The close is where a full disk may show last: its result completes the archive or not.
  return archive->file.Close() == ERROR_SUCCESS ? 0 : -1;
}

int ZCALLBACK ArchiveError(voidpf, voidpf stream) {
  return static_cast<ArchiveStream*>(stream)->error != ERROR_SUCCESS ? 1 : 0;
}

// The part of `path` after its last backslash, or the whole path when it has none.
const char* EntryName(const char* path) { return path + platform::cp936::AfterLast(path, '\\'); }

}  // namespace

CZLib::~CZLib() {
  if (m_zipFile != nullptr) (void)Close();
}

bool CZLib::Open(const char* archivePath) {
  if (m_zipFile != nullptr) (void)Close();
  zlib_filefunc64_def io{};
  io.zopen64_file = OpenArchive;
  io.zread_file = ReadArchive;
  io.zwrite_file = WriteArchive;
  io.ztell64_file = TellArchive;
  io.zseek64_file = SeekArchive;
  io.zclose_file = CloseArchive;
  io.zerror_file = ArchiveError;
  m_zipFile = zipOpen2_64(archivePath, APPEND_STATUS_CREATE, nullptr, &io);
  return m_zipFile != nullptr;
}

int CZLib::Close() {
  if (m_zipFile == nullptr) return ZIP_PARAMERROR;
  void* handle = m_zipFile;
  m_zipFile = nullptr;
  return zipClose(handle, nullptr);
}

int CZLib::AddFile(const char* path) {
  if (m_zipFile == nullptr) return 0;
  platform::File file;
  if (const long error = file.OpenForReading(path); error != ERROR_SUCCESS) {
    char text[128];
    std::snprintf(text, sizeof text, "创建文件失败! 错误代码 [%d]\r\n", static_cast<int>(error));
    platform::ShowMessageBox(text);
    return 0;
  }

  zip_fileinfo info{};
  std::uint16_t dosDate = 0;
  std::uint16_t dosTime = 0;
  // A time without a DOS form (none found, or before 1980) leaves the date at 0.
  if (platform::ToDosDateTime(GetFileLocalWriteTime(path), &dosDate, &dosTime)) {
    info.dosDate = (static_cast<uLong>(dosDate) << 16) | dosTime;
  }

  if (zipOpenNewFileInZip(m_zipFile, EntryName(path), &info, nullptr, 0, nullptr, 0, nullptr,
                          Z_DEFLATED, kCompressionLevel) != ZIP_OK) {
    return 0;
  }

  char block[kBlockSize];
  bool readToEnd = false;
  bool blocksAccepted = true;
  for (;;) {
    std::uint32_t read = 0;
    if (file.Read(block, sizeof block, &read) != ERROR_SUCCESS) break;
    if (read == 0) {
      readToEnd = true;
      break;
    }
    // Once a block is refused the entry is lost: reading on would only waste the time.
    if (zipWriteInFileInZip(m_zipFile, block, read) != ZIP_OK) {
      blocksAccepted = false;
      break;
    }
  }
  const bool entryClosed = zipCloseFileInZip(m_zipFile) == ZIP_OK;
  const bool fileClosed = file.Close() == ERROR_SUCCESS;
  return readToEnd && blocksAccepted && entryClosed && fileClosed ? 1 : 0;
}

int PackExportFiles(const std::string& archivePath, const std::vector<std::string>& files) {
  if (archivePath.empty()) return 0;
  CZLib zip;
  if (!zip.Open(archivePath.c_str())) return 0;

  // The packed files are deleted only once the archive is closed whole: until then it is not
  // a copy of them. A path listed again is skipped, as it would be had it already been
  // deleted; paths are compared byte for byte, as the export lists the same strings each time.
  std::vector<const std::string*> packed;
  const auto alreadyPacked = [&packed](const std::string& path) {
    return std::any_of(packed.begin(), packed.end(),
                       [&path](const std::string* done) { return *done == path; });
  };
  int result = 1;
  for (const std::string& path : files) {
    if (alreadyPacked(path) || !platform::FileExists(path.c_str())) continue;
    if (zip.AddFile(path.c_str()) != 1) {
      // The archive keeps the entries before this one; this file and the rest stay.
      result = 0;
      break;
    }
    packed.push_back(&path);
  }
  if (zip.Close() != ZIP_OK) return 0;
  // A file that cannot be deleted stays for a later export; it is in this archive all the same.
  for (const std::string* path : packed) (void)platform::RemoveFile(path->c_str());
  return result;
}

platform::FileTime GetFileLocalWriteTime(const char* path) {
  platform::FileTime time;
  if (!platform::GetLocalWriteTime(path, &time)) return platform::FileTime{};
  return time;
}
