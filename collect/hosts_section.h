// The hosts file section: where the hosts file is, its size, times and attributes, then its
// whole content with every line ended in CR LF.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/file_status.h"

namespace collect {

// The status of a file as the section shows it.
struct HostsStatus {
  std::uint64_t size = 0;
  // In local time, each nullopt when it has no local form. A time the file system does not keep
  // is given as the last write.
  std::optional<platform::LocalTime> created;
  std::optional<platform::LocalTime> modified;
  std::optional<platform::LocalTime> accessed;
  std::uint32_t attributes = 0;
};

struct HostsSection {
  std::string path;                   // empty without the system folder: then nothing else
  std::optional<HostsStatus> status;  // nullopt when the file cannot be looked at
  // The content as the C library reads text, a zero byte ending what is kept of its chunk;
  // nullopt when the file cannot be opened.
  std::optional<std::string> content;
};

// The hosts file's path in the system folder; empty without the system folder.
std::string HostsFilePath();

HostsSection GatherHostsSection();
std::string RenderHostsSection(const HostsSection& section);

// The status lines of a file: path, size, the three times, and the attribute line, which has
// no line end of its own.
std::string FormatHostsStatus(const std::string& path, const HostsStatus& status);

// Appends `length` bytes of text with each LF turned into CR LF.
void AppendWithCrLf(std::string& out, const char* text, std::size_t length);

}  // namespace collect
