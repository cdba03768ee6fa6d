// The installed software section: the installed programs (the machine's uninstall list, without
// Windows updates), and the installed hotfixes that take those out, of both registry views on
// 64-bit Windows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace collect {

struct SoftwareEntry {
  std::string name;     // "DisplayName", at most 255 bytes
  std::string version;  // "DisplayVersion", at most 19 bytes, or empty

  bool operator==(const SoftwareEntry&) const = default;
};

// What the machine's uninstall list and hotfix key hold, each read in the program's own registry
// view and then in the other, where there is one, into one list; a key that opens in neither
// gives an empty list.
struct SoftwareSection {
  std::vector<SoftwareEntry> programs;  // every entry with a display name, in registry order
  std::vector<std::string> hotfixes;    // the installed hotfixes' comments
};

SoftwareSection GatherSoftwareSection();
// The hotfixes alone, as the software section gathers them.
std::vector<std::string> GatherHotfixes();

// The programs the section lists: without the hotfixes and the Windows updates, in order; the
// hotfixes of either view remove programs of both. Without a hotfix, updates stay listed too.
std::vector<SoftwareEntry> ListedPrograms(const SoftwareSection& section);

std::string RenderSoftwareSection(const SoftwareSection& section);

// A text value as the list shows it, from its text (to its first zero) and the size the
// registry stores: a value of `limit` bytes or more keeps what fits in limit - 4 bytes and gains
// "...", never half a character. Names are given a limit of 256, versions 20.
std::string FittedText(std::string_view text, std::uint32_t storedSize, std::uint32_t limit);

// A program name that reads as a Windows update: "Windows" with "KB", "更新", "QB" or
// "Update", unless it is the Windows Installer. Case-sensitive, matched only where a character
// starts.
bool IsWindowsUpdate(std::string_view name);

}  // namespace collect
