// The hosts file section: where the hosts file is, its size, times and attributes, then its
// whole content with every line ended in CR LF.
#pragma once

#include <cstddef>
#include <string>

#include "platform/file_status.h"

// The status lines of a file: path, size, the three times in local time, and the attribute
// line, which has no line end of its own.
std::string FormatHostsStatus(const std::string& path, const platform::FileStatus& status);

// Appends `length` bytes of text with each LF turned into CR LF.
void AppendWithCrLf(std::string& out, const char* text, std::size_t length);
