// The simulated registry: a tree of keys with typed values, per-key access rules and
// injected faults, answering as the Win32 registry does.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"
#include "platform/sim/bitness_model.h"

namespace platform::sim {

struct RegValue {
  std::uint32_t type = 0;
  std::string data;  // the bytes as stored, terminators included where the writer gave them

  bool operator==(const RegValue&) const = default;
};

// Registry calls that can be told to fail. kOtherView is the question whether there is an other
// view (IsWow64Process), which answers no when it fails.
enum class RegCall { kOpen, kQueryValue, kSetValue, kEnumKey, kQueryInfo, kOtherView };

class Registry {
 public:
  Registry();
  ~Registry();
  Registry(const Registry&) = delete;
  Registry& operator=(const Registry&) = delete;

  // A 32-bit Windows has one view (the default); a 64-bit one has two, and the program's own is
  // that of its bitness. Set through Workstation::SetBitness.
  Registry& SetBitness(Bitness windows, Bitness program);
  // The bitness of the view that `view` names for the program under test.
  Bitness BitnessOf(RegView view) const;
  // Where the key `path` of the view of `view` bits is stored, so that a builder call can
  // address either view: on 64-bit Windows the 32-bit view of HKLM\Software\X is
  // HKLM\Software\Wow6432Node\X, as Windows keeps it, and every other key is shared by both
  // views. Elsewhere the path as it is.
  std::string StoredPath(RegRoot root, std::string_view path, Bitness view) const;

  // Building. Keys are created with all their parents; paths are split at '\\' and, like
  // names, compared without regard to ASCII case. Paths are those of the keys as stored.
  Registry& AddKey(RegRoot root, std::string_view path);
  Registry& SetValue(RegRoot root, std::string_view path, std::string_view name, std::uint32_t type,
                     std::string_view bytes);
  // Text with its terminating zero, as a well-behaved writer stores it.
  Registry& SetString(RegRoot root, std::string_view path, std::string_view name,
                      std::string_view text, std::uint32_t type = 1 /* REG_SZ */);
  Registry& SetDword(RegRoot root, std::string_view path, std::string_view name,
                     std::uint32_t number);
  // The key opens for reading but not for writing, as without administrator rights.
  Registry& DenyWrite(RegRoot root, std::string_view path);
  // Opening the key fails with `code` whatever the access asked for.
  Registry& DenyOpen(RegRoot root, std::string_view path, long code);
  // The next `times` calls of `call` (every one when times < 0) that concern `path` (any key
  // when empty) and `name` (any value when empty) fail with `code` and change nothing.
  Registry& Fail(RegCall call, long code, std::string_view path = {}, std::string_view name = {},
                 int times = -1);

  // Inspecting.
  bool HasKey(RegRoot root, std::string_view path) const;
  std::optional<RegValue> Value(RegRoot root, std::string_view path, std::string_view name) const;
  // Every value of the registry, keyed "HKLM\\PATH : NAME" (path and name upper-cased), and every
  // key, keyed by its path alone: what a test compares before and after a run.
  std::map<std::string, std::optional<RegValue>> Contents() const;
  // Successful RegSetValueExA calls so far.
  int WriteCount() const;
  // Keys opened and not yet closed.
  int OpenKeyCount() const;

  // "HKLM", "HKCU", "HKCR" or "HKU".
  static std::string RootName(RegRoot root);
  // The key a handle is open on, as "HKLM\PATH" (upper case), for the call log.
  std::string Describe(void* handle) const;
  // The bytes a value of an open key holds, 0 when there is no such value; no fault applies.
  std::uint32_t StoredSize(void* handle, const char* name) const;

  // The backend's side: the calls behind RegKey, and HasOtherRegistryView.
  bool HasOtherView();
  long Open(RegRoot root, const char* path, std::uint32_t access, RegView view, void** handle);
  long QueryValue(void* handle, const char* name, std::uint32_t* type, void* data,
                  std::uint32_t* size);
  long SetValue(void* handle, const char* name, std::uint32_t type, const void* data,
                std::uint32_t size);
  long EnumKey(void* handle, std::uint32_t index, char* name, std::uint32_t* length);
  long QueryInfo(void* handle, std::uint32_t* subKeys, std::uint32_t* values);
  void Close(void* handle);

 private:
  struct Key;
  struct Handle;
  struct Fault {
    RegCall call;
    long code;
    std::string path;
    std::string name;
    int times;
  };

  Key* Find(RegRoot root, std::string_view path) const;
  // `folded` as FoldPath makes it: parts upper-cased, one backslash between them.
  Key* FindFolded(RegRoot root, std::string_view folded) const;
  Key& Make(RegRoot root, std::string_view path);
  long TakeFault(RegCall call, const std::string& path, std::string_view name);
  std::string StoredPathLocked(RegRoot root, std::string_view path, Bitness view) const;
  bool HasOtherViewLocked();

  mutable std::mutex mutex_;
  std::map<RegRoot, std::unique_ptr<Key>> roots_;
  std::vector<Fault> faults_;
  int writes_ = 0;
  int openKeys_ = 0;
  Bitness windows_ = Bitness::k32;
  Bitness program_ = Bitness::k32;
};

}  // namespace platform::sim
