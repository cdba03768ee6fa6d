// The browser's User-Agent values, per user and machine-wide: "Compatible" must contain
// "compatible" and "Version" must contain "MSIE", or the VPN client's gateway turns the
// browser away.
#pragma once

#include "checks/ie_info.h"

namespace checks {

// Fills the six User-Agent fields of `info`: the value as stored, "default" for a missing
// key, a missing value or an empty text, and a warning for a value too long to read.
// Returns 0, or -1 on any other registry error (fields not reached stay as they were).
int ReadUserAgentValues(IEInfo& info);

// Returns RESULT_NORMAL, RESULT_ABNORMAL when a Compatible or Version value breaks the rule,
// or RESULT_FAILED when the values cannot be read.
int CheckUserAgent();

// Puts the missing keyword in front of each value that lacks it. Returns RESULT_NORMAL,
// RESULT_ABNORMAL when a write failed, or RESULT_FAILED when a key cannot be opened, a value
// cannot be read, or a value is too long (after telling the user).
int FixUserAgent();

// The rule as the check applies it to one stored field (what ReadUserAgentValues stored): the
// value is neither "default" nor holds its keyword.
bool CompatibleBreaksRule(const char* value);
bool VersionBreaksRule(const char* value);

// Task entries of the diagnose and repair lists: the operation, then its trace line.
int CheckIEUserAgent();
int FixIEUserAgent();

}  // namespace checks
