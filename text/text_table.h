// The bilingual text table: most labels and verdicts that the report sections write, and the
// messages that tell how an export went wrong, each held in Chinese (code page 936 bytes) and
// in English (plain ASCII).
#ifndef VANTIK_TEXT_TEXT_TABLE_H_
#define VANTIK_TEXT_TEXT_TABLE_H_

namespace text {

struct TextEntry {
  int id;               // Equals the entry's position in g_textTable.
  const char* chinese;  // Code page 936.
  const char* english;  // Plain ASCII.
};

inline constexpr int kTextCount = 102;

// Callers name the entry they read, so no lookup uses a bare or computed number. The names follow
// the meaning of the text, not its (sometimes misspelled) English wording.
enum TextId : int {
  TEXT_FILE_FILTER = 0,
  TEXT_VERSION = 1,
  TEXT_YES = 2,
  TEXT_NO = 3,
  TEXT_PC_INFORMATION = 4,
  TEXT_NETWORK_DIAGNOSIS = 5,
  TEXT_INSPECT = 6,
  TEXT_FIX_HOSTS_FILE = 7,
  TEXT_EXPORT_TOVRA_LOG = 8,
  TEXT_EXPORT_DIAGNOSE_INFO = 9,
  TEXT_ABOUT = 10,
  TEXT_QUIT = 11,
  TEXT_DIAGNOSE = 12,
  TEXT_DOMAIN_OR_IP = 13,
  TEXT_DIAGNOSING_PLEASE_WAIT = 14,
  TEXT_NETWORK_EVALUATION = 15,
  TEXT_LOST_RATE = 16,
  TEXT_AVERAGE_ROUND_TRIP = 17,
  TEXT_NETWORK_GOOD = 18,
  TEXT_NETWORK_NORMAL = 19,
  TEXT_NETWORK_WEAK = 20,
  TEXT_SELECT_INFO_TYPE = 21,
  TEXT_INFO_PC_SYSTEM = 22,
  TEXT_INFO_INSTALLED_SOFTWARE = 23,
  TEXT_INFO_PROCESSES = 24,
  TEXT_INFO_IE_BROWSER = 25,
  TEXT_INFO_ROUTER = 26,
  TEXT_INFO_ADAPTER = 27,
  TEXT_INFO_TOVRA_CLIENT = 28,
  TEXT_INFO_HOSTS_FILE = 29,
  TEXT_ADDRESS = 30,
  TEXT_DEFAULT_GATEWAY_ADDRESS = 31,
  TEXT_ENABLED = 32,
  TEXT_DISABLED = 33,
  TEXT_SERVER_ADDRESS = 34,
  TEXT_PRIMARY_WINS_SERVER = 35,
  TEXT_SECONDARY_WINS_SERVER = 36,
  TEXT_PRIMARY_DNS_SERVER = 37,
  TEXT_SECONDARY_DNS_SERVER = 38,
  TEXT_MEDIA_DISCONNECTED = 39,
  TEXT_ROUTE_TABLE = 40,
  TEXT_NETWORK_DESTINATION = 41,
  TEXT_NETMASK = 42,
  TEXT_GATEWAY = 43,
  TEXT_INTERFACE = 44,
  TEXT_METRIC = 45,
  TEXT_COMPUTER_NAME = 46,
  TEXT_USER_NAME = 47,
  TEXT_ADMINISTRATORS_MEMBER = 48,
  TEXT_OPERATING_SYSTEM = 49,
  TEXT_PHYSICAL_MEMORY = 50,
  TEXT_VIRTUAL_MEMORY = 51,
  TEXT_USAGE = 52,
  TEXT_TOTAL = 53,
  TEXT_FREE = 54,
  TEXT_PATCH_INFO = 55,
  TEXT_INSTALLED_SOFTWARE = 56,
  TEXT_CONFLICTING_SOFTWARE = 57,
  TEXT_IE_BROWSER_INFO = 58,
  TEXT_AUTO_CONFIG_SCRIPT = 59,
  TEXT_PROXY_SERVER = 60,
  TEXT_PROXY_EXCEPTION = 61,
  TEXT_PROXY_UNUSED = 62,
  TEXT_BROWSER_HELPER_OBJECTS = 63,
  TEXT_IE_EXTENSIONS = 64,
  TEXT_PROXY_HTTP11 = 65,
  TEXT_PORT_FORWARD = 66,
  TEXT_INSTALLED_SUCCESSFULLY = 67,
  TEXT_INSTALL_EXCEPTION = 68,
  TEXT_NETWORK_EXTENSION = 69,
  TEXT_SERVICE_NOT_INSTALLED = 70,
  TEXT_SERVICE_RUNNING = 71,
  TEXT_SERVICE_NOT_RUNNING = 72,
  TEXT_SERVICE_QUERY_FAILED = 73,
  TEXT_VIRTUAL_ADAPTER_INSTALLED = 74,
  TEXT_VIRTUAL_ADAPTER_DISABLED = 75,
  TEXT_VIRTUAL_ADAPTER_UNKNOWN_ERROR = 76,
  TEXT_VIRTUAL_ADAPTER_NOT_INSTALLED = 77,
  TEXT_VIRTUAL_ADAPTER = 78,
  TEXT_VIRTUAL_ADAPTER_DRIVER = 79,
  // The closing messages of an export that did not end with a complete archive.
  TEXT_EXPORT_FAILED = 80,
  TEXT_EXPORT_INCOMPLETE = 81,
  TEXT_EXPORT_STOPPED = 82,
  TEXT_PATH_TOO_LONG = 83,
  TEXT_SAVE_AS_FAILED = 84,
  TEXT_LOG_NOT_CREATED = 85,
  TEXT_LOG_INCOMPLETE = 86,
  TEXT_ARCHIVE_NOT_WRITTEN = 87,
  TEXT_ARCHIVE_FOLDER_NOT_FOUND = 88,
  TEXT_ARCHIVE_DISK_FULL = 89,
  TEXT_ARCHIVE_IN_USE = 90,
  TEXT_ARCHIVE_ACCESS_DENIED = 91,
  TEXT_FILE_NOT_PACKED = 92,
  TEXT_ERROR_CODE = 93,
  TEXT_ARCHIVE_EXISTS = 94,
  // The log's note of a command capture that did not end within its time.
  TEXT_COMMAND_NOT_FINISHED = 95,
  // Whose per-user settings the program read, when not simply its own account's, and why the
  // desktop's user could not be followed.
  TEXT_SETTINGS_OF_DESKTOP_USER = 96,
  TEXT_SETTINGS_OF_PROGRAM_USER = 97,
  TEXT_PROGRAM_USER_UNKNOWN = 98,
  TEXT_NO_DESKTOP_SHELL = 99,
  TEXT_DESKTOP_SHELL_REFUSED = 100,
  TEXT_USER_HIVE_NOT_LOADED = 101,
};
static_assert(TEXT_USER_HIVE_NOT_LOADED + 1 == kTextCount, "one TextId per table entry");

// Stored exactly as the report must print them, spacing and misspellings included: the report's
// bytes are compared, not its sense.
extern const TextEntry g_textTable[kTextCount];

// 0 selects the Chinese column, 1 the English one. Nothing in the program writes it, so every
// report carries the Chinese labels.
extern unsigned char g_language;

// Indexes by position without consulting the id field: one read, cheap enough to expand at every
// use. The table and the index never change, so any thread may call it without a lock. An id
// outside 0..kTextCount-1 is not supported; no caller makes one.
inline const char* GetText(int id) {
  const TextEntry& entry = g_textTable[id];
  return g_language == 0 ? entry.chinese : entry.english;
}

}  // namespace text

#endif  // VANTIK_TEXT_TEXT_TABLE_H_
