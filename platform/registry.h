// Registry access: one open key at a time, closed by its owner on every path.
//
// Every call returns the Win32 result code unchanged (ERROR_SUCCESS, ERROR_FILE_NOT_FOUND,
// ERROR_MORE_DATA, ERROR_NO_MORE_ITEMS, ERROR_ACCESS_DENIED, ...), so callers branch on the
// same codes whichever backend is built. Out-parameters are left untouched on failure unless
// a call says otherwise.
#pragma once

#include <cstdint>

#include "platform/owned_handle.h"

namespace platform {

enum class RegRoot : std::uint32_t {
  kClassesRoot = 0x80000000u,
  kCurrentUser = 0x80000001u,
  kLocalMachine = 0x80000002u,
  kUsers = 0x80000003u,  // HKEY_USERS: every loaded user's hive, by the user's SID
};

// The view of the registry that a key is opened in. 64-bit Windows keeps two views of the
// machine's software key, one for 64-bit programs and one for 32-bit ones (stored under
// HKLM\Software\Wow6432Node); other keys are shared by both. kOwn is the view this program sees
// by default, kOther the one it sees only when it asks for it (KEY_WOW64_64KEY from a 32-bit
// program, KEY_WOW64_32KEY from a 64-bit one).
enum class RegView { kOwn, kOther };

// True where there is an other view: always for a 64-bit program; for a 32-bit one only on 64-bit
// Windows, as IsWow64Process says. False where kernel32 has no IsWow64Process (Windows 2000, XP
// before SP2) or it fails: those systems have one view.
bool HasOtherRegistryView();

// An open registry key. Move-only; the destructor closes it.
class RegKey : public OwnedHandle<RegKey> {
 public:
  RegKey() = default;
  ~RegKey() { Close(); }
  RegKey(RegKey&&) noexcept = default;
  RegKey& operator=(RegKey&&) noexcept = default;

  // RegOpenKeyExA(root, path, 0, access) in `view`. Closes any key held before. On failure the
  // object holds no key. kCurrentUser is the hive of the user whose settings the program follows
  // (platform/settings_user.h): HKEY_USERS\<SID> while another user's is followed. The other view
  // where there is none (HasOtherRegistryView) gives ERROR_FILE_NOT_FOUND without asking the
  // system, so that a caller walking both views never reads its own twice; the view's flag is
  // passed only where there is one.
  [[nodiscard]] long Open(RegRoot root, const char* path, std::uint32_t access,
                          RegView view = RegView::kOwn);

  // RegQueryValueExA. `name` null or "" is the default value; `type` and `data` may be null.
  // With data null the size of the value comes back in *size. A value longer than *size
  // gives ERROR_MORE_DATA with the needed size in *size and the buffer untouched. A missing
  // value gives ERROR_FILE_NOT_FOUND and leaves *size as it was. Text comes back as stored:
  // data written without a terminating zero is read without one (see ReadRegString).
  [[nodiscard]] long QueryValue(const char* name, std::uint32_t* type, void* data,
                                std::uint32_t* size) const;

  // RegSetValueExA(key, name, 0, type, data, size). Text sizes count the terminating zero;
  // REG_MULTI_SZ sizes count both final zeros.
  [[nodiscard]] long SetValue(const char* name, std::uint32_t type, const void* data,
                              std::uint32_t size);

  // RegEnumKeyExA: `*length` is the buffer's size in characters on entry (reset it before
  // every call) and the name's length without the zero on success. A name that does not fit
  // gives ERROR_MORE_DATA; the end of the list gives ERROR_NO_MORE_ITEMS.
  [[nodiscard]] long EnumKeyEx(std::uint32_t index, char* name, std::uint32_t* length) const;

  // RegEnumKeyA: the older form, with the buffer's size passed by value.
  [[nodiscard]] long EnumKey(std::uint32_t index, char* name, std::uint32_t size) const;

  // RegQueryInfoKeyA, the counts only. Either pointer may be null.
  [[nodiscard]] long QueryInfo(std::uint32_t* subKeys, std::uint32_t* values) const;

  bool IsOpen() const { return handle_ != nullptr; }
  void Close();

 private:
  // Open with the root as Windows names it: what each backend implements.
  [[nodiscard]] long OpenKey(RegRoot root, const char* path, std::uint32_t access, RegView view);
};

// Reads a text value into `buffer` (capacity `size` bytes) so that it always ends within the
// buffer: a value stored without its terminating zero is terminated here, and one that then
// no longer fits gives ERROR_MORE_DATA, as a longer value would. On success the buffer holds
// the text, *stored (if given) the bytes read and *type (if given) the value's type; on failure
// all three are untouched.
[[nodiscard]] long ReadRegString(const RegKey& key, const char* name, char* buffer,
                                 std::uint32_t size, std::uint32_t* stored = nullptr,
                                 std::uint32_t* type = nullptr);

}  // namespace platform
