#include "platform/sim/files_model.h"

#include <time.h>

#include <algorithm>
#include <cstring>

#include "platform/cp936.h"
#include "platform/win32_codes.h"

namespace platform::sim {
namespace {

// FILETIME counts from 1601; the POSIX clock from 1970.
constexpr std::uint64_t kUnixEpochAsFileTime = 116444736000000000ull;

// The host's clock as a FILETIME: files that the program writes get the time of the write, as
// on Windows.
FileTime Now() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  const std::uint64_t ticks = kUnixEpochAsFileTime +
                              static_cast<std::uint64_t>(now.tv_sec) * 10000000ull +
                              static_cast<std::uint64_t>(now.tv_nsec) / 100;
  return FileTime{static_cast<std::uint32_t>(ticks), static_cast<std::uint32_t>(ticks >> 32)};
}

std::string_view PathOrEmpty(const char* path) { return path != nullptr ? path : ""; }

// The folded path without a final backslash that ends it as a separator (not as the trail byte
// of a double-byte character).
std::string FoldFolder(std::string_view path) {
  std::string folded = cp936::ToUpper(path);
  if (!folded.empty() && cp936::AfterLast(folded, '\\') == folded.size()) folded.pop_back();
  return folded;
}

// The folder a folded path is in, or "" for a path without one.
std::string ParentOf(const std::string& folded) {
  const std::size_t after = cp936::AfterLast(folded, '\\');
  return after == 0 ? std::string() : folded.substr(0, after - 1);
}

// Whether `folded` lies within the folded folder `folder`, and what follows it there.
bool Within(const std::string& folded, const std::string& folder, std::string* rest) {
  if (folded.size() <= folder.size() + 1 || folded.compare(0, folder.size(), folder) != 0 ||
      folded[folder.size()] != '\\') {
    return false;
  }
  *rest = folded.substr(folder.size() + 1);
  return true;
}

}  // namespace

// How a file is open: what for, and what others may do with it meanwhile. None shares deletion.
struct Files::Mode {
  bool read;
  bool write;
  bool shareRead;
  bool shareWrite;

  // The program's opens, and the other programs' that tests play.
  static const Mode kWriter;        // CreateForWriting, CreateNew
  static const Mode kReader;        // OpenForReading
  static const Mode kSharedReader;  // OpenSharedForReading
  static const Mode kAppender;      // OpenForAppending, and a shell's ">>"
  static const Mode kHolder;        // Hold: a command writing its output
  static const Mode kExclusive;     // HoldExclusively

  bool operator==(const Mode&) const = default;
  // Windows lets a second open stand beside the first only when each shares what the other
  // asks for.
  bool Admits(const Mode& other) const {
    return (!other.read || shareRead) && (!other.write || shareWrite) &&
           (!read || other.shareRead) && (!write || other.shareWrite);
  }
};

const Files::Mode Files::Mode::kWriter{false, true, true, false};
const Files::Mode Files::Mode::kReader{true, false, false, false};
const Files::Mode Files::Mode::kSharedReader{true, false, true, true};
const Files::Mode Files::Mode::kAppender{false, true, true, true};
const Files::Mode Files::Mode::kHolder{false, true, true, false};
const Files::Mode Files::Mode::kExclusive{true, true, false, false};

struct Files::Entry {
  std::string path;  // as first created
  std::string bytes;
  FileTime lastWrite;
  std::vector<Mode> opened;  // the program's handles on it
  FileTime creation;
  FileTime lastAccess;
  std::uint32_t attributes = kAttributeArchive;
  std::optional<Mode> holder;  // another program that has it open

  bool IsOpen() const { return !opened.empty() || holder.has_value(); }
  bool Admits(const Mode& mode) const {
    for (const Mode& open : opened) {
      if (!open.Admits(mode)) return false;
    }
    return !holder || holder->Admits(mode);
  }
};

struct Files::Handle {
  std::string key;  // the folded path
  Mode mode;
  std::size_t position = 0;
};

struct Files::Fault {
  FileCall call;
  long code;
  std::string path;  // folded; empty for any
  int times;
  std::uint32_t afterBytes;
};

Files::Files() : tempFolder_("C:\\Users\\tester\\AppData\\Local\\Temp\\") {}

Files::~Files() = default;

Files& Files::SetTempFolder(std::string_view folder) {
  std::lock_guard lock(mutex_);
  tempFolder_ = folder;
  return *this;
}

Files& Files::SetCurrentFolder(std::string_view folder) {
  std::lock_guard lock(mutex_);
  currentFolder_ = folder;
  return *this;
}

long Files::FullPath(const char* path, std::string* full) const {
  const std::string_view given = path != nullptr ? path : "";
  if (given.empty()) return ERROR_INVALID_NAME;
  const bool absolute =
      (given.size() >= 3 && given[1] == ':' && given[2] == '\\') || given.substr(0, 2) == "\\\\";
  std::lock_guard lock(mutex_);
  *full = absolute ? std::string(given) : currentFolder_ + std::string(given);
  return ERROR_SUCCESS;
}

Files& Files::AddFile(std::string_view path, std::string_view bytes, FileTime lastWrite) {
  std::lock_guard lock(mutex_);
  Entry& entry = files_[cp936::ToUpper(path)];
  if (entry.path.empty()) entry.path = path;
  entry.bytes = bytes;
  entry.lastWrite = lastWrite;
  return *this;
}

Files& Files::Fail(FileCall call, long code, std::string_view path, int times,
                   std::uint32_t afterBytes) {
  std::lock_guard lock(mutex_);
  faults_.push_back(Fault{call, code, cp936::ToUpper(path), times, afterBytes});
  return *this;
}

Files& Files::SetTimes(std::string_view path, FileTime creation, FileTime lastAccess) {
  std::lock_guard lock(mutex_);
  Entry& entry = files_.at(cp936::ToUpper(path));
  entry.creation = creation;
  entry.lastAccess = lastAccess;
  return *this;
}

Files& Files::SetAttributes(std::string_view path, std::uint32_t attributes) {
  std::lock_guard lock(mutex_);
  files_.at(cp936::ToUpper(path)).attributes = attributes;
  return *this;
}

std::optional<std::string> Files::Contents(std::string_view path) const {
  std::lock_guard lock(mutex_);
  auto it = files_.find(cp936::ToUpper(path));
  if (it == files_.end()) return std::nullopt;
  return it->second.bytes;
}

std::vector<std::string> Files::Paths() const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> paths;
  for (const auto& [key, entry] : files_) paths.push_back(entry.path);
  return paths;
}

std::string Files::PathOf(void* handle) const {
  if (handle == nullptr) return "(no file)";
  std::lock_guard lock(mutex_);
  const auto it = files_.find(static_cast<const Handle*>(handle)->key);
  return it != files_.end() ? it->second.path : static_cast<const Handle*>(handle)->key;
}

bool Files::IsWriting(void* handle) const {
  return handle != nullptr && static_cast<const Handle*>(handle)->mode.write;
}

int Files::OpenFileCount() const {
  std::lock_guard lock(mutex_);
  return openFiles_;
}

Files::Fault* Files::FindFault(FileCall call, std::string_view folded) {
  for (Fault& fault : faults_) {
    if (fault.call != call) continue;
    const std::string_view path = fault.path;
    const bool matches = path.empty() || path == folded ||
                         (path.back() == '*' &&
                          folded.substr(0, path.size() - 1) == path.substr(0, path.size() - 1));
    if (matches) return &fault;
  }
  return nullptr;
}

void Files::Consume(Fault* fault) {
  if (fault->times > 0 && --fault->times == 0) {
    faults_.erase(faults_.begin() + (fault - faults_.data()));
  }
}

long Files::TakeFault(FileCall call, std::string_view folded) {
  Fault* fault = FindFault(call, folded);
  if (fault == nullptr) return ERROR_SUCCESS;
  const long code = fault->code;
  Consume(fault);
  return code;
}

std::uint32_t Files::TempFolder(char* buffer, std::uint32_t size, long* error) {
  std::lock_guard lock(mutex_);
  if (const long fault = TakeFault(FileCall::kTempFolder, {}); fault != ERROR_SUCCESS) {
    if (error != nullptr) *error = fault;
    return 0;
  }
  const auto length = static_cast<std::uint32_t>(tempFolder_.size());
  if (buffer == nullptr || size <= length) return length + 1;
  std::memcpy(buffer, tempFolder_.c_str(), length + 1);
  return length;
}

long Files::OpenHandle(const std::string& key, const Mode& mode, void** handle) {
  Entry& entry = files_.at(key);
  if (!entry.Admits(mode)) return ERROR_SHARING_VIOLATION;
  entry.opened.push_back(mode);
  ++openFiles_;
  *handle = new Handle{key, mode};
  return ERROR_SUCCESS;
}

long Files::Create(const char* path, void** handle) {
  std::lock_guard lock(mutex_);
  return CreateLocked(path, true, handle);
}

long Files::CreateNew(const char* path, void** handle) {
  std::lock_guard lock(mutex_);
  return CreateLocked(path, false, handle);
}

long Files::CreateLocked(const char* path, bool replace, void** handle) {
  if (path == nullptr || *path == '\0') return ERROR_PATH_NOT_FOUND;
  std::string key = cp936::ToUpper(path);
  if (const long fault = TakeFault(FileCall::kCreate, key)) return fault;
  if (InMissingFolder(key)) return ERROR_PATH_NOT_FOUND;
  if (FolderExists(key)) return ERROR_ACCESS_DENIED;  // a folder of that name
  auto it = files_.find(key);
  if (it != files_.end()) {
    if (!replace) return ERROR_FILE_EXISTS;
    if (!it->second.Admits(Mode::kWriter)) return ERROR_SHARING_VIOLATION;
  }
  Entry& entry = files_[key];
  if (entry.path.empty()) entry.path = path;
  entry.bytes.clear();
  entry.lastWrite = Now();
  return OpenHandle(key, Mode::kWriter, handle);
}

long Files::Open(const char* path, void** handle) {
  return OpenExisting(path, Mode::kReader, handle);
}

long Files::OpenShared(const char* path, void** handle) {
  return OpenExisting(path, Mode::kSharedReader, handle);
}

long Files::OpenForAppending(const char* path, void** handle) {
  return OpenExisting(path, Mode::kAppender, handle);
}

long Files::OpenExisting(const char* path, const Mode& mode, void** handle) {
  std::lock_guard lock(mutex_);
  if (path == nullptr || *path == '\0') return ERROR_PATH_NOT_FOUND;
  const std::string key = cp936::ToUpper(path);
  if (const long fault = TakeFault(FileCall::kOpen, key)) return fault;
  auto it = files_.find(key);
  if (it == files_.end()) return InMissingFolder(key) ? ERROR_PATH_NOT_FOUND : ERROR_FILE_NOT_FOUND;
  return OpenHandle(key, mode, handle);
}

long Files::Write(void* handle, const void* data, std::uint32_t size) {
  std::lock_guard lock(mutex_);
  if (handle == nullptr) return ERROR_INVALID_HANDLE;
  auto* h = static_cast<Handle*>(handle);
  if (!h->mode.write) return ERROR_ACCESS_DENIED;
  if (data == nullptr && size > 0) return ERROR_INVALID_PARAMETER;
  Entry& entry = files_.at(h->key);
  // Appending writes at the end as it is now, whatever others wrote meanwhile.
  if (h->mode == Mode::kAppender) h->position = entry.bytes.size();
  std::uint32_t allowed = size;
  long code = ERROR_SUCCESS;
  if (Fault* fault = FindFault(FileCall::kWrite, h->key)) {
    // A write that stays within the bytes let through succeeds and leaves the fault armed.
    const std::uint32_t room = fault->afterBytes > h->position
                                   ? fault->afterBytes - static_cast<std::uint32_t>(h->position)
                                   : 0;
    if (size > room) {
      allowed = room;
      code = fault->code;
      Consume(fault);
    }
  }
  if (allowed > 0) {
    if (entry.bytes.size() < h->position + allowed) entry.bytes.resize(h->position + allowed);
    std::memcpy(entry.bytes.data() + h->position, data, allowed);
    h->position += allowed;
    entry.lastWrite = Now();
  }
  return code;
}

long Files::Read(void* handle, void* data, std::uint32_t size, std::uint32_t* read) {
  std::lock_guard lock(mutex_);
  // ReadFile clears the count before anything else.
  if (read == nullptr) return ERROR_INVALID_PARAMETER;
  *read = 0;
  if (handle == nullptr) return ERROR_INVALID_HANDLE;
  auto* h = static_cast<Handle*>(handle);
  if (!h->mode.read) return ERROR_ACCESS_DENIED;
  if (data == nullptr && size > 0) return ERROR_INVALID_PARAMETER;
  if (const long fault = TakeFault(FileCall::kRead, h->key)) return fault;
  const Entry& entry = files_.at(h->key);
  const std::size_t left = entry.bytes.size() > h->position ? entry.bytes.size() - h->position : 0;
  const auto count = static_cast<std::uint32_t>(left < size ? left : size);
  if (count > 0) std::memcpy(data, entry.bytes.data() + h->position, count);
  h->position += count;
  *read = count;
  return ERROR_SUCCESS;
}

long Files::Seek(void* handle, std::int64_t offset, SeekOrigin from, std::uint64_t* position) {
  std::lock_guard lock(mutex_);
  if (handle == nullptr) return ERROR_INVALID_HANDLE;
  auto* h = static_cast<Handle*>(handle);
  if (const long fault = TakeFault(FileCall::kSeek, h->key)) return fault;
  std::int64_t base = 0;
  switch (from) {
    case SeekOrigin::kBegin:
      break;
    case SeekOrigin::kCurrent:
      base = static_cast<std::int64_t>(h->position);
      break;
    case SeekOrigin::kEnd:
      base = static_cast<std::int64_t>(files_.at(h->key).bytes.size());
      break;
    default:
      return ERROR_INVALID_PARAMETER;
  }
  // Offsets near the limits of the type never occur here: the files are in memory.
  const std::int64_t target = base + offset;
  if (target < 0) return ERROR_NEGATIVE_SEEK;
  h->position = static_cast<std::size_t>(target);
  if (position != nullptr) *position = static_cast<std::uint64_t>(target);
  return ERROR_SUCCESS;
}

long Files::Close(void* handle) {
  std::lock_guard lock(mutex_);
  if (handle == nullptr) return ERROR_INVALID_HANDLE;
  auto* h = static_cast<Handle*>(handle);
  // The handle is gone whatever the injected result: the caller cannot close it twice.
  const long fault = TakeFault(FileCall::kClose, h->key);
  std::vector<Mode>& opened = files_.at(h->key).opened;
  opened.erase(std::find(opened.begin(), opened.end(), h->mode));
  --openFiles_;
  delete h;
  return fault;
}

bool Files::Exists(const char* path) const {
  std::lock_guard lock(mutex_);
  const std::string folded = FoldFolder(PathOrEmpty(path));
  if (folded.empty()) return false;
  return files_.find(folded) != files_.end() || FolderExists(folded);
}

long Files::LookUp(const char* path) const {
  if (Exists(path)) return ERROR_SUCCESS;
  std::lock_guard lock(mutex_);
  const std::string folded = FoldFolder(PathOrEmpty(path));
  return InMissingFolder(ParentOf(folded)) ? ERROR_PATH_NOT_FOUND : ERROR_FILE_NOT_FOUND;
}

bool Files::InMissingFolder(const std::string& folded) const {
  std::string rest;
  for (const std::string& missing : missingFolders_) {
    if (folded == missing || Within(folded, missing, &rest)) return true;
  }
  return false;
}

bool Files::HasContents(const std::string& folded) const {
  std::string rest;
  auto file = files_.lower_bound(folded + '\\');
  if (file != files_.end() && Within(file->first, folded, &rest)) return true;
  auto folder = folders_.lower_bound(folded + '\\');
  return folder != folders_.end() && Within(folder->first, folded, &rest);
}

// Folders exist as the temporary folder, as the parents of files and as folders made on
// purpose, unless declared missing.
bool Files::FolderExists(const std::string& folded) const {
  if (folded.empty() || InMissingFolder(folded)) return false;
  return folded == FoldFolder(tempFolder_) || folders_.count(folded) != 0 || HasContents(folded);
}

long Files::Remove(const char* path) {
  std::lock_guard lock(mutex_);
  const std::string key = cp936::ToUpper(PathOrEmpty(path));
  if (const long fault = TakeFault(FileCall::kRemove, key)) return fault;
  auto it = files_.find(key);
  if (it == files_.end()) return ERROR_FILE_NOT_FOUND;
  // No open of the program's shares deletion, nor does a program that holds the file.
  if (it->second.IsOpen()) return ERROR_SHARING_VIOLATION;
  files_.erase(it);
  return ERROR_SUCCESS;
}

bool Files::WriteTime(const char* path, FileTime* time) const {
  std::lock_guard lock(mutex_);
  auto it = files_.find(cp936::ToUpper(PathOrEmpty(path)));
  if (it == files_.end()) {
    *time = FileTime{};
    return false;
  }
  *time = it->second.lastWrite;
  return true;
}

bool Files::Status(const char* path, FileStatus* status) const {
  std::lock_guard lock(mutex_);
  const auto it = files_.find(cp936::ToUpper(PathOrEmpty(path)));
  if (it == files_.end()) return false;
  const Entry& entry = it->second;
  status->creation = entry.creation;
  status->lastWrite = entry.lastWrite;
  status->lastAccess = entry.lastAccess;
  status->size = entry.bytes.size();
  status->attributes = entry.attributes;
  return true;
}

void Files::Append(std::string_view path, std::string_view bytes) {
  std::lock_guard lock(mutex_);
  const std::string key = cp936::ToUpper(path);
  if (InMissingFolder(key)) return;
  if (auto it = files_.find(key); it != files_.end() && !it->second.Admits(Mode::kAppender)) return;
  Entry& entry = files_[key];
  if (entry.path.empty()) entry.path = path;
  entry.bytes += bytes;
  entry.lastWrite = Now();
}

long Files::Flush(void* handle) {
  std::lock_guard lock(mutex_);
  if (handle == nullptr) return ERROR_INVALID_HANDLE;
  auto* h = static_cast<Handle*>(handle);
  if (!h->mode.write) return ERROR_ACCESS_DENIED;
  return TakeFault(FileCall::kFlush, h->key);
}

long Files::CreateFolder(const char* path) {
  std::lock_guard lock(mutex_);
  const std::string key = FoldFolder(PathOrEmpty(path));
  if (const long fault = TakeFault(FileCall::kCreateFolder, key)) return fault;
  if (key.empty() || InMissingFolder(ParentOf(key))) return ERROR_PATH_NOT_FOUND;
  if (files_.count(key) != 0 || FolderExists(key)) return ERROR_ALREADY_EXISTS;
  std::string spelling(PathOrEmpty(path));
  spelling.resize(key.size());  // folding keeps the length: only the final backslash goes
  folders_[key] = spelling;
  std::erase(missingFolders_, key);
  return ERROR_SUCCESS;
}

long Files::RemoveFolder(const char* path) {
  std::lock_guard lock(mutex_);
  const std::string key = FoldFolder(PathOrEmpty(path));
  if (const long fault = TakeFault(FileCall::kRemoveFolder, key)) return fault;
  if (!FolderExists(key)) return ERROR_FILE_NOT_FOUND;
  if (HasContents(key)) return ERROR_DIR_NOT_EMPTY;
  folders_.erase(key);
  missingFolders_.push_back(key);
  return ERROR_SUCCESS;
}

long Files::List(const std::string& folder, std::vector<FolderEntry>* entries) {
  std::lock_guard lock(mutex_);
  entries->clear();
  const std::string key = FoldFolder(folder);
  if (const long fault = TakeFault(FileCall::kList, key)) return fault;
  if (!FolderExists(key)) return ERROR_PATH_NOT_FOUND;
  // By folded name: each name once, a folder for whatever lies deeper.
  std::map<std::string, FolderEntry> found;
  const auto take = [&](const std::string& folded, const std::string& spelling, bool isFolder) {
    std::string rest;
    if (!Within(folded, key, &rest)) return;
    const std::size_t separator = cp936::Find(rest, "\\");
    const std::size_t length = separator == std::string::npos ? rest.size() : separator;
    // Folding keeps lengths, so the spelling's name sits at the same offset.
    const std::string name = spelling.substr(key.size() + 1, length);
    found.emplace(rest.substr(0, length),
                  FolderEntry{name, isFolder || separator != std::string::npos});
  };
  for (const auto& [folded, entry] : files_) take(folded, entry.path, false);
  for (const auto& [folded, spelling] : folders_) take(folded, spelling, true);
  for (auto& [name, entry] : found) entries->push_back(std::move(entry));
  return ERROR_SUCCESS;
}

long Files::Move(const char* from, const char* to, bool replaceExisting) {
  std::lock_guard lock(mutex_);
  const std::string fromKey = cp936::ToUpper(PathOrEmpty(from));
  const std::string toKey = cp936::ToUpper(PathOrEmpty(to));
  if (const long fault = TakeFault(FileCall::kMove, fromKey)) return fault;
  auto source = files_.find(fromKey);
  if (source == files_.end()) {
    return InMissingFolder(fromKey) ? ERROR_PATH_NOT_FOUND : ERROR_FILE_NOT_FOUND;
  }
  if (source->second.IsOpen()) return ERROR_SHARING_VIOLATION;
  if (toKey.empty() || InMissingFolder(toKey)) return ERROR_PATH_NOT_FOUND;
  if (FolderExists(toKey)) return ERROR_ACCESS_DENIED;
  if (fromKey == toKey) return ERROR_SUCCESS;
  if (auto target = files_.find(toKey); target != files_.end()) {
    if (!replaceExisting) return ERROR_ALREADY_EXISTS;
    // A file that is open anywhere cannot be replaced.
    if (target->second.IsOpen()) return ERROR_ACCESS_DENIED;
  }
  Entry moved = std::move(source->second);
  moved.path = PathOrEmpty(to);
  files_.erase(source);
  files_[toKey] = std::move(moved);
  return ERROR_SUCCESS;
}

std::uint32_t Files::NextUniqueStart() {
  std::lock_guard lock(mutex_);
  return nextUnique_++;
}

Files& Files::AddFolder(std::string_view path) {
  std::lock_guard lock(mutex_);
  const std::string key = FoldFolder(path);
  std::string spelling(path);
  spelling.resize(key.size());
  folders_[key] = spelling;
  std::erase(missingFolders_, key);
  return *this;
}

Files& Files::MissingFolder(std::string_view path) {
  std::lock_guard lock(mutex_);
  const std::string key = FoldFolder(path);
  std::string rest;
  std::erase_if(files_, [&](const auto& file) { return Within(file.first, key, &rest); });
  std::erase_if(folders_, [&](const auto& folder) {
    return folder.first == key || Within(folder.first, key, &rest);
  });
  missingFolders_.push_back(key);
  return *this;
}

Files& Files::Hold(std::string_view path) {
  std::lock_guard lock(mutex_);
  Entry& entry = files_[cp936::ToUpper(path)];
  if (entry.path.empty()) {
    entry.path = path;
    entry.lastWrite = Now();
  }
  entry.holder = Mode::kHolder;
  return *this;
}

Files& Files::HoldExclusively(std::string_view path) {
  Hold(path);
  std::lock_guard lock(mutex_);
  files_.at(cp936::ToUpper(path)).holder = Mode::kExclusive;
  return *this;
}

Files& Files::HoldAppending(std::string_view path) {
  Hold(path);
  std::lock_guard lock(mutex_);
  files_.at(cp936::ToUpper(path)).holder = Mode::kAppender;
  return *this;
}

Files& Files::Release(std::string_view path) {
  std::lock_guard lock(mutex_);
  if (auto it = files_.find(cp936::ToUpper(path)); it != files_.end()) it->second.holder.reset();
  return *this;
}

std::vector<std::string> Files::Folders() const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> folders;
  for (const auto& [key, spelling] : folders_) folders.push_back(spelling);
  return folders;
}

}  // namespace platform::sim
