// Drives vantik.exe under Wine as a user would: seeds two abnormal settings, presses the
// buttons of the main dialog, reads the result list from the other process, opens the about
// box from the system menu, exports the diagnostic archive through the Save As dialog and
// closes the program, taking screenshots on the way.
//
//   gui_driver.exe [--export-only] [--client-findings] [--expect-refusal]
//                  [--working-folder <folder>] [--archive PATH] [--closing-line TEXT]...
//                  <vantik.exe> <screenshot folder> <export folder>
//
// All paths are Windows paths; the export folder must exist, and the archive is written there
// as "Vantik export.zip" unless --archive names another (the Save As dialog's question before
// replacing a file is answered yes). --export-only skips the seeding, the buttons and the about
// box, for a run on a prefix set to another Windows version. --client-findings expects a prefix
// that client_findings_prepare seeded (the client's service installed and stopped, a hosts file
// that redirects names, a proxy without a local bypass): the client's rows are shown, its
// service row turns normal with the repair, and in place of the about box it reads the findings
// that a double-click or Enter on a row shows. --expect-refusal expects the program to refuse to
// start, as it must beside a "vantik.exe.local" redirection: its message box and nothing else,
// then its end. --working-folder starts the program in that folder (by default in the driver's
// own). --closing-line expects the export to fail: its closing message must be these lines, and
// no "导出完毕!" may show; the caller checks what lies at the target.
// Prints one PASS or FAIL line per check and exits 0 only when every check passed.
#include "platform/win32/windows_api.h"

#include <commctrl.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

// Every wait is bounded, so a program that hangs fails the test instead of blocking CI.
constexpr DWORD kPollMs = 50;
constexpr DWORD kStartTimeoutMs = 30000;
constexpr DWORD kProgressAppearTimeoutMs = 10000;
constexpr DWORD kRunTimeoutMs = 45000;
constexpr DWORD kRowsTimeoutMs = 3000;
constexpr DWORD kAboutTimeoutMs = 10000;
constexpr DWORD kDetailsTimeoutMs = 10000;
constexpr DWORD kExitTimeoutMs = 15000;
// The report is composed before the Save As dialog opens.
constexpr DWORD kSaveAsTimeoutMs = 30000;
constexpr DWORD kDialogCloseTimeoutMs = 10000;
// The export runs real cmd.exe commands (ipconfig, netsh, wmic) one after another.
constexpr DWORD kExportTimeoutMs = 120000;
constexpr UINT kSendTimeoutMs = 5000;
// Time for a window to paint itself before a screenshot; the driver cannot see paint end.
constexpr DWORD kSettleMs = 400;
// A shorter wait for dialogs that may close at any moment.
constexpr DWORD kProgressPaintMs = 150;

constexpr int kResultList = 1000;
constexpr int kDiagnose = 1001;
constexpr int kRepair = 1002;
constexpr int kExport = 1003;
// The progress dialog's bar; the other dialogs of the program have no control of this id.
constexpr int kProgressBar = 1006;
// The Save As dialog's file name box: a combo box with an edit inside in the Explorer style,
// a plain edit in the old style. 1136 is the file type box.
constexpr int kNameCombo = 1148;
constexpr int kOldStyleNameEdit = 1152;
constexpr int kFileTypeCombo = 1136;
// A message box shows its text in a static of this id.
constexpr int kMessageText = 0xFFFF;
constexpr UINT kAboutCommand = 0x0010;

constexpr char kDialogClass[] = "#32770";
constexpr char kMainCaption[] = "Vantik";
constexpr char kAboutCaption[] = "About Vantik";
// The program's message boxes carry the executable's name.
constexpr char kBoxCaption[] = "vantik";
// A space in both the folder and the name: the program quotes every path it hands to cmd.exe.
constexpr char kArchiveName[] = "Vantik export.zip";
// Each export works in a folder of its own in the temporary folder, named so, until it ends.
constexpr char kRunFolders[] = "Vantik-*";
constexpr char kLogName[] = "Vantik.log";

constexpr char kSchannel[] = "System\\CurrentControlSet\\Control\\SecurityProviders\\SCHANNEL";
constexpr char kRenego[] = "DisableRenegoOnClient";
constexpr char kUserAgent[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\5.0\\User Agent";

// The literals below are compiled to GBK, the bytes the program's A-functions hand to the list.
// The rows' texts: the two settings', then the diagnosis's.
constexpr char kRenegoRow[] = "检查windows补丁是否有影响";
constexpr char kUserAgentRow[] = "检查浏览器的UserAgent信息是否正常";
constexpr char kClientServiceRow[] = "检查Tovra客户端服务是否正常";
constexpr char kVirtualAdapterRow[] = "检查Tovra虚拟网卡是否正常";
constexpr char kClientComponentsRow[] = "检查Tovra客户端组件是否完整";
constexpr char kNetworkRow[] = "检查网络连接是否正常";
constexpr char kProxyRow[] = "检查浏览器代理设置是否正常";
constexpr char kHostsRow[] = "检查HOSTS文件是否正常";
constexpr char kClockRow[] = "检查系统时间是否正常";
constexpr char kDriveSpaceRow[] = "检查系统盘剩余空间是否充足";

// What a row shows: abnormal until the first repair and normal from then on, abnormal whatever
// is repaired, or what Wine's own workstation gives (either result passes).
enum class RowState { kRepaired, kAbnormal, kWorkstation };

struct RowExpectation {
  const char* text;
  RowState state;
};

// A prefix without the VPN client: its service's row says so, which hides the adapter and
// component rows.
constexpr RowExpectation kRowsWithoutClient[] = {
    {kRenegoRow, RowState::kRepaired},        {kUserAgentRow, RowState::kRepaired},
    {kClientServiceRow, RowState::kAbnormal}, {kNetworkRow, RowState::kWorkstation},
    {kProxyRow, RowState::kWorkstation},      {kHostsRow, RowState::kWorkstation},
    {kClockRow, RowState::kWorkstation},      {kDriveSpaceRow, RowState::kWorkstation}};

// The prefix that client_findings_prepare seeds: the client is there (its service, stopped), so
// its adapter and component rows show too, abnormal as Wine has neither its adapter nor its
// components. The repair starts the service; nothing repairs the proxy or the hosts file.
constexpr RowExpectation kRowsWithClientFindings[] = {{kRenegoRow, RowState::kRepaired},
                                                      {kUserAgentRow, RowState::kRepaired},
                                                      {kClientServiceRow, RowState::kRepaired},
                                                      {kVirtualAdapterRow, RowState::kAbnormal},
                                                      {kClientComponentsRow, RowState::kAbnormal},
                                                      {kNetworkRow, RowState::kWorkstation},
                                                      {kProxyRow, RowState::kAbnormal},
                                                      {kHostsRow, RowState::kAbnormal},
                                                      {kClockRow, RowState::kWorkstation},
                                                      {kDriveSpaceRow, RowState::kWorkstation}};

// How a user opens a row's details.
enum class Gesture { kDoubleClick, kEnter };

// What the details of a row must hold, each a whole line, after the row's title: the seeded
// findings with their ids, titles and evidence (client_findings_prepare seeds the values), and
// the line of a normal row.
constexpr const char* kServiceStoppedDetails[] = {"[client_service_stopped] Quorv服务未启动",
                                                  "依据：QuorvService: stopped, start type 3"};
constexpr const char* kProxyDetails[] = {
    "[proxy_without_local_bypass] 代理未绕过本地地址",
    "依据：ProxyEnable=1; ProxyServer=proxy.tovra-test.example:3128; "
    "ProxyOverride=*.tovra-test.example;10.*"};
constexpr const char* kHostsDetails[] = {
    "[hosts_redirects_names] HOSTS文件改写了域名",
    "依据：gateway.tovra-test.example -> 10.20.30.40, vpn.tovra-test.example -> 10.20.30.40"};
constexpr const char* kNormalDetails[] = {"此项正常，未发现问题。"};
// The caption of the box that shows a row's details.
constexpr char kDetailsCaption[] = "详细信息";

const std::string kNormal = "正常";
const std::string kAbnormal = "异常";
// Image indexes of the result icons in the list's image list.
constexpr int kNormalImage = 0;
constexpr int kAbnormalImage = 2;
// "导出完毕!" in code page 936, written in hex so that it does not depend on how this file is
// compiled: the box is told apart from every other one by these bytes.
const std::string kExportDone = "\xb5\xbc\xb3\xf6\xcd\xea\xb1\xcf!";
// The refusal beside a redirection file, which names the file: "程序所在的文件夹中有 " (the
// first two characters pinned in hex, b3 cc d0 f2), the name, and the rest of the text.
const std::string kRefusalStart = "\xb3\xcc\xd0\xf2所在的文件夹中有 ";
const std::string kRefusalEnd =
    "，它会让系统从这个文件夹加载组件。为了安全，程序不能启动。请删除它，或将程序放到一个新的"
    "文件夹中再运行。";

// ---- handles -------------------------------------------------------------------------------

class Handle {
 public:
  Handle() = default;
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() { Reset(); }
  Handle(Handle&& other) noexcept : h_(std::exchange(other.h_, nullptr)) {}
  Handle& operator=(Handle&& other) noexcept {
    if (this != &other) {
      Reset();
      h_ = std::exchange(other.h_, nullptr);
    }
    return *this;
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return h_; }
  bool valid() const { return h_ != nullptr && h_ != INVALID_HANDLE_VALUE; }

 private:
  void Reset() {
    if (valid()) CloseHandle(h_);
    h_ = nullptr;
  }
  HANDLE h_ = nullptr;
};

class RegKey {
 public:
  RegKey() = default;
  ~RegKey() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  HKEY* out() { return &key_; }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

class ScreenDc {
 public:
  ScreenDc() : dc_(GetDC(nullptr)) {}
  ~ScreenDc() {
    if (dc_ != nullptr) ReleaseDC(nullptr, dc_);
  }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

class MemoryDc {
 public:
  explicit MemoryDc(HDC compatible) : dc_(CreateCompatibleDC(compatible)) {}
  ~MemoryDc() {
    if (dc_ != nullptr) DeleteDC(dc_);
  }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

class Bitmap {
 public:
  explicit Bitmap(HBITMAP bitmap) : bitmap_(bitmap) {}
  ~Bitmap() {
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
  }
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;
  HBITMAP get() const { return bitmap_; }

 private:
  HBITMAP bitmap_;
};

// Puts the DC's previous object back, so the bitmap is free again for GetDIBits and deletion.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~Selection() {
    if (previous_ != nullptr && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;
  bool ok() const { return previous_ != nullptr && previous_ != HGDI_ERROR; }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// Memory in the program's address space, for the list view messages that carry pointers.
class RemoteMemory {
 public:
  RemoteMemory(HANDLE process, std::size_t size)
      : process_(process),
        address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {
  }
  ~RemoteMemory() {
    if (address_ != nullptr) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
  }
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;
  char* get() const { return static_cast<char*>(address_); }

 private:
  HANDLE process_;
  void* address_;
};

// ---- reporting -----------------------------------------------------------------------------

std::string Hex(const std::string& bytes) {
  std::string out;
  char byte[4];
  for (unsigned char c : bytes) {
    std::snprintf(byte, sizeof byte, "%s%02x", out.empty() ? "" : " ", c);
    out += byte;
  }
  return out.empty() ? "(empty)" : out;
}

// Appends instead of `"x" + temporary`, which GCC 12 at -O2 wrongly flags under -Wrestrict.
std::string Enclose(const char* open, const std::string& text, const char* close) {
  std::string out(open);
  out += text;
  out += close;
  return out;
}

// The log is read on a UTF-8 terminal: code page 936 text is shown converted. Nothing when the
// bytes are not valid code page 936 text.
std::optional<std::string> Utf8(const std::string& gbk) {
  if (gbk.empty()) return std::string();
  const int wide_size = MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, gbk.data(),
                                            static_cast<int>(gbk.size()), nullptr, 0);
  if (wide_size <= 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(wide_size), L'\0');
  MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), wide.data(), wide_size);
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_size, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_size, utf8.data(), size, nullptr, nullptr);
  return utf8;
}

// Text read from the program, quoted, or its bytes in hex when it is not code page 936 text.
std::string Readable(const std::string& gbk) {
  const auto utf8 = Utf8(gbk);
  return utf8 ? Enclose("\"", *utf8, "\"") : Enclose("<", Hex(gbk), ">");
}

class Checks {
 public:
  void Expect(bool ok, const std::string& what, const std::string& detail) {
    // Check names may hold the program's Chinese texts, compiled to code page 936.
    const std::string name = Utf8(what).value_or(what);
    std::printf("%s %s: %s\n", ok ? "PASS" : "FAIL", name.c_str(), detail.c_str());
    std::fflush(stdout);
    if (!ok) ++failed_;
    ++total_;
  }
  void ExpectText(const std::string& what, const std::optional<std::string>& seen,
                  const std::string& expected) {
    if (!seen) {
      Expect(false, what, "could not be read, expected " + Readable(expected));
    } else if (*seen == expected) {
      Expect(true, what, Readable(*seen));
    } else {
      Expect(false, what,
             Readable(*seen) + " [" + Hex(*seen) + "], expected " + Readable(expected) + " [" +
                 Hex(expected) + "]");
    }
  }
  void Note(const std::string& text) {
    std::printf("NOTE %s\n", text.c_str());
    std::fflush(stdout);
  }
  int failed() const { return failed_; }
  int total() const { return total_; }

 private:
  int failed_ = 0;
  int total_ = 0;
};

// ---- waiting -------------------------------------------------------------------------------

// Polls `done` until it holds or `timeout_ms` has passed; true if it held.
template <class Done>
bool WaitFor(DWORD timeout_ms, Done done) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (done()) return true;
    if (GetTickCount() - start >= timeout_ms) return false;
    Sleep(kPollMs);
  }
}

// ---- registry ------------------------------------------------------------------------------

LONG SetValue(HKEY root, const char* path, const char* name, DWORD type, const void* data,
              DWORD size) {
  RegKey key;
  const LONG created =
      RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.out(), nullptr);
  if (created != ERROR_SUCCESS) return created;
  return RegSetValueExA(key.get(), name, 0, type, static_cast<const BYTE*>(data), size);
}

struct RegValue {
  DWORD type;
  std::string data;
};

std::optional<RegValue> GetValue(HKEY root, const char* path, const char* name) {
  RegKey key;
  if (RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE, key.out()) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  char data[512] = {};
  DWORD size = sizeof data;
  DWORD type = 0;
  if (RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  return RegValue{type, std::string(data, size)};
}

std::string Describe(const std::optional<RegValue>& value) {
  if (!value) return "absent";
  return "type " + std::to_string(value->type) + ", bytes " + Hex(value->data);
}

// ---- windows of the program ----------------------------------------------------------------

DWORD WindowProcess(HWND hwnd) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  return pid;
}

std::string ClassOf(HWND hwnd) {
  char name[64] = {};
  const int length = GetClassNameA(hwnd, name, sizeof name);
  return std::string(name, static_cast<std::size_t>(length > 0 ? length : 0));
}

// WM_GETTEXT is marshalled across processes; GetWindowText would not ask the control.
std::optional<std::string> TextOf(HWND hwnd) {
  // Room for a row's details, the longest text the program shows in a box.
  char text[4096] = {};
  DWORD_PTR length = 0;
  if (SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                          SMTO_ABORTIFHUNG, kSendTimeoutMs, &length) == 0) {
    return std::nullopt;
  }
  return std::string(text, length < sizeof text ? length : sizeof text - 1);
}

struct WindowSearch {
  DWORD pid;
  const char* window_class;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  if (IsWindowVisible(hwnd) && WindowProcess(hwnd) == search->pid &&
      ClassOf(hwnd) == search->window_class) {
    search->found.push_back(hwnd);
  }
  return TRUE;
}

// The visible top-level windows of one class that belong to the program.
std::vector<HWND> VisibleWindows(DWORD pid, const char* window_class) {
  WindowSearch search{pid, window_class, {}};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The progress dialog, or any other box the program shows over its main dialog.
HWND FindOtherDialog(DWORD pid, HWND main) {
  for (HWND hwnd : VisibleWindows(pid, kDialogClass)) {
    if (hwnd != main) return hwnd;
  }
  return nullptr;
}

bool IsSaveAs(HWND dialog) {
  return GetDlgItem(dialog, kNameCombo) != nullptr ||
         GetDlgItem(dialog, kOldStyleNameEdit) != nullptr;
}

bool IsMessageBox(HWND dialog) {
  return GetDlgItem(dialog, kMessageText) != nullptr && !IsSaveAs(dialog);
}

// The Save As dialog's own question before it replaces a file: the one box with a Yes button.
bool IsReplaceQuestion(HWND dialog) {
  return IsMessageBox(dialog) && GetDlgItem(dialog, IDYES) != nullptr;
}

HWND FindDialog(DWORD pid, bool (*matches)(HWND)) {
  for (HWND hwnd : VisibleWindows(pid, kDialogClass)) {
    if (matches(hwnd)) return hwnd;
  }
  return nullptr;
}

bool IsProgress(HWND dialog) { return GetDlgItem(dialog, kProgressBar) != nullptr; }

bool IsMainDialog(HWND dialog) { return GetDlgItem(dialog, kResultList) != nullptr; }

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Returns once the program has handled everything posted before, then lets it paint.
void Settle(HWND hwnd) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &ignored);
  Sleep(kSettleMs);
}

// ---- the program's process -----------------------------------------------------------------

// The started vantik.exe. If the driver leaves early, it ends the program so that no Wine
// process outlives the test.
class Program {
 public:
  // Starts `exe` in `folder`, or in the driver's own current folder when it is empty.
  bool Start(const std::string& exe, const std::string& folder) {
    std::string command = "\"" + exe + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
      error_ = GetLastError();
      return false;
    }
    process_ = Handle(info.hProcess);
    Handle thread(info.hThread);  // not needed: closed at once
    pid_ = info.dwProcessId;
    return true;
  }
  ~Program() {
    if (Running()) Terminate();
  }
  bool Running() const {
    return process_.valid() && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
  }
  bool WaitExit(DWORD timeout_ms) const {
    return WaitForSingleObject(process_.get(), timeout_ms) == WAIT_OBJECT_0;
  }
  void Terminate() const {
    TerminateProcess(process_.get(), 1);
    WaitForSingleObject(process_.get(), kExitTimeoutMs);
  }
  DWORD ExitCode() const {
    DWORD code = 0;
    GetExitCodeProcess(process_.get(), &code);
    return code;
  }
  HANDLE handle() const { return process_.get(); }
  DWORD pid() const { return pid_; }
  DWORD error() const { return error_; }

 private:
  Handle process_;
  DWORD pid_ = 0;
  DWORD error_ = 0;
};

// ---- the list view, read from the other process ---------------------------------------------

constexpr int kTextCapacity = 512;

// An LVITEMA or LVCOLUMNA followed by its text buffer, laid out the same in both processes
// (the driver and the program are both x86_64).
template <class Record>
struct RemoteRecord {
  Record record;
  char text[kTextCapacity];
};

class ListReader {
 public:
  ListReader(HANDLE process, HWND list) : process_(process), list_(list) {}

  std::optional<int> RowCount() const {
    DWORD_PTR count = 0;
    if (!Send(LVM_GETITEMCOUNT, 0, 0, &count)) return std::nullopt;
    return static_cast<int>(count);
  }

  std::optional<int> ColumnCount() const {
    DWORD_PTR header = 0;
    if (!Send(LVM_GETHEADER, 0, 0, &header) || header == 0) return std::nullopt;
    DWORD_PTR count = 0;
    if (SendMessageTimeoutA(reinterpret_cast<HWND>(header), HDM_GETITEMCOUNT, 0, 0,
                            SMTO_ABORTIFHUNG, kSendTimeoutMs, &count) == 0) {
      return std::nullopt;
    }
    return static_cast<int>(static_cast<LONG_PTR>(count));
  }

  std::optional<std::string> ItemText(int row, int subitem) const {
    LVITEMA item{};
    item.iSubItem = subitem;
    item.cchTextMax = kTextCapacity;
    return Exchange(item, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), nullptr);
  }

  std::optional<int> ItemImage(int row) const {
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    LVITEMA back{};
    if (!Exchange(item, LVM_GETITEMA, 0, &back)) return std::nullopt;
    return back.iImage;
  }

  std::optional<std::string> ColumnText(int column) const {
    LVCOLUMNA heading{};
    heading.mask = LVCF_TEXT;
    heading.cchTextMax = kTextCapacity;
    return Exchange(heading, LVM_GETCOLUMNA, static_cast<WPARAM>(column), nullptr);
  }

  // The row's whole rectangle, in the list's client coordinates.
  std::optional<RECT> ItemRect(int row) const {
    RemoteMemory remote(process_, sizeof(RECT));
    RECT rect{};
    rect.left = LVIR_BOUNDS;
    DWORD_PTR result = 0;
    if (!RoundTrip(remote, rect, LVM_GETITEMRECT, static_cast<WPARAM>(row), &result) ||
        result == 0) {
      return std::nullopt;
    }
    return rect;
  }

 private:
  bool Send(UINT message, WPARAM wparam, LPARAM lparam, DWORD_PTR* result) const {
    return SendMessageTimeoutA(list_, message, wparam, lparam, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                               result) != 0;
  }

  // Copies `local` into `remote`, sends `message` with its address there, and copies what the
  // control left there back into `local`.
  template <class Local>
  bool RoundTrip(const RemoteMemory& remote, Local& local, UINT message, WPARAM wparam,
                 DWORD_PTR* result) const {
    SIZE_T moved = 0;
    return remote.get() != nullptr &&
           WriteProcessMemory(process_, remote.get(), &local, sizeof local, &moved) &&
           moved == sizeof local &&
           Send(message, wparam, reinterpret_cast<LPARAM>(remote.get()), result) &&
           ReadProcessMemory(process_, remote.get(), &local, sizeof local, &moved) &&
           moved == sizeof local;
  }

  // Copies `record` with an empty text buffer into the program, sends `message` with its
  // address, and copies it back. Returns the text the control wrote; `back` gets the record.
  template <class Record>
  std::optional<std::string> Exchange(const Record& record, UINT message, WPARAM wparam,
                                      std::type_identity_t<Record>* back) const {
    RemoteMemory remote(process_, sizeof(RemoteRecord<Record>));
    RemoteRecord<Record> local{};
    local.record = record;
    local.record.pszText = remote.get() + offsetof(RemoteRecord<Record>, text);
    DWORD_PTR result = 0;
    if (!RoundTrip(remote, local, message, wparam, &result)) return std::nullopt;
    // LVM_GETITEMTEXTA answers with a length; the other two with TRUE or FALSE.
    if (message != LVM_GETITEMTEXTA && result == 0) return std::nullopt;
    if (back != nullptr) *back = local.record;
    std::size_t length = 0;
    while (length < sizeof local.text && local.text[length] != '\0') ++length;
    return std::string(local.text, length);
  }

  HANDLE process_;
  HWND list_;
};

// ---- screenshots ---------------------------------------------------------------------------

bool WriteAll(HANDLE file, const void* data, DWORD size) {
  DWORD written = 0;
  return WriteFile(file, data, size, &written, nullptr) && written == size;
}

// The whole screen as a 24-bit bottom-up BMP; the wrapper script turns it into a PNG.
bool Screenshot(const std::string& folder, const std::string& name) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  if (width <= 0 || height <= 0) return false;
  ScreenDc screen;
  if (screen.get() == nullptr) return false;
  MemoryDc memory(screen.get());
  Bitmap bitmap(CreateCompatibleBitmap(screen.get(), width, height));
  if (memory.get() == nullptr || bitmap.get() == nullptr) return false;
  {
    Selection selected(memory.get(), bitmap.get());
    if (!selected.ok() || !BitBlt(memory.get(), 0, 0, width, height, screen.get(), 0, 0, SRCCOPY)) {
      return false;
    }
  }
  const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
  const DWORD image_size = stride * static_cast<DWORD>(height);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  info.bmiHeader.biSizeImage = image_size;
  std::vector<char> pixels(image_size);
  if (GetDIBits(screen.get(), bitmap.get(), 0, static_cast<UINT>(height), pixels.data(), &info,
                DIB_RGB_COLORS) != height) {
    return false;
  }
  BITMAPFILEHEADER file_header{};
  file_header.bfType = 0x4D42;  // "BM"
  file_header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  file_header.bfSize = file_header.bfOffBits + image_size;
  const std::string path = folder + "\\" + name + ".bmp";
  Handle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  return WriteAll(file.get(), &file_header, sizeof file_header) &&
         WriteAll(file.get(), &info.bmiHeader, sizeof info.bmiHeader) &&
         WriteAll(file.get(), pixels.data(), image_size);
}

// ---- the scenario --------------------------------------------------------------------------

struct Row {
  std::string text;
  std::string result;
  int image;
  bool operator==(const Row&) const = default;
};

std::string Describe(const std::vector<Row>& rows) {
  std::string out = std::to_string(rows.size()) + " rows";
  for (const Row& row : rows) {
    out += "; ";
    out += Readable(row.text);
    out += " ";
    out += Readable(row.result);
    out += " image ";
    out += std::to_string(row.image);
  }
  return out;
}

// What matches a pattern of FindFirstFileA, by name.
std::vector<std::string> Matching(const std::string& pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found{};
  const HANDLE search = FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    names.push_back(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

// The temporary folder with its trailing backslash, as the program gets it in the same prefix.
std::string TempFolder() {
  char buffer[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathA(sizeof buffer, buffer);
  if (length == 0 || length >= sizeof buffer) return {};
  return std::string(buffer, length);
}

// The Windows version that programs of this prefix see, for the log of a run.
std::string WindowsVersion() {
  OSVERSIONINFOEXA info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) return "unreadable";
  char text[96];
  std::snprintf(text, sizeof text, "%lu.%lu.%lu, service pack %u, product type %u",
                static_cast<unsigned long>(info.dwMajorVersion),
                static_cast<unsigned long>(info.dwMinorVersion),
                static_cast<unsigned long>(info.dwBuildNumber),
                static_cast<unsigned>(info.wServicePackMajor),
                static_cast<unsigned>(info.wProductType));
  return text;
}

class Driver {
 public:
  Driver(Program& program, std::string shots, std::span<const RowExpectation> expected_rows)
      : program_(program), shots_(std::move(shots)), expected_rows_(expected_rows) {}

  void Shot(const std::string& name, bool required) {
    if (required && main_ != nullptr) Settle(main_);
    const bool saved = Screenshot(shots_, name);
    if (required) {
      checks_.Expect(saved, "screenshot " + name, saved ? "saved" : "could not be saved");
    } else if (!saved) {
      checks_.Note("screenshot " + name + " could not be saved");
    }
  }

  bool SeedRegistry() {
    const DWORD one = 1;
    const LONG renego = SetValue(HKEY_LOCAL_MACHINE, kSchannel, kRenego, REG_DWORD, &one, 4);
    checks_.Expect(renego == ERROR_SUCCESS, "seed SCHANNEL DisableRenegoOnClient = 1",
                   "error " + std::to_string(renego));
    static const char kMozilla[] = "Mozilla/4.0";
    const LONG agent =
        SetValue(HKEY_CURRENT_USER, kUserAgent, "Compatible", REG_SZ, kMozilla, sizeof kMozilla);
    checks_.Expect(agent == ERROR_SUCCESS, "seed user Compatible = Mozilla/4.0",
                   "error " + std::to_string(agent));
    return renego == ERROR_SUCCESS && agent == ERROR_SUCCESS;
  }

  bool FindMain() {
    const bool found = WaitFor(kStartTimeoutMs, [&] {
      main_ = FindWindowA(kDialogClass, kMainCaption);
      return (main_ != nullptr && IsWindowVisible(main_)) || !program_.Running();
    });
    const bool ok = found && main_ != nullptr && IsWindowVisible(main_);
    checks_.Expect(ok, "main dialog \"Vantik\" shows",
                   ok ? "found" : (program_.Running() ? "not within 30 s" : "program ended"));
    if (!ok) return false;
    const DWORD owner_pid = WindowProcess(main_);
    checks_.Expect(
        owner_pid == program_.pid(), "main dialog belongs to the started program",
        "pid " + std::to_string(owner_pid) + ", started " + std::to_string(program_.pid()));
    list_ = GetDlgItem(main_, kResultList);
    const std::string list_class = list_ != nullptr ? ClassOf(list_) : "(no control 1000)";
    checks_.Expect(list_class == "SysListView32", "control 1000 is a list view", list_class);
    return owner_pid == program_.pid() && list_ != nullptr;
  }

  void CheckStart() {
    Shot("01-start", true);
    ListReader reader(program_.handle(), list_);
    const auto rows = reader.RowCount();
    checks_.Expect(rows && *rows == 0, "start: list is empty",
                   rows ? std::to_string(*rows) + " rows" : "row count unreadable");
    const auto columns = reader.ColumnCount();
    checks_.Expect(columns && *columns == 2, "start: list has two columns",
                   columns ? std::to_string(*columns) + " columns" : "column count unreadable");
    checks_.ExpectText("start: heading of column 0", reader.ColumnText(0), "检查项");
    checks_.ExpectText("start: heading of column 1", reader.ColumnText(1), "结果");
    checks_.ExpectText("button 1001", TextOf(GetDlgItem(main_, kDiagnose)), "一键诊断");
    checks_.ExpectText("button 1002", TextOf(GetDlgItem(main_, kRepair)), "一键修复");
  }

  // Presses a button, follows the progress dialog it opens until it has closed again, and
  // returns false when the run did not end (the program's state is then unknown).
  bool Run(const std::string& label, int button_id, const char* progress_shot) {
    HWND button = GetDlgItem(main_, button_id);
    if (button == nullptr) {
      checks_.Expect(false, label + ": button " + std::to_string(button_id), "missing");
      return false;
    }
    // PostMessage: SendMessage would block for as long as the modal progress dialog runs.
    PostMessageA(main_, WM_COMMAND, MAKEWPARAM(button_id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));

    HWND progress = nullptr;
    const bool appeared = WaitFor(kProgressAppearTimeoutMs, [&] {
      progress = FindOtherDialog(program_.pid(), main_);
      return progress != nullptr || !program_.Running();
    });
    checks_.Expect(appeared && progress != nullptr, label + ": progress dialog opens",
                   progress != nullptr ? "seen" : "not seen within 10 s");
    if (progress == nullptr) return Idle();

    // A modal dialog disables its owner before it shows itself.
    const bool main_enabled = IsWindowEnabled(main_);
    const HWND owner = GetWindow(progress, GW_OWNER);
    const auto style = static_cast<unsigned long>(GetWindowLongA(progress, GWL_STYLE));
    char style_text[32];
    std::snprintf(style_text, sizeof style_text, "style 0x%08lx", style);
    checks_.Expect(owner == main_, label + ": progress dialog is owned by the main dialog",
                   owner == main_ ? "yes" : "owner differs");
    checks_.Expect((style & WS_CAPTION) != WS_CAPTION, label + ": progress dialog has no title",
                   style_text);
    checks_.Expect(!main_enabled, label + ": main dialog is disabled while it runs",
                   main_enabled ? "enabled" : "disabled");
    if (progress_shot != nullptr) {
      // Best effort: the dialog may close before it has painted.
      Sleep(kProgressPaintMs);
      if (FindOtherDialog(program_.pid(), main_) != nullptr) {
        Shot(progress_shot, false);
      } else {
        checks_.Note(std::string(progress_shot) + " skipped: the run ended too soon");
      }
    }

    const bool ended = WaitFor(kRunTimeoutMs, [&] { return !program_.Running() || Idle(); });
    const bool ok = ended && program_.Running();
    checks_.Expect(
        ok, label + ": progress dialog closes by itself",
        ok ? "closed" : (program_.Running() ? "still open after 45 s" : "program ended"));
    return ok;
  }

  std::vector<Row> ReadRows(std::size_t expected) {
    ListReader reader(program_.handle(), list_);
    // Results are posted before the progress dialog closes; give the list a moment anyway.
    WaitFor(kRowsTimeoutMs, [&] {
      const auto count = reader.RowCount();
      return count && *count >= static_cast<int>(expected);
    });
    std::vector<Row> rows;
    const int count = reader.RowCount().value_or(-1);
    for (int i = 0; i < count && i < 50; ++i) {
      rows.push_back(Row{reader.ItemText(i, 0).value_or("<unreadable>"),
                         reader.ItemText(i, 1).value_or("<unreadable>"),
                         reader.ItemImage(i).value_or(-1)});
    }
    return rows;
  }

  // The rows against the driver's expectations, before or after the first repair.
  void CheckRows(const std::string& label, bool repaired) {
    const std::size_t expected = expected_rows_.size();
    const std::vector<Row> rows = ReadRows(expected);
    checks_.Expect(rows.size() == expected, label + ": list has its rows",
                   std::to_string(rows.size()) + " rows, expected " + std::to_string(expected));
    for (std::size_t i = 0; i < expected; ++i) {
      const std::string row = label + ": row " + std::to_string(i);
      if (i >= rows.size()) {
        checks_.Expect(false, row, "missing");
        continue;
      }
      const RowExpectation& expectation = expected_rows_[i];
      checks_.ExpectText(row + " text", rows[i].text, expectation.text);
      if (expectation.state == RowState::kWorkstation) {
        checks_.Expect(rows[i].result == kNormal || rows[i].result == kAbnormal, row + " result",
                       Readable(rows[i].result));
        continue;
      }
      const bool normal = repaired && expectation.state == RowState::kRepaired;
      checks_.ExpectText(row + " result", rows[i].result, normal ? kNormal : kAbnormal);
      const int wanted = normal ? kNormalImage : kAbnormalImage;
      checks_.Expect(
          rows[i].image == wanted, row + " icon",
          "image " + std::to_string(rows[i].image) + ", expected " + std::to_string(wanted));
    }
  }

  // Opens the details of the row that reads `row_text` by `gesture`, as a user would: a
  // double-click on it, or a click and Enter. The box must show the row's title, an empty line,
  // and each of `lines` as a line of its own. Closes it with OK; returns whether the program is
  // idle afterwards.
  bool CheckDetails(const std::string& label, const char* row_text, Gesture gesture,
                    std::span<const char* const> lines, const std::string& shot) {
    const std::vector<Row> rows = ReadRows(expected_rows_.size());
    const auto found = std::find_if(rows.begin(), rows.end(),
                                    [&](const Row& row) { return row.text == row_text; });
    const int index = static_cast<int>(found - rows.begin());
    // Scrolled into view first, as a user would: ten rows are more than the list shows at once.
    DWORD_PTR ignored = 0;
    if (found != rows.end()) {
      SendMessageTimeoutA(list_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE,
                          SMTO_ABORTIFHUNG, kSendTimeoutMs, &ignored);
    }
    const auto rect =
        found == rows.end() ? std::nullopt : ListReader(program_.handle(), list_).ItemRect(index);
    checks_.Expect(rect.has_value(), label + ": row to open", Readable(row_text));
    if (!rect) return Idle();
    // Inside the first column's text, away from the grid lines.
    const LPARAM at = MAKELPARAM(rect->left + 20, (rect->top + rect->bottom) / 2);
    PostMessageA(list_, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(list_, WM_LBUTTONUP, 0, at);
    if (gesture == Gesture::kDoubleClick) {
      PostMessageA(list_, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
      PostMessageA(list_, WM_LBUTTONUP, 0, at);
    } else {
      // The click gives the list the focus, which tells Enter on a row from Enter on the dialog.
      Settle(list_);
      PostMessageA(list_, WM_KEYDOWN, VK_RETURN, 1);
      PostMessageA(list_, WM_KEYUP, VK_RETURN, 0xC0000001);
    }

    HWND box = nullptr;
    WaitFor(kDetailsTimeoutMs, [&] {
      box = FindDialog(program_.pid(), IsMessageBox);
      return box != nullptr || !program_.Running();
    });
    const char* how = gesture == Gesture::kDoubleClick ? "double-click" : "click and Enter";
    checks_.Expect(
        box != nullptr, label + ": details open with a " + how,
        box != nullptr ? "shown" : (program_.Running() ? "not within 10 s" : "program ended"));
    if (box == nullptr) return Idle();
    checks_.ExpectText(label + ": caption of the details", TextOf(box), kDetailsCaption);
    const std::optional<std::string> text = TextOf(GetDlgItem(box, kMessageText));
    const std::string title = Enclose("", row_text, "\r\n\r\n");
    checks_.Expect(text && text->starts_with(title), label + ": details start with the row's title",
                   text ? Readable(*text) : "unreadable");
    for (const char* line : lines) {
      const bool shown = text && text->find(Enclose("\n", line, "\r")) != std::string::npos;
      checks_.Expect(shown, label + ": details line " + line, shown ? "shown" : "missing");
    }
    return ShootAndClose(box, shot, label + ": details");
  }

  void CheckRegistry(const std::string& label, const std::string& renego,
                     const std::string& compatible) {
    const auto stored_renego = GetValue(HKEY_LOCAL_MACHINE, kSchannel, kRenego);
    checks_.Expect(
        stored_renego && stored_renego->type == REG_DWORD && stored_renego->data == renego,
        label + ": DisableRenegoOnClient", Describe(stored_renego));
    const auto stored_agent = GetValue(HKEY_CURRENT_USER, kUserAgent, "Compatible");
    checks_.Expect(stored_agent && stored_agent->type == REG_SZ && stored_agent->data == compatible,
                   label + ": user Compatible", Describe(stored_agent));
  }

  // The about box, opened by `open`: checks it, takes its screenshot, and closes it with OK.
  // Returns whether the program is idle afterwards.
  template <class Open>
  bool CheckAbout(const std::string& label, const std::string& shot, Open open) {
    open();
    HWND about = nullptr;
    const bool shown = WaitFor(kAboutTimeoutMs, [&] {
      about = FindWindowA(kDialogClass, kAboutCaption);
      return (about != nullptr && IsWindowVisible(about)) || !program_.Running();
    });
    const bool ok = shown && about != nullptr && WindowProcess(about) == program_.pid();
    checks_.Expect(ok, label + ": about box \"About Vantik\" opens",
                   ok ? "shown" : "not shown within 10 s");
    if (!ok) return Idle();
    const HWND owner = GetWindow(about, GW_OWNER);
    checks_.Expect(owner == main_, label + ": about box is owned by the main dialog",
                   owner == main_ ? "yes" : "owner differs");
    bool version_line = false;
    for (HWND child = GetWindow(about, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
      if (TextOf(child).value_or("") == "Vantik Version 1.0") version_line = true;
    }
    checks_.Expect(version_line, label + ": about box shows \"Vantik Version 1.0\"",
                   version_line ? "found" : "no such static");
    return ShootAndClose(about, shot, label + ": about box");
  }

  // Takes the screenshot `shot` of `box` and closes it with OK. Returns whether the program is
  // idle afterwards.
  bool ShootAndClose(HWND box, const std::string& shot, const std::string& what) {
    Settle(box);
    Shot(shot, true);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
    const bool closed = WaitFor(kDialogCloseTimeoutMs, [&] { return !IsWindow(box); });
    checks_.Expect(closed, what + " closes with OK", closed ? "closed" : "still open");
    return closed && Idle();
  }

  bool AboutFromCommand() {
    return CheckAbout("command 0x10", "06-about",
                      [&] { PostMessageA(main_, WM_SYSCOMMAND, kAboutCommand, 0); });
  }

  // Under Wine, GetSystemMenu of another process's window gives NULL, so the menu cannot be read
  // from here. It is used as a user would instead: opened as by Alt+Space, then End and Enter
  // choose its last item, which must be the about item. (Wine's own "About Wine" item sits
  // above it, so a missing item opens the wrong box.)
  bool AboutFromSystemMenu() {
    PostMessageA(main_, WM_SYSCOMMAND, SC_KEYMENU, ' ');
    // "#32768" is the class of a menu's popup window.
    const bool opened = WaitFor(kAboutTimeoutMs, [&] {
      return !VisibleWindows(program_.pid(), "#32768").empty() || !program_.Running();
    });
    const bool ok = opened && program_.Running();
    checks_.Expect(ok, "system menu opens", ok ? "shown" : "not shown within 10 s");
    if (!ok) return false;
    return CheckAbout("last item of the system menu", "08-about-from-menu", [&] {
      Sleep(kSettleMs);
      Shot("07-system-menu", true);
      for (const WPARAM key : {VK_END, VK_RETURN}) {
        PostMessageA(main_, WM_KEYDOWN, key, 1);
        PostMessageA(main_, WM_KEYUP, key, 0xC0000001);
      }
    });
  }

  // Presses "导出信息", answers the Save As dialog with `archive`, follows the export to its
  // closing message box, `closing`, and dismisses it. Returns whether the program is idle
  // afterwards.
  bool Export(const std::string& archive, const std::string& closing) {
    checks_.Note("Windows version of this prefix: " + WindowsVersion());
    closing_ = closing;
    const std::vector<Row> before = ReadRows(0);
    // A run before must not pass for this one: a success starts from no archive; a failure
    // may start from an older one, which the Save As dialog asks before replacing.
    older_ = FileExists(archive);
    if (closing_ == kExportDone) {
      checks_.Expect(!older_, "export: no archive before the export", archive);
    }
    HWND button = GetDlgItem(main_, kExport);
    if (button == nullptr) {
      checks_.Expect(false, "export: button 1003", "missing");
      return false;
    }
    checks_.ExpectText("button 1003", TextOf(button), "导出信息");
    PostMessageA(main_, WM_COMMAND, MAKEWPARAM(kExport, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));

    HWND save_as = nullptr;
    WaitFor(kSaveAsTimeoutMs, [&] {
      WatchMessageBoxes();
      save_as = FindDialog(program_.pid(), IsSaveAs);
      return save_as != nullptr || !program_.Running();
    });
    checks_.Expect(
        save_as != nullptr, "export: Save As dialog opens",
        save_as != nullptr ? "seen" : (program_.Running() ? "not within 30 s" : "program ended"));
    if (save_as == nullptr || !AnswerSaveAs(save_as, archive)) return false;
    return FinishExport(before, archive);
  }

  // The program refuses to start: its one message box says why and names the redirection
  // `name`; no main dialog ever shows; OK ends the program with exit code 1.
  void ExpectRefusal(const std::string& name) {
    HWND box = nullptr;
    bool main_seen = false;
    // Told apart by its list: FindWindow compares captions without case, and the box's
    // caption "vantik" would pass for "Vantik".
    const auto watch_main = [&] {
      if (FindDialog(program_.pid(), IsMainDialog) != nullptr) main_seen = true;
    };
    WaitFor(kStartTimeoutMs, [&] {
      watch_main();
      box = FindDialog(program_.pid(), IsMessageBox);
      return box != nullptr || main_seen || !program_.Running();
    });
    checks_.Expect(box != nullptr, "refusal: message box shows",
                   box != nullptr       ? "shown"
                   : main_seen          ? "the main dialog showed instead"
                   : program_.Running() ? "not within 30 s"
                                        : "program ended");
    if (box != nullptr) {
      checks_.ExpectText("refusal: text", TextOf(GetDlgItem(box, kMessageText)),
                         kRefusalStart + name + kRefusalEnd);
      checks_.ExpectText("refusal: caption", TextOf(box), kBoxCaption);
      Settle(box);
      Shot("01-refusal", true);
      PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
    }
    const bool ended = WaitFor(kExitTimeoutMs, [&] {
      watch_main();
      return !program_.Running();
    });
    checks_.Expect(!main_seen, "refusal: the main dialog never shows",
                   main_seen ? "shown" : "never");
    checks_.Expect(ended && program_.ExitCode() == 1, "refusal: the program ends with exit code 1",
                   ended ? "exit code " + std::to_string(program_.ExitCode()) : "still running");
  }

  // Clicks "关闭" as a user does, which moves the focus to it: the dialog tells Enter on a row
  // of its list (the row's details) from its close button by the focus, and a bare IDOK while
  // the list has it would open the details instead.
  void Close() {
    PostMessageA(GetDlgItem(main_, IDOK), BM_CLICK, 0, 0);
    const bool ended = program_.WaitExit(kExitTimeoutMs);
    checks_.Expect(ended, "program ends when the main dialog closes",
                   ended ? "exit code " + std::to_string(program_.ExitCode())
                         : "still running after 15 s; terminated");
    if (!ended) program_.Terminate();
  }

  Checks& checks() { return checks_; }

  // Nothing is open over the main dialog, so the next step starts from a known state.
  bool Idle() const {
    return program_.Running() && FindOtherDialog(program_.pid(), main_) == nullptr &&
           IsWindowEnabled(main_);
  }

 private:
  bool AnswerSaveAs(HWND dialog, const std::string& archive) {
    HWND combo = GetDlgItem(dialog, kNameCombo);
    const bool explorer = combo != nullptr;
    checks_.Expect(explorer, "export: Save As dialog is Explorer style",
                   explorer ? "name box 1148" : "only the old-style name box 1152");
    // The Explorer style keeps the typed text in an edit inside the combo box.
    HWND name = explorer ? FindWindowExA(combo, nullptr, "Edit", nullptr)
                         : GetDlgItem(dialog, kOldStyleNameEdit);
    if (name == nullptr) name = combo;
    checks_.ExpectText("export: initial file name", TextOf(name), "Vantik.zip");
    checks_.ExpectText("export: file type", TextOf(GetDlgItem(dialog, kFileTypeCombo)),
                       "Zip Files (*.zip)");
    Settle(dialog);
    Shot("09-export-save-as", true);

    DWORD_PTR ignored = 0;
    const bool typed =
        SendMessageTimeoutA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(archive.c_str()),
                            SMTO_ABORTIFHUNG, kSendTimeoutMs, &ignored) != 0;
    checks_.ExpectText("export: file name typed", typed ? TextOf(name) : std::nullopt, archive);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    bool asked = false;
    WaitFor(kDialogCloseTimeoutMs, [&] {
      asked = AnswerReplaceQuestion() || asked;
      WatchMessageBoxes();
      return !IsWindow(dialog) || !program_.Running();
    });
    if (older_) {
      checks_.Expect(asked, "export: Save As asks before replacing the older archive",
                     asked ? "answered yes" : "not asked");
    }
    const bool closed = !IsWindow(dialog) && program_.Running();
    checks_.Expect(closed, "export: Save As dialog closes with OK",
                   closed ? "closed" : (program_.Running() ? "still open" : "program ended"));
    return closed;
  }

  // Presses Yes in the Save As dialog's question before it replaces a file; true if it did.
  bool AnswerReplaceQuestion() {
    const HWND question = FindDialog(program_.pid(), IsReplaceQuestion);
    if (question == nullptr) return false;
    PostMessageA(question, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(question, IDYES)));
    WaitFor(kDialogCloseTimeoutMs, [&] { return !IsWindow(question); });
    return true;
  }

  // The run folders in the temporary folder, and whether one of them holds a log.
  std::vector<std::string> RunFolders(const std::string& temp, bool* log_seen) const {
    std::vector<std::string> folders;
    for (const std::string& name : Matching(temp + kRunFolders)) {
      folders.push_back(temp + name);
      if (FileExists(temp + name + "\\" + kLogName)) *log_seen = true;
    }
    return folders;
  }

  bool FinishExport(const std::vector<Row>& before, const std::string& archive) {
    const std::string temp = TempFolder();
    // Seeing the log proves that the folder checked below is the one the program writes to.
    bool log_seen = false;
    if (!temp.empty()) RunFolders(temp, &log_seen);
    // Best effort: under Wine the whole export after the Save As dialog takes well under a
    // second, so the progress dialog gets only a short moment to paint itself again.
    Sleep(kProgressPaintMs);
    if (FindDialog(program_.pid(), IsProgress) != nullptr) {
      Shot("10-export-progress", false);
    } else {
      checks_.Note("10-export-progress skipped: the progress dialog had closed");
    }

    const bool success = closing_ == kExportDone;
    const std::string closing = success ? "导出完毕!" : "the closing message";
    HWND done = nullptr;
    bool progress_with_done = false;
    WaitFor(kExportTimeoutMs, [&] {
      if (!log_seen && !temp.empty()) RunFolders(temp, &log_seen);
      done = WatchMessageBoxes();
      if (done != nullptr) progress_with_done = FindDialog(program_.pid(), IsProgress) != nullptr;
      return done != nullptr || !program_.Running();
    });
    checks_.Expect(stray_.empty(), "export: no other message box before " + closing,
                   std::to_string(stray_.size()) + " seen");
    checks_.Expect(done != nullptr, "export: message box " + closing + " shows",
                   done != nullptr ? Readable(closing_)
                                   : (program_.Running() ? "not within 120 s" : "program ended"));
    if (done == nullptr) return false;
    checks_.Expect(!progress_with_done, "export: progress dialog has closed before " + closing,
                   progress_with_done ? "still open" : "closed");
    checks_.ExpectText("export: caption of " + closing, TextOf(done), kBoxCaption);
    Settle(done);
    Shot(success ? "11-export-done" : "11-export-failed", true);
    PostMessageA(done, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(done, IDOK)));
    WaitFor(kDialogCloseTimeoutMs, [&] { return Idle() || !program_.Running(); });
    const bool idle = Idle();
    checks_.Expect(
        idle, "export: " + closing + " closes with OK and the main dialog is idle",
        idle ? "yes" : (program_.Running() ? "a dialog is still open" : "program ended"));

    const std::vector<Row> after = ReadRows(before.size());
    checks_.Expect(
        after == before, "export: list rows unchanged",
        after == before ? Describe(after) : Describe(after) + ", before: " + Describe(before));
    checks_.Expect(log_seen, "export: log written in a run folder of the temporary folder",
                   temp + kRunFolders);
    bool ignored = false;
    const std::vector<std::string> left =
        temp.empty() ? std::vector<std::string>{} : RunFolders(temp, &ignored);
    checks_.Expect(
        !temp.empty() && left.empty(), "export: no run folder left in the temporary folder",
        temp.empty() ? "temporary folder unknown" : (left.empty() ? "none" : left.front()));
    const std::vector<std::string> beside = Matching(archive + "~*");
    checks_.Expect(beside.empty(), "export: nothing left beside the target",
                   beside.empty() ? "none" : beside.front());
    if (success) {
      checks_.Expect(FileExists(archive), "export: archive written", archive);
    } else if (!older_) {
      checks_.Expect(!FileExists(archive), "export: no archive at the target", archive);
    }
    return idle;
  }

  // Returns the visible closing message box the export is expected to end with, if any. Every
  // other message box of the program is a fault: it is reported once with its caption and
  // text, and closed so that the export goes on.
  HWND WatchMessageBoxes() {
    HWND done = nullptr;
    for (HWND box : VisibleWindows(program_.pid(), kDialogClass)) {
      if (!IsMessageBox(box) || IsReplaceQuestion(box)) continue;
      const auto text = TextOf(GetDlgItem(box, kMessageText));
      if (!text) continue;  // read again at the next poll
      if (*text == closing_) {
        done = box;
        continue;
      }
      if (std::find(stray_.begin(), stray_.end(), box) != stray_.end()) continue;
      stray_.push_back(box);
      std::string detail = Readable(TextOf(box).value_or("<unreadable>"));
      detail += ": ";
      detail += Readable(*text);
      checks_.Expect(false, "export: unexpected message box", detail);
      PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
    }
    return done;
  }

  Program& program_;
  std::string shots_;
  std::span<const RowExpectation> expected_rows_;  // the rows the list must show, in order
  Checks checks_;
  HWND main_ = nullptr;
  HWND list_ = nullptr;
  std::vector<HWND> stray_;
  std::string closing_ = kExportDone;  // the closing message the export must end with
  bool older_ = false;                 // a file lay at the target before the export
};

struct Options {
  bool export_only = false;
  bool client_findings = false;
  bool expect_refusal = false;
  std::string working_folder;
  std::string exe;
  std::string shots;
  std::string export_folder;
  std::string archive;               // empty: "Vantik export.zip" in the export folder
  std::vector<std::string> closing;  // the lines of the expected closing message
};

int Drive(const Options& options) {
  Program program;
  const bool client = options.client_findings;
  Driver driver(program, options.shots,
                client ? std::span<const RowExpectation>(kRowsWithClientFindings)
                       : std::span<const RowExpectation>(kRowsWithoutClient));
  Checks& checks = driver.checks();
  const bool export_only = options.export_only || options.expect_refusal;

  const bool seeded = export_only || driver.SeedRegistry();
  const bool started = seeded && program.Start(options.exe, options.working_folder);
  if (seeded) {
    checks.Expect(started,
                  "start " + options.exe +
                      (options.working_folder.empty() ? "" : " in " + options.working_folder),
                  started ? "pid " + std::to_string(program.pid())
                          : "CreateProcess error " + std::to_string(program.error()));
  }
  // Each step needs the one before; a step that leaves the program in an unknown state ends
  // the scenario, and the Program guard ends the program.
  [&] {
    if (!started) return;
    if (options.expect_refusal) {
      const std::string::size_type slash = options.exe.find_last_of("\\/");
      driver.ExpectRefusal(options.exe.substr(slash == std::string::npos ? 0 : slash + 1) +
                           ".local");
      return;
    }
    if (!driver.FindMain()) return;
    driver.CheckStart();
    if (!export_only) {
      if (!driver.Run("diagnose", kDiagnose, "02-diagnose-progress")) return;
      driver.Shot("03-diagnose", true);
      driver.CheckRows("diagnose", false);
      driver.CheckRegistry("after diagnose", std::string("\1\0\0\0", 4),
                           std::string("Mozilla/4.0\0", 12));
      if (client &&
          !(driver.CheckDetails("client service", kClientServiceRow, Gesture::kDoubleClick,
                                kServiceStoppedDetails, "12-details-client-service") &&
            driver.CheckDetails("browser proxy", kProxyRow, Gesture::kDoubleClick, kProxyDetails,
                                "13-details-browser-proxy") &&
            driver.CheckDetails("hosts file", kHostsRow, Gesture::kEnter, kHostsDetails,
                                "14-details-hosts-file"))) {
        return;
      }

      if (!driver.Run("repair", kRepair, nullptr)) return;
      driver.Shot("04-repair", true);
      driver.CheckRows("repair", true);
      driver.CheckRegistry("after repair", std::string(4, '\0'),
                           std::string("compatible;Mozilla/4.0\0", 23));
      if (client &&
          !driver.CheckDetails("repaired client service", kClientServiceRow, Gesture::kEnter,
                               kNormalDetails, "15-details-client-service-repaired")) {
        return;
      }

      if (!driver.Run("diagnose again", kDiagnose, nullptr)) return;
      driver.Shot("05-diagnose-again", true);
      driver.CheckRows("diagnose again", true);

      // The about box does not depend on the rows: the run without the client shows it.
      if (!client && !(driver.AboutFromCommand() && driver.AboutFromSystemMenu())) return;
    }
    const std::string archive = options.archive.empty()
                                    ? Enclose("", options.export_folder, "\\") + kArchiveName
                                    : options.archive;
    std::string closing;
    for (const std::string& line : options.closing) {
      if (!closing.empty()) closing += "\r\n";
      closing += line;
    }
    if (!driver.Export(archive, options.closing.empty() ? kExportDone : closing)) return;
    driver.Close();
  }();

  std::printf("%d checks, %d failed\n", checks.total(), checks.failed());
  return checks.failed() == 0 && checks.total() > 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  int next = 1;
  for (; next < argc; ++next) {
    const std::string option = argv[next];
    if (option == "--export-only") {
      options.export_only = true;
    } else if (option == "--client-findings") {
      options.client_findings = true;
    } else if (option == "--expect-refusal") {
      options.expect_refusal = true;
    } else if (option == "--working-folder" && next + 1 < argc) {
      options.working_folder = argv[++next];
    } else if ((option == "--archive" || option == "--closing-line") && next + 1 < argc) {
      (option == "--archive" ? options.archive : options.closing.emplace_back()) = argv[++next];
    } else {
      break;
    }
  }
  if (argc - next != 3) {
    std::fprintf(stderr,
                 "usage: gui_driver [--export-only] [--client-findings] [--expect-refusal] "
                 "[--working-folder <folder>] "
                 "[--archive PATH] [--closing-line TEXT]... "
                 "<path of vantik.exe> <screenshot folder> <export folder>\n");
    return 2;
  }
  options.exe = argv[next];
  options.shots = argv[next + 1];
  options.export_folder = argv[next + 2];
  return Drive(options);
}
