// The simulated file system: files by path (compared without regard to ASCII case) with their
// bytes and last-write times, the temporary folder, and injected faults. Folders exist as the
// temporary folder, as the parents of files and as folders made on purpose; a file or folder
// can be made anywhere but under a folder declared missing.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_status.h"
#include "platform/files.h"

namespace platform::sim {

// File calls that can be told to fail.
enum class FileCall {
  kCreate,
  kOpen,
  kWrite,
  kRead,
  kClose,
  kRemove,
  kTempFolder,
  kSeek,
  // Replacing a file in one step, and folders.
  kFlush,
  kMove,
  kCreateFolder,
  kRemoveFolder,
  kList,
};

class Files {
 public:
  Files();
  ~Files();
  Files(const Files&) = delete;
  Files& operator=(const Files&) = delete;

  // Building.
  Files& SetTempFolder(std::string_view folder);  // with its trailing backslash
  // The current folder, with its trailing backslash; "C:\Users\tester\" by default. A relative
  // path is made full by putting it behind this, as it stands: nothing else is resolved.
  Files& SetCurrentFolder(std::string_view folder);
  // A file with `bytes` and, as a FILETIME in UTC, `lastWrite` (local time = UTC here).
  Files& AddFile(std::string_view path, std::string_view bytes, FileTime lastWrite = {});
  // The next `times` calls of `call` (every one when times < 0) on `path` (any when empty;
  // every path that begins with the rest when it ends in '*') fail with `code`. A write fault
  // lets `afterBytes` bytes of the file be written first, as a disk that fills up halfway;
  // with the code ERROR_SUCCESS the write then reports success all the same, as a disk that
  // loses what it was given. A move fault applies to the path moved from.
  Files& Fail(FileCall call, long code, std::string_view path = {}, int times = -1,
              std::uint32_t afterBytes = 0);
  // A file's creation and last-access times (UTC; zero for a time the file system does not
  // hold) and its attribute bits (FILE_ATTRIBUTE_ARCHIVE alone until set).
  Files& SetTimes(std::string_view path, FileTime creation, FileTime lastAccess);
  Files& SetAttributes(std::string_view path, std::uint32_t attributes);
  // A folder made on purpose (empty until something is put in it).
  Files& AddFolder(std::string_view path);
  // The folder and everything under it is gone: nothing can be made in it (a drive that is
  // gone, a share out of reach).
  Files& MissingFolder(std::string_view path);
  // Another program holds the file open for writing, sharing reading only (as a command still
  // writing its output does): until Release, the program can read it only sharing writing, and
  // every other open, removal or move of it is refused. A file that does not exist is made empty
  // first.
  Files& Hold(std::string_view path);
  // Another program holds the file open sharing nothing: every open, removal or move is refused.
  Files& HoldExclusively(std::string_view path);
  // A shell's ">>" redirection of a command still running has the file open: it appends and
  // shares reading and writing, so others may read it and append to it too, but not remove it.
  Files& HoldAppending(std::string_view path);
  Files& Release(std::string_view path);

  // Inspecting.
  std::optional<std::string> Contents(std::string_view path) const;
  std::vector<std::string> Paths() const;    // every file, in path order
  std::vector<std::string> Folders() const;  // folders made on purpose, in path order
  int OpenFileCount() const;                 // handles not yet closed

  // The path a handle is open on, for the call log; whether it was opened for writing.
  std::string PathOf(void* handle) const;
  bool IsWriting(void* handle) const;

  // The backend's side.
  std::uint32_t TempFolder(char* buffer, std::uint32_t size, long* error = nullptr);
  long FullPath(const char* path, std::string* full) const;
  long Create(const char* path, void** handle);
  long CreateNew(const char* path, void** handle);
  long Flush(void* handle);
  long CreateFolder(const char* path);
  long RemoveFolder(const char* path);
  long List(const std::string& folder, std::vector<FolderEntry>* entries);
  long Move(const char* from, const char* to, bool replaceExisting);
  std::uint32_t NextUniqueStart();
  long Open(const char* path, void** handle);
  long OpenShared(const char* path, void** handle);
  long OpenForAppending(const char* path, void** handle);
  long Write(void* handle, const void* data, std::uint32_t size);
  long Read(void* handle, void* data, std::uint32_t size, std::uint32_t* read);
  long Seek(void* handle, std::int64_t offset, SeekOrigin from, std::uint64_t* position);
  long Close(void* handle);
  bool Exists(const char* path) const;
  // ERROR_SUCCESS for a file or folder that exists; ERROR_PATH_NOT_FOUND under a missing folder;
  // ERROR_FILE_NOT_FOUND otherwise.
  long LookUp(const char* path) const;
  long Remove(const char* path);
  bool WriteTime(const char* path, FileTime* time) const;
  bool Status(const char* path, FileStatus* status) const;
  // Appends to a file as a shell redirection (">>") would, creating it when missing; nothing
  // when its folder is missing or it is open without sharing writing.
  void Append(std::string_view path, std::string_view bytes);

 private:
  struct Mode;
  struct Entry;
  struct Handle;
  struct Fault;
  Fault* FindFault(FileCall call, std::string_view folded);
  void Consume(Fault* fault);
  long TakeFault(FileCall call, std::string_view folded);
  long OpenHandle(const std::string& key, const Mode& mode, void** handle);
  long OpenExisting(const char* path, const Mode& mode, void** handle);
  long CreateLocked(const char* path, bool replace, void** handle);
  bool InMissingFolder(const std::string& folded) const;
  bool FolderExists(const std::string& folded) const;
  bool HasContents(const std::string& folded) const;

  mutable std::mutex mutex_;
  std::string tempFolder_;
  std::string currentFolder_ = "C:\\Users\\tester\\";
  std::map<std::string, Entry> files_;          // by folded path
  std::map<std::string, std::string> folders_;  // made on purpose: folded path to spelling
  std::vector<std::string> missingFolders_;     // folded
  std::uint32_t nextUnique_ = 1;
  std::vector<Fault> faults_;
  int openFiles_ = 0;
};

}  // namespace platform::sim
