// The TLS renegotiation setting that a Windows security update (KB977377) adds under
// SCHANNEL: absent or 0 lets the VPN client renegotiate, anything else gets in its way.
#pragma once

namespace checks {

// Returns RESULT_NORMAL, RESULT_ABNORMAL, or RESULT_FAILED when the key cannot be opened.
int CheckRenegoSetting();

// Sets a non-zero value back to REG_DWORD 0. Returns RESULT_NORMAL when done or nothing was
// to do, RESULT_ABNORMAL when the value could not be read or written, RESULT_FAILED when the
// key cannot be opened for writing.
int FixRenegoSetting();

// Task entries of the diagnose and repair lists: the operation, then its trace line.
int CheckKB977377();
int FixKB977377();

}  // namespace checks
