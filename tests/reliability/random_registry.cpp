#include "tests/reliability/random_registry.h"

#include <iterator>

#include "platform/win32_codes.h"
#include "tests/support/full_workstation.h"

namespace random_registry {
namespace {

using platform::RegRoot;

constexpr char kInternetSettings[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
constexpr char kHelpers[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects";
constexpr char kExtensions[] = "Software\\Microsoft\\Internet Explorer\\Extensions";
constexpr char kUninstall[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr char kHotfixes[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Hotfix";
constexpr char kAdapters[] =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}";
constexpr char kCatalog[] =
    "SYSTEM\\CurrentControlSet\\Services\\WinSock2\\Parameters\\Protocol_Catalog9\\Catalog_"
    "Entries\\000000000001";

// Sizes in bytes around every buffer the program reads a value into, and beyond.
constexpr std::uint32_t kSizes[] = {0,   1,   2,   3,   4,    5,    9,    10,   11,   15,   16,
                                    17,  19,  20,  21,  31,   32,   33,   127,  128,  129,  131,
                                    132, 133, 251, 252, 253,  255,  256,  257,  259,  260,  261,
                                    262, 271, 272, 273, 1023, 1024, 1025, 4095, 4096, 65536};

// Words the checks and collectors look for, among others, so that random texts meet them.
const char* const kWords[] = {"compatible",  "MSIE",
                              "Mozilla/4.0", "Windows",
                              "Update",      "Installer",
                              "KB123456",    "Q815021",
                              "Tcpip",       "NetBT",
                              "ethernet",    "tolmard",
                              "MirrelDrv",   "Mirrel Adapter V1.0",
                              "default",     "%SystemRoot%\\system32\\dolvane.dll",
                              "更新",        "客户端",
                              "中文",        " ",
                              "   ",         ";",
                              "...",         "8.0",
                              "(",           ")",
                              "abc",         "\x81\x5c",
                              "\x81\x61"};

// splitmix64: the same numbers on every machine and library.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  std::uint32_t Below(std::uint32_t bound) { return static_cast<std::uint32_t>(Next() % bound); }
  bool Chance(int percent) { return Below(100) < static_cast<std::uint32_t>(percent); }
  template <typename T, std::size_t N>
  const T& Pick(const T (&items)[N]) {
    return items[Below(static_cast<std::uint32_t>(N))];
  }

 private:
  std::uint64_t state_;
};

// A double-byte character of code page 936, whose trail byte may look like ASCII.
std::string DoubleByte(Random& r) {
  const char lead = static_cast<char>(0x81 + r.Below(0x7E));
  char trail = static_cast<char>(0x40 + r.Below(0xBF));
  if (trail == 0x7F) trail = 0x5C;
  return std::string{lead, trail};
}

// Eight bytes at a time of anything but CR and LF.
void AppendAnyBytes(Random& r, std::string& text, std::size_t length) {
  while (text.size() < length) {
    std::uint64_t bits = r.Next();
    for (int i = 0; i < 8; ++i, bits >>= 8) {
      char c = static_cast<char>(bits & 0xFF);
      if (c == '\r' || c == '\n' || c == '\0') c = ' ';
      text += c;
    }
  }
}

// `length` bytes of one of four kinds: words, Chinese text, any bytes, any bytes with zeros.
std::string Bytes(Random& r, std::uint32_t length) {
  std::string text;
  text.reserve(length + 40);
  const std::uint32_t kind = r.Below(4);
  if (kind >= 2) AppendAnyBytes(r, text, length);
  while (text.size() < length) {
    if (kind == 0) {
      text += r.Pick(kWords);
    } else {
      text += r.Chance(60) ? DoubleByte(r) : std::string(1, static_cast<char>('a' + r.Below(26)));
    }
  }
  text.resize(length);  // may end with a lead byte whose trail was cut off
  if (kind == 3 && length > 0) {
    for (std::uint32_t zeros = 1 + r.Below(3); zeros > 0; --zeros) text[r.Below(length)] = '\0';
  }
  if (length > 0 && r.Chance(10)) text.back() = static_cast<char>(0x81 + r.Below(0x7E));
  return text;
}

std::uint32_t AnyType(Random& r) {
  const std::uint32_t types[] = {REG_SZ,     REG_SZ,       REG_SZ,    REG_SZ,   REG_EXPAND_SZ,
                                 REG_BINARY, REG_MULTI_SZ, REG_DWORD, REG_NONE, 11 /* QWORD */};
  return r.Pick(types);
}

// A text value: sometimes a word that matters whole, else random bytes of a random size, with a
// terminating zero more often than not.
RegValue TextValue(Random& r, const char* const* meaningful = nullptr, std::size_t count = 0) {
  if (meaningful != nullptr && r.Chance(40)) {
    return RegValue{REG_SZ, std::string(meaningful[r.Below(static_cast<std::uint32_t>(count))]) +
                                std::string(1, '\0')};
  }
  const std::uint32_t size = r.Chance(70) ? r.Pick(kSizes) : r.Below(64);
  const bool terminated = size > 0 && r.Chance(65);
  std::string data = Bytes(r, terminated ? size - 1 : size);
  if (terminated) data += '\0';
  return RegValue{AnyType(r), data};
}

// A number read as a flag or a state: mostly a DWORD, else anything.
RegValue NumberValue(Random& r) {
  if (r.Chance(40)) return TextValue(r);
  const std::uint32_t numbers[] = {0, 1, 2, 0xFFFFFFFFu, 0x100};
  std::uint32_t number = r.Chance(80) ? r.Pick(numbers) : static_cast<std::uint32_t>(r.Next());
  std::string data(reinterpret_cast<const char*>(&number), 4);
  if (r.Chance(15)) data.resize(r.Below(4));
  return RegValue{REG_DWORD, data};
}

// A binding list: names, each ended by a zero, and the list's own end, sometimes cut short.
RegValue ListValue(Random& r) {
  if (r.Chance(30)) return TextValue(r);
  const char* const names[] = {"NetBT", "Tcpip", "tcpip", "WINS", "LanmanServer", "RasPppoe"};
  std::string data;
  for (std::uint32_t count = r.Below(5); count > 0; --count)
    data += std::string(r.Pick(names)) + '\0';
  if (r.Chance(80)) data += '\0';
  return RegValue{r.Chance(80) ? std::uint32_t{REG_MULTI_SZ} : std::uint32_t{REG_SZ}, data};
}

// The `count`-th key name under its parent: no zero, no backslash of its own, no lead byte
// without its trail; now and then too long for the 256 bytes the walks read names into. Names of
// one parent differ, so that no two entries share a key.
std::string KeyName(Random& r, std::uint32_t count, const char* prefix = "") {
  std::string name = prefix + std::to_string(count);
  const std::uint32_t length = r.Chance(10) ? 250 + r.Below(20) : 1 + r.Below(12);
  while (name.size() < length) {
    if (r.Chance(20)) {
      name += DoubleByte(r);
    } else {
      const char safe[] = "ABCDEF0123456789abcdefxyz{}-_ .";
      name += safe[r.Below(sizeof(safe) - 1)];
    }
  }
  return name;
}

class Filler {
 public:
  Filler(Random& r, platform::sim::Registry& registry) : r_(r), registry_(registry) {}

  // The value, when the dice keep it; the key is there whatever.
  std::optional<RegValue> Put(RegRoot root, const std::string& path, const char* name,
                              const RegValue& value, int percent = 80) {
    registry_.AddKey(root, path);
    if (!r_.Chance(percent)) return std::nullopt;
    registry_.SetValue(root, path, name, value.type, value.data);
    return value;
  }
  bool KeyThere(int percent = 85) { return r_.Chance(percent); }

 private:
  Random& r_;
  platform::sim::Registry& registry_;
};

void FillChecksAndBrowser(Random& r, Filler& put, Written& written) {
  using full_workstation::kSchannel;
  using full_workstation::kUserAgent;
  if (put.KeyThere())
    put.Put(RegRoot::kLocalMachine, kSchannel, "DisableRenegoOnClient", NumberValue(r));
  const char* const compatible[] = {"compatible", "Mozilla/4.0", "compatible; MSIE 8.0", ""};
  const char* const version[] = {"MSIE 8.0", "msie 7.0", "MSIE", "default"};
  for (const RegRoot root : {RegRoot::kCurrentUser, RegRoot::kLocalMachine}) {
    if (!put.KeyThere()) continue;
    for (const auto& [name, words] :
         {std::pair{"Compatible", compatible}, std::pair{"Version", version},
          std::pair{"Platform", compatible}}) {
      if (auto value = put.Put(root, kUserAgent, name, TextValue(r, words, 4))) {
        written.userAgentFields.push_back(*value);
      }
    }
  }
  if (!put.KeyThere()) return;
  for (const char* name : {"User Agent", "AutoConfigURL", "ProxyServer"}) {
    if (auto value = put.Put(RegRoot::kCurrentUser, kInternetSettings, name, TextValue(r))) {
      written.browserTexts.push_back(*value);
    }
  }
  if (auto value =
          put.Put(RegRoot::kCurrentUser, kInternetSettings, "ProxyOverride", TextValue(r))) {
    written.proxyOverrides.push_back(*value);
  }
  put.Put(RegRoot::kCurrentUser, kInternetSettings, "ProxyEnable", NumberValue(r));
  put.Put(RegRoot::kCurrentUser, kInternetSettings, "ProxyHttp1.1", NumberValue(r));
}

void FillBrowserKeys(Random& r, platform::sim::Registry& registry, Filler& put, Written& written) {
  if (put.KeyThere()) {
    registry.AddKey(RegRoot::kLocalMachine, kHelpers);
    for (std::uint32_t count = r.Below(4); count > 0; --count) {
      const std::string id = KeyName(r, count, "{");
      registry.AddKey(RegRoot::kLocalMachine, std::string(kHelpers) + "\\" + id);
      if (!put.KeyThere(70)) continue;
      if (auto value = put.Put(RegRoot::kClassesRoot, "CLSID\\" + id, "", TextValue(r))) {
        written.helperNames.push_back(*value);
      }
    }
  }
  if (put.KeyThere()) {
    registry.AddKey(RegRoot::kLocalMachine, kExtensions);
    for (std::uint32_t count = r.Below(4); count > 0; --count) {
      const std::string path = std::string(kExtensions) + "\\" + KeyName(r, count, "{");
      for (const char* name : {"MenuText", "ButtonText"}) {
        if (auto value = put.Put(RegRoot::kLocalMachine, path, name, TextValue(r), 50)) {
          written.extensionTexts.push_back(*value);
        }
      }
    }
  }
}

void FillSoftware(Random& r, platform::sim::Registry& registry, Filler& put, Written& written) {
  if (put.KeyThere()) {
    registry.AddKey(RegRoot::kLocalMachine, kUninstall);
    const char* const names[] = {"Windows Update KB1", "Tovra 客户端", "Windows Installer 4.5"};
    for (std::uint32_t count = r.Below(6); count > 0; --count) {
      const std::string path = std::string(kUninstall) + "\\" + KeyName(r, count);
      Program program;
      program.name =
          put.Put(RegRoot::kLocalMachine, path, "DisplayName", TextValue(r, names, 3), 85);
      program.version = put.Put(RegRoot::kLocalMachine, path, "DisplayVersion", TextValue(r), 70);
      written.programs.push_back(program);
    }
  }
  if (put.KeyThere()) {
    registry.AddKey(RegRoot::kLocalMachine, kHotfixes);
    const char* const prefixes[] = {"KB", "Q", "kb", "q", "SP"};
    for (std::uint32_t count = r.Below(4); count > 0; --count) {
      const std::string path = std::string(kHotfixes) + "\\" + KeyName(r, count, r.Pick(prefixes));
      put.Put(RegRoot::kLocalMachine, path, "Installed", NumberValue(r));
      if (auto value = put.Put(RegRoot::kLocalMachine, path, "Comments", TextValue(r))) {
        written.hotfixComments.push_back(*value);
      }
    }
  }
}

void FillNetwork(Random& r, platform::sim::Registry& registry, Filler& put) {
  if (put.KeyThere()) {
    registry.AddKey(RegRoot::kLocalMachine, kAdapters);
    const char* const ranges[] = {"ethernet", "Ethernet", "tolmard"};
    const char* const ids[] = {"MirrelDrv", "mirreldrv"};
    const char* const descriptions[] = {"Mirrel Adapter V1.0"};
    const char* const instances[] = {"{5A1C0E7D-0000}"};
    for (std::uint32_t count = r.Below(3); count > 0; --count) {
      const std::string entry = std::string(kAdapters) + "\\000" + std::to_string(r.Below(10));
      put.Put(RegRoot::kLocalMachine, entry + "\\Ndi\\Interfaces", "LowerRange",
              TextValue(r, ranges, 3), 90);
      put.Put(RegRoot::kLocalMachine, entry, "ComponentId", TextValue(r, ids, 2), 90);
      put.Put(RegRoot::kLocalMachine, entry, "DriverDesc", TextValue(r, descriptions, 1), 90);
      put.Put(RegRoot::kLocalMachine, entry, "NetCfgInstanceId", TextValue(r, instances, 1), 90);
      if (put.KeyThere())
        put.Put(RegRoot::kLocalMachine, entry + "\\Linkage", "UpperBind", ListValue(r));
    }
  }
  if (put.KeyThere()) {
    RegValue item = TextValue(r);
    if (r.Chance(50)) {
      item = RegValue{REG_BINARY, r.Chance(50) ? "%SystemRoot%\\system32\\mswsock.dll"
                                               : "%SystemRoot%\\system32\\dolvane.dll"};
      item.data.resize(r.Chance(80) ? 0x3c0 : r.Pick(kSizes), '\0');
    }
    put.Put(RegRoot::kLocalMachine, kCatalog, "PackedCatalogItem", item);
  }
}

}  // namespace

Written Fill(std::uint64_t seed, platform::sim::Registry& registry) {
  Random r(seed);
  Filler put(r, registry);
  Written written;
  FillChecksAndBrowser(r, put, written);
  FillBrowserKeys(r, registry, put, written);
  FillSoftware(r, registry, put, written);
  FillNetwork(r, registry, put);
  return written;
}

std::string TextOf(const RegValue& value) { return value.data.substr(0, value.data.find('\0')); }

std::uint64_t WorkstationSeed(std::uint64_t seed, std::uint64_t index) {
  Random r(seed ^ (index * 0xD1B54A32D192ED03ull));
  return r.Next();
}

}  // namespace random_registry
