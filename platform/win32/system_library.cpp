#include "platform/win32/system_library.h"

#include <cstring>

namespace platform::win32 {
namespace {

// The modules loaded so far. A handful at most: a fixed table, so that nothing is allocated
// under the lock, and a module is never unloaded.
struct LoadedModule {
  char name[64];
  HMODULE module;
};

// A name that stays a file of the system folder once joined to it: no folder, drive or stream.
// The names are the program's own ASCII literals, so a byte-wise look is enough.
bool IsPlainFileName(const char* name) {
  if (name == nullptr || name[0] == '\0' || std::strlen(name) >= sizeof(LoadedModule::name)) {
    return false;
  }
  return std::strpbrk(name, "\\/:") == nullptr;
}

class ModuleTable {
 public:
  ModuleTable() { InitializeCriticalSection(&lock_); }
  ~ModuleTable() { DeleteCriticalSection(&lock_); }
  ModuleTable(const ModuleTable&) = delete;
  ModuleTable& operator=(const ModuleTable&) = delete;

  HMODULE Load(const char* name) {
    if (!IsPlainFileName(name)) return nullptr;
    EnterCriticalSection(&lock_);
    HMODULE module = Find(name);
    if (module == nullptr) {
      module = LoadFromSystemFolder(name);
      if (module != nullptr && count_ < kCapacity) {
        std::memcpy(modules_[count_].name, name, std::strlen(name) + 1);
        modules_[count_].module = module;
        ++count_;
      }
      // With the table full the module stays loaded all the same; it is only looked up again.
    }
    LeaveCriticalSection(&lock_);
    return module;
  }

 private:
  static constexpr int kCapacity = 32;

  HMODULE Find(const char* name) const {
    for (int i = 0; i < count_; ++i) {
      if (lstrcmpiA(modules_[i].name, name) == 0) return modules_[i].module;
    }
    return nullptr;
  }

  static HMODULE LoadFromSystemFolder(const char* name) {
    char path[MAX_PATH];
    const UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::size_t nameLength = std::strlen(name);
    if (length + 1 + nameLength >= MAX_PATH) return nullptr;
    path[length] = '\\';
    std::memcpy(path + length + 1, name, nameLength + 1);
    return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  }

  CRITICAL_SECTION lock_;
  LoadedModule modules_[kCapacity] = {};
  int count_ = 0;
};

// Made before WinMain, while the process has one thread.
ModuleTable g_modules;

}  // namespace

HMODULE LoadSystemLibrary(const char* name) { return g_modules.Load(name); }

FARPROC GetSystemProc(const char* dll, const char* function) {
  const HMODULE module = LoadSystemLibrary(dll);
  return module != nullptr ? GetProcAddress(module, function) : nullptr;
}

}  // namespace platform::win32
