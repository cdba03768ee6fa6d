#include "platform/win32/windows_api.h"

#include "platform/win32/dll_search.h"

#include <vector>

#include "platform/cp936.h"
#include "platform/win32/system_library.h"

namespace platform::win32 {
namespace {

// Windows' own code (theming, the common dialogs, the shell) loads these by bare name while the
// program runs, and none is a known DLL on every system from Windows 2000 to 7, so a planted
// copy in the program's folder would be taken first; loaded here once from the system folder,
// they are found already loaded instead. The program's own run-time DLLs are among them.
constexpr const char* kPreloaded[] = {
    "uxtheme.dll", "dwmapi.dll",  "version.dll",  "setupapi.dll",  "cfgmgr32.dll",
    "userenv.dll", "apphelp.dll", "propsys.dll",  "cryptbase.dll", "oleacc.dll",
    "profapi.dll", "clbcatq.dll", "iphlpapi.dll", "psapi.dll",     "ws2_32.dll",
};

}  // namespace

bool RemoveCurrentFolderFromDllSearch() {
  using SetDllDirectoryFunction = BOOL(WINAPI*)(LPCSTR);
  // kernel32 is loaded in every process; only the function may be missing.
  const HMODULE kernel = GetModuleHandleA("kernel32.dll");
  if (kernel == nullptr) return false;
  const auto setDllDirectory = reinterpret_cast<SetDllDirectoryFunction>(
      reinterpret_cast<void (*)()>(GetProcAddress(kernel, "SetDllDirectoryA")));
  return setDllDirectory != nullptr && setDllDirectory("") != FALSE;
}

std::string FindLocalRedirection(const char* fallbackName) {
  // Room for the longest path Windows has, so that the name is never cut short.
  std::vector<char> path(32768);
  const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
  if (length == 0 || length >= path.size()) return fallbackName;
  const std::string program(path.data(), length);
  // ".local", a file or a folder: Windows 2000 honours the one, later systems the other as well.
  // ".manifest": Windows XP prefers it to the manifest built into the program, and it may name
  // an assembly of DLLs in the program's folder.
  for (const char* suffix : {".local", ".manifest"}) {
    const std::string redirection = program + suffix;
    if (GetFileAttributesA(redirection.c_str()) != INVALID_FILE_ATTRIBUTES) {
      return redirection.substr(cp936::AfterLast(redirection, '\\'));
    }
  }
  return {};
}

// "The program's folder holds <name>, which makes Windows load components from that folder. For
// safety the program does not start. Delete it, or move the program into a new folder and run
// it from there."
std::string LocalRedirectionRefusal(const std::string& name) {
  return "程序所在的文件夹中有 " + name +
         "，它会让系统从这个文件夹加载组件。为了安全，程序不能启动。请删除它，或将程序放到一个新的"
         "文件夹中再运行。";
}

std::span<const char* const> PreloadedSystemLibraries() { return kPreloaded; }

void PreloadSystemLibraries() {
  for (const char* name : kPreloaded) LoadSystemLibrary(name);
}

}  // namespace platform::win32
