#include "collect/software_section.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <unordered_set>

#include "platform/cp936.h"
#include "platform/registry.h"
#include "platform/win32_codes.h"
#include "text/text_table.h"

namespace collect {

using namespace text;

namespace {

using platform::RegKey;
using platform::RegRoot;
using platform::RegView;

constexpr char kUninstallPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr char kHotfixPath[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Hotfix";
// Byte counts (with the terminating zero) from which a text is cut and ends in "...".
constexpr std::uint32_t kNameLimit = 256;
constexpr std::uint32_t kVersionLimit = 20;

// A text value read at the size it asks for, as the list shows it: nullopt when the size query
// does not answer ERROR_MORE_DATA (missing, empty, unreadable) or the read fails.
std::optional<std::string> ReadText(const RegKey& key, const char* name, std::uint32_t limit) {
  char probe = 0;
  std::uint32_t size = 0;
  if (key.QueryValue(name, nullptr, &probe, &size) != ERROR_MORE_DATA) return std::nullopt;
  // One zero more than the value needs, so that one stored without its own still ends here.
  std::vector<char> buffer(static_cast<std::size_t>(size) + 1, '\0');
  std::uint32_t read = size;
  if (key.QueryValue(name, nullptr, buffer.data(), &read) != ERROR_SUCCESS) return std::nullopt;
  return FittedText(buffer.data(), size, limit);
}

// A hotfix key's name names a hotfix when it holds "KB" or "Q", in either case.
bool IsHotfixName(std::string_view name) {
  const std::string upper = platform::cp936::ToUpper(name);
  return platform::cp936::Contains(upper, "KB") || platform::cp936::Contains(upper, "Q");
}

// 64-bit Windows keeps 32-bit and 64-bit programs and their hotfixes in two registry views: the
// program's own is read first, then the other where there is one, into the one list.
constexpr RegView kViews[] = {RegView::kOwn, RegView::kOther};

int ReadUninstallView(RegView view, std::vector<SoftwareEntry>& list) {
  RegKey uninstall;
  if (uninstall.Open(RegRoot::kLocalMachine, kUninstallPath, KEY_READ, view) != ERROR_SUCCESS) {
    return -1;
  }
  const std::string prefix = std::string(kUninstallPath) + "\\";
  for (std::uint32_t index = 0;; ++index) {
    char name[256];
    std::uint32_t length = sizeof(name);
    const long result = uninstall.EnumKeyEx(index, name, &length);
    if (result == ERROR_NO_MORE_ITEMS) break;
    // A name too long for the buffer skips its entry; any other failure concerns the whole
    // key and would answer the same for every index, so the walk ends.
    if (result == ERROR_MORE_DATA) continue;
    if (result != ERROR_SUCCESS) break;
    RegKey entry;
    if (entry.Open(RegRoot::kLocalMachine, (prefix + name).c_str(), KEY_READ, view) !=
        ERROR_SUCCESS) {
      continue;
    }
    std::optional<std::string> displayName = ReadText(entry, "DisplayName", kNameLimit);
    if (!displayName || displayName->empty()) continue;
    std::optional<std::string> version = ReadText(entry, "DisplayVersion", kVersionLimit);
    list.push_back(SoftwareEntry{std::move(*displayName), version.value_or("")});
  }
  return 0;
}

int ReadHotfixView(RegView view, std::vector<std::string>& list) {
  RegKey hotfixes;
  if (hotfixes.Open(RegRoot::kLocalMachine, kHotfixPath, KEY_READ, view) != ERROR_SUCCESS) {
    return -1;
  }
  std::uint32_t count = 0;
  if (hotfixes.QueryInfo(&count, nullptr) != ERROR_SUCCESS) count = 0;
  const std::string prefix = std::string(kHotfixPath) + "\\";
  for (std::uint32_t index = 0; index < count; ++index) {
    char name[260];
    if (hotfixes.EnumKey(index, name, sizeof(name)) != ERROR_SUCCESS) continue;
    if (!IsHotfixName(name)) continue;
    RegKey hotfix;
    if (hotfix.Open(RegRoot::kLocalMachine, (prefix + name).c_str(), KEY_QUERY_VALUE, view) !=
        ERROR_SUCCESS) {
      continue;
    }
    unsigned char installed[10] = {};
    std::uint32_t size = sizeof(installed);
    if (hotfix.QueryValue("Installed", nullptr, installed, &size) != ERROR_SUCCESS || size == 0 ||
        installed[0] == 0) {
      continue;
    }
    char comments[256];
    if (platform::ReadRegString(hotfix, "Comments", comments, sizeof(comments)) == ERROR_SUCCESS &&
        comments[0] != '\0') {
      list.emplace_back(comments);
    }
  }
  return 0;
}

template <typename List>
void ReadEveryView(int (*read)(RegView, List&), List& list) {
  for (const RegView view : kViews) (void)read(view, list);
}

}  // namespace

SoftwareSection GatherSoftwareSection() {
  SoftwareSection section;
  ReadEveryView(ReadUninstallView, section.programs);
  section.hotfixes = GatherHotfixes();
  return section;
}

std::vector<std::string> GatherHotfixes() {
  std::vector<std::string> hotfixes;
  ReadEveryView(ReadHotfixView, hotfixes);
  return hotfixes;
}

std::vector<SoftwareEntry> ListedPrograms(const SoftwareSection& section) {
  std::vector<SoftwareEntry> programs = section.programs;
  if (section.hotfixes.empty()) return programs;
  const std::unordered_set<std::string_view> hotfixes(section.hotfixes.begin(),
                                                      section.hotfixes.end());
  std::erase_if(programs, [&hotfixes](const SoftwareEntry& entry) {
    return hotfixes.count(entry.name) != 0 || IsWindowsUpdate(entry.name);
  });
  return programs;
}

std::string FittedText(std::string_view text, std::uint32_t storedSize, std::uint32_t limit) {
  std::string fitted(text);
  if (storedSize >= limit && fitted.size() >= limit - 4) {
    fitted.resize(platform::cp936::PrefixLength(fitted, limit - 4));
    fitted += "...";
  }
  return fitted;
}

bool IsWindowsUpdate(std::string_view name) {
  using platform::cp936::Contains;
  if (Contains(name, "Windows Installer")) return false;
  if (!Contains(name, "Windows")) return false;
  return Contains(name, "KB") || Contains(name, "更新") || Contains(name, "QB") ||
         Contains(name, "Update");
}

std::string RenderSoftwareSection(const SoftwareSection& section) {
  std::string text;
  text += GetText(TEXT_INSTALLED_SOFTWARE);
  text += "\r\n";
  for (const SoftwareEntry& entry : ListedPrograms(section)) {
    text += entry.name;
    text += "   ";
    text += entry.version;
    text += "\r\n";
  }
  return text;
}

}  // namespace collect
