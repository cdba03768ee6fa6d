#include "report/run_folder.h"

#include <algorithm>
#include <cctype>
#include <utility>
#include <vector>

#include "platform/cp936.h"
#include "platform/win32_codes.h"

namespace report {

namespace {

constexpr char kStem[] = "Vantik-";
constexpr char kLockName[] = "run.lock";

// A run's folder: the stem and the unique digits, nothing else.
bool IsRunFolder(const platform::FolderEntry& entry) {
  const std::string_view name = entry.name;
  const std::string_view stem = kStem;
  return entry.isFolder && name.size() == stem.size() + platform::kUniqueDigits &&
         platform::cp936::EqualsIgnoreCase(name.substr(0, stem.size()), stem) &&
         std::all_of(name.begin() + stem.size(), name.end(),
                     [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
}

// Removes what the folder holds beside its lock; true when nothing else is left.
bool RemoveAllButLock(const std::string& folder) {
  std::vector<platform::FolderEntry> entries;
  if (platform::ListFolder(folder, &entries) != ERROR_SUCCESS) return false;
  bool emptied = true;
  for (const platform::FolderEntry& entry : entries) {
    if (!entry.isFolder && platform::cp936::EqualsIgnoreCase(entry.name, kLockName)) continue;
    // The program makes no folders in a run's folder: one there is not ours to remove.
    if (entry.isFolder || platform::RemoveFile((folder + entry.name).c_str()) != ERROR_SUCCESS) {
      emptied = false;
    }
  }
  return emptied;
}

// Clears a run's folder whose lock the caller has open. The lock file stays while anything
// else does: it marks the folder as one that a later run may clear.
void Clear(const std::string& folder, platform::File& lock) {
  const bool emptied = RemoveAllButLock(folder);
  (void)lock.Close();
  if (!emptied) return;
  if (platform::RemoveFile((folder + kLockName).c_str()) == ERROR_SUCCESS) {
    (void)platform::RemoveFolder(folder.c_str());
  }
}

}  // namespace

RunFolder::RunFolder(std::string folder, platform::File lock)
    : folder_(std::move(folder)), lock_(std::move(lock)) {}

RunFolder::~RunFolder() { Clear(folder_, lock_); }

long RunFolder::Start(const std::string& tempFolder, std::shared_ptr<RunFolder>* run) {
  RemoveLeftoverRuns(tempFolder);
  // Another program's clearing may take a new folder before its lock is in it: then it is
  // made again.
  constexpr int kTries = 3;
  long result = ERROR_SUCCESS;
  for (int i = 0; i < kTries; ++i) {
    std::string folder;
    result = platform::CreateUniqueFolder(tempFolder + kStem, &folder);
    if (result != ERROR_SUCCESS) return result;
    platform::File lock;
    result = lock.CreateForWriting((folder + kLockName).c_str());
    if (result == ERROR_SUCCESS) {
      run->reset(new RunFolder(std::move(folder), std::move(lock)));
      return ERROR_SUCCESS;
    }
    (void)platform::RemoveFolder(folder.c_str());
    if (result != ERROR_PATH_NOT_FOUND) return result;
  }
  return result;
}

void RemoveLeftoverRuns(const std::string& tempFolder) {
  std::vector<platform::FolderEntry> entries;
  if (platform::ListFolder(tempFolder, &entries) != ERROR_SUCCESS) return;
  for (const platform::FolderEntry& entry : entries) {
    if (!IsRunFolder(entry)) continue;
    const std::string folder = tempFolder + entry.name + '\\';
    platform::File lock;
    const long opened = lock.OpenForReading((folder + kLockName).c_str());
    if (opened == ERROR_SUCCESS) {
      Clear(folder, lock);
    } else if (opened == ERROR_FILE_NOT_FOUND) {
      // A folder being made, or one whose run ended before its lock: only an empty one goes.
      (void)platform::RemoveFolder(folder.c_str());
    }
    // Otherwise a run still holds it.
  }
}

}  // namespace report
