#include "collect/process_section.h"

#include <algorithm>
#include <string>

#include "collect/section_renderers.h"
#include "platform/win32_codes.h"

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

std::string RenderProcessSection() {
  std::string text;
  ProcessIdList ids;
  ids.Fill();
  for (std::uint32_t id = ids.Next(); id != 0; id = ids.Next()) {
    char name[260] = {};
    platform::Process process;
    // A process that cannot be opened (the System process, one that has just ended) stays
    // closed, and its module list is then empty.
    (void)process.Open(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, id);
    ModuleList modules;
    modules.Fill(process);
    if (const platform::ModuleHandle first = modules.First(); first != 0) {
      process.ModuleBaseName(first, name, sizeof(name));
    }
    // A name cut to the buffer may lack its zero.
    const auto length = static_cast<std::size_t>(std::find(name, name + sizeof(name), '\0') - name);
    if (length > 0) {
      text.append(name, length);
      text += "\r\n";
    }
  }
  return text;
}
