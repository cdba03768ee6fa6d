#include "collect/process_section.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>

#include "platform/cp936.h"
#include "platform/win32_codes.h"

namespace collect {

bool ProcessIdList::Fill() {
  m_position = -1;
  m_ids.clear();
  // A list that fills its room may have been cut short: ask again with twice the room.
  std::vector<std::uint32_t> ids;
  std::uint32_t count = 0;
  for (std::uint32_t capacity = kFirstListCapacity;; capacity *= 2) {
    ids.assign(capacity, 0);
    if (platform::EnumProcessIds(ids.data(), capacity, &count) != ERROR_SUCCESS) return false;
    if (count < capacity || capacity >= kLargestListCapacity) break;
  }
  ids.resize(std::min<std::size_t>(count, ids.size()));
  m_ids = std::move(ids);
  m_position = 1;
  return true;
}

std::uint32_t ProcessIdList::Next() {
  if (m_position < 0 || static_cast<std::size_t>(m_position) >= m_ids.size()) return 0;
  return m_ids[static_cast<std::size_t>(m_position++)];
}

bool ModuleList::Fill(const platform::Process& process) {
  m_position = -1;
  m_modules.clear();
  if (!process.IsOpen()) return false;
  // The process says how many modules it has; a list that grew in between is asked for again,
  // a bounded number of times.
  std::vector<platform::ModuleHandle> modules;
  std::uint32_t capacity = kFirstListCapacity;
  std::uint32_t total = 0;
  for (int attempt = 0; attempt < 4; ++attempt) {
    modules.assign(capacity, 0);
    if (process.EnumModules(modules.data(), capacity, &total) != ERROR_SUCCESS) return false;
    if (total <= capacity || capacity >= kLargestListCapacity) break;
    capacity = std::min(total, kLargestListCapacity);
  }
  modules.resize(std::min<std::size_t>(total, modules.size()));
  m_modules = std::move(modules);
  m_position = 0;
  return true;
}

platform::ModuleHandle ModuleList::First() const {
  if (m_position < 0 || static_cast<std::size_t>(m_position) >= m_modules.size()) return 0;
  return m_modules[static_cast<std::size_t>(m_position)];
}

namespace {

// Room for the image path of any program run from a MAX_PATH path, in the device form too (260
// wide characters may take twice as many bytes in code page 936); a longer one is asked for again
// with room for the longest path Windows has.
constexpr std::uint32_t kImagePathSize = 1024;
constexpr std::uint32_t kLongestImagePath = 32768;

// The base name of the process's main module, or "" when it cannot be read.
std::string MainModuleName(std::uint32_t id) {
  platform::Process process;
  // A process that cannot be opened (the System process, one that has just ended) stays
  // closed, and its module list is then empty.
  (void)process.Open(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, id);
  ModuleList modules;
  modules.Fill(process);
  char name[260] = {};
  if (const platform::ModuleHandle first = modules.First(); first != 0) {
    process.ModuleBaseName(first, name, sizeof(name));
  }
  // A name cut to the buffer may lack its zero, and end within a character.
  const std::string_view read(name, std::find(name, name + sizeof(name), '\0') - name);
  return std::string(read.substr(0, platform::cp936::WholeLength(read)));
}

// The file name of the process's executable from its image path, or "" when no way gives it:
// for processes whose memory this program may not read (64-bit ones seen from the 32-bit
// build, protected ones). Vista and later give the path with the least right; XP knows only the
// fuller one.
std::string ImageFileName(std::uint32_t id) {
  for (const std::uint32_t access : {std::uint32_t{PROCESS_QUERY_LIMITED_INFORMATION},
                                     std::uint32_t{PROCESS_QUERY_INFORMATION}}) {
    platform::Process process;
    if (process.Open(access, id) != ERROR_SUCCESS) continue;
    std::vector<char> path(kImagePathSize, '\0');
    std::uint32_t length = 0;
    long result = process.ImagePath(path.data(), kImagePathSize, &length);
    if (result == ERROR_INSUFFICIENT_BUFFER) {
      path.assign(kLongestImagePath, '\0');
      result = process.ImagePath(path.data(), kLongestImagePath, &length);
    }
    if (result != ERROR_SUCCESS) continue;
    std::string_view name(path.data(), std::min<std::size_t>(length, path.size() - 1));
    name.remove_prefix(platform::cp936::AfterLast(name, '\\'));
    // Cut as a module base name is, to the same buffer, but never within a character.
    name = name.substr(0, platform::cp936::PrefixLength(name, 260));
    if (!name.empty()) return std::string(name);
  }
  return {};
}

}  // namespace

ProcessSection GatherProcessSection() {
  ProcessSection section;
  ProcessIdList ids;
  ids.Fill();
  for (std::uint32_t id = ids.Next(); id != 0; id = ids.Next()) {
    std::string name = MainModuleName(id);
    if (name.empty()) name = ImageFileName(id);
    if (!name.empty()) section.names.push_back(std::move(name));
  }
  return section;
}

std::string RenderProcessSection(const ProcessSection& section) {
  std::string text;
  for (const std::string& name : section.names) {
    text += name;
    text += "\r\n";
  }
  return text;
}

}  // namespace collect
