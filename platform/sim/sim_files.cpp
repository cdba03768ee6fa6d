#include "platform/sim/sim_files.h"

#include <time.h>

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

}  // namespace

struct Files::Entry {
  std::string path;  // as first created
  std::string bytes;
  FileTime lastWrite;
  int openHandles = 0;
  FileTime creation;
  FileTime lastAccess;
  std::uint32_t attributes = kAttributeArchive;
};

struct Files::Handle {
  std::string key;  // the folded path
  bool write;
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

int Files::OpenFileCount() const {
  std::lock_guard lock(mutex_);
  return openFiles_;
}

Files::Fault* Files::FindFault(FileCall call, std::string_view folded) {
  for (Fault& fault : faults_) {
    if (fault.call == call && (fault.path.empty() || fault.path == folded)) return &fault;
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

std::uint32_t Files::TempFolder(char* buffer, std::uint32_t size) {
  std::lock_guard lock(mutex_);
  if (TakeFault(FileCall::kTempFolder, {}) != ERROR_SUCCESS) return 0;
  const auto length = static_cast<std::uint32_t>(tempFolder_.size());
  if (buffer == nullptr || size <= length) return length + 1;
  std::memcpy(buffer, tempFolder_.c_str(), length + 1);
  return length;
}

long Files::OpenHandle(const std::string& key, bool write, void** handle) {
  Entry& entry = files_.at(key);
  // The program's two modes exclude each other and themselves: the writer shares reading only
  // and the reader shares nothing.
  if (entry.openHandles > 0) return ERROR_SHARING_VIOLATION;
  ++entry.openHandles;
  ++openFiles_;
  *handle = new Handle{key, write};
  return ERROR_SUCCESS;
}

long Files::Create(const char* path, void** handle) {
  std::lock_guard lock(mutex_);
  if (path == nullptr || *path == '\0') return ERROR_PATH_NOT_FOUND;
  std::string key = cp936::ToUpper(path);
  if (const long fault = TakeFault(FileCall::kCreate, key)) return fault;
  auto it = files_.find(key);
  if (it != files_.end() && it->second.openHandles > 0) return ERROR_SHARING_VIOLATION;
  Entry& entry = files_[key];
  if (entry.path.empty()) entry.path = path;
  entry.bytes.clear();
  entry.lastWrite = Now();
  return OpenHandle(key, true, handle);
}

long Files::Open(const char* path, void** handle) {
  std::lock_guard lock(mutex_);
  if (path == nullptr || *path == '\0') return ERROR_PATH_NOT_FOUND;
  const std::string key = cp936::ToUpper(path);
  if (const long fault = TakeFault(FileCall::kOpen, key)) return fault;
  if (files_.find(key) == files_.end()) return ERROR_FILE_NOT_FOUND;
  return OpenHandle(key, false, handle);
}

long Files::Write(void* handle, const void* data, std::uint32_t size) {
  std::lock_guard lock(mutex_);
  if (handle == nullptr) return ERROR_INVALID_HANDLE;
  auto* h = static_cast<Handle*>(handle);
  if (!h->write) return ERROR_ACCESS_DENIED;
  if (data == nullptr && size > 0) return ERROR_INVALID_PARAMETER;
  Entry& entry = files_.at(h->key);
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
  if (h->write) return ERROR_ACCESS_DENIED;
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
  --files_.at(h->key).openHandles;
  --openFiles_;
  delete h;
  return fault;
}

bool Files::Exists(const char* path) const {
  std::lock_guard lock(mutex_);
  const std::string folded = FoldFolder(PathOrEmpty(path));
  if (folded.empty()) return false;
  if (files_.find(folded) != files_.end()) return true;
  // Folders exist as the temporary folder and as the parents of the files.
  if (folded == FoldFolder(tempFolder_)) return true;
  const std::string prefix = folded + '\\';
  auto it = files_.lower_bound(prefix);
  return it != files_.end() && it->first.compare(0, prefix.size(), prefix) == 0;
}

long Files::Remove(const char* path) {
  std::lock_guard lock(mutex_);
  const std::string key = cp936::ToUpper(PathOrEmpty(path));
  if (const long fault = TakeFault(FileCall::kRemove, key)) return fault;
  auto it = files_.find(key);
  if (it == files_.end()) return ERROR_FILE_NOT_FOUND;
  // Neither of the program's modes shares deletion.
  if (it->second.openHandles > 0) return ERROR_SHARING_VIOLATION;
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
  Entry& entry = files_[cp936::ToUpper(path)];
  if (entry.path.empty()) entry.path = path;
  entry.bytes += bytes;
  entry.lastWrite = Now();
}

}  // namespace platform::sim
