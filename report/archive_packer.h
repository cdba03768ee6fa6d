// The export's last step: the listed files packed into one zip archive, then deleted.
#pragma once

#include <string>
#include <vector>

#include "platform/files.h"

// One open archive of minizip, written through the file seam. Not copyable; the destructor
// closes an archive still open.
class CZLib {
 public:
  CZLib() = default;
  ~CZLib();
  CZLib(const CZLib&) = delete;
  CZLib& operator=(const CZLib&) = delete;

  // zipOpen(path, APPEND_STATUS_CREATE): a new, empty archive, replacing a file of that name.
  // False when minizip gives no handle.
  bool Open(const char* archivePath);

  // Adds one file as an entry deflated at level 9, named after the last backslash of `path`
  // and dated from its local last-write time. 1 when the whole file went in, 0 otherwise; a
  // file that cannot be opened is reported in a message box.
  int AddFile(const char* path);

  // zipClose with no comment: ZIP_OK (0) when the archive was completed, minizip's error
  // otherwise (also when none is open). The handle is gone either way.
  int Close();

  bool IsOpen() const { return m_zipFile != nullptr; }

 private:
  void* m_zipFile = nullptr;  // minizip's zipFile
};

// Packs the files of `files` that exist into a new archive at `archivePath`, in list order,
// and deletes them once the archive has been closed whole. 1 when every existing file went
// into a completed archive, 0 otherwise.
int PackExportFiles(const std::string& archivePath, const std::vector<std::string>& files);

// The file's last-write time as local time; a zero time when it cannot be found.
platform::FileTime GetFileLocalWriteTime(const char* path);
