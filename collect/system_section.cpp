#include "collect/system_section.h"

#include <cstdio>

#include "checks/renego_check.h"
#include "checks/result_codes.h"
#include "collect/installed_software.h"
#include "collect/section_renderers.h"
#include "collect/settings_user_line.h"
#include "platform/identity.h"
#include "platform/win32_codes.h"
#include "platform/winsock.h"
#include "text/append_format.h"
#include "text/text_table.h"

namespace {

constexpr char kAdministratorsSid[] = "S-1-5-32-544";
constexpr char kRenegoValueLine[] =
    "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\SecurityProviders\\SCHANNEL\\"
    "DisableRenegoOnClient Value is ";
constexpr char kRenegoWarning[] = "warning:Please modify the reg value to 0.\r\n";

// Whole MiB, then 1/1024 of them.
float Gigabytes(std::uint64_t bytes) {
  return static_cast<float>(static_cast<std::uint32_t>(bytes >> 20) * 0.0009765625);
}

// The token's groups, read whole: asked for the size first, and again should the list grow
// in between (a few times at most, so an answer that keeps growing cannot hold the report).
long ReadTokenGroups(const platform::ProcessToken& token,
                     std::vector<platform::TokenGroup>* groups) {
  std::uint32_t size = 0;
  for (int attempt = 0; attempt < 4; ++attempt) {
    std::uint32_t needed = 0;
    const long result = token.QueryGroups(size, groups, &needed);
    if (result != ERROR_INSUFFICIENT_BUFFER || needed <= size) return result;
    size = needed;
  }
  return ERROR_INSUFFICIENT_BUFFER;
}

}  // namespace

CSysInfo::CSysInfo() : m_driveInfo(DRIVE_MASK_FIXED | DRIVE_MASK_REMOTE) {
  // The sockets library stays started: the client section, later in the same report, needs it.
  char hostName[128] = {};
  if (platform::StartSockets() == 0 && platform::GetHostName(hostName, sizeof(hostName)) == 0) {
    hostName[sizeof(hostName) - 1] = '\0';
    m_strHostName = hostName;
  }

  const platform::MemoryStatus memory = platform::GetMemoryStatus();
  m_fTotalPhysGB = Gigabytes(memory.totalPhys);
  m_fTotalVirtualGB = Gigabytes(memory.totalVirtual);
  m_fAvailVirtualGB = Gigabytes(memory.availVirtual);
  m_dwMemoryLoad = memory.memoryLoad;

  platform::VersionInfo version;
  if (platform::GetWindowsVersion(&version)) m_strOSName = WindowsVersionText(version);
}

std::string CSysInfo::GetLoginUserName() const {
  char name[260] = {};
  std::uint32_t size = sizeof(name);
  // A failure leaves the buffer as cleared: an empty name.
  (void)platform::GetLoginUserName(name, &size);
  name[sizeof(name) - 1] = '\0';
  return name;
}

int CSysInfo::CheckAdministratorsMember(int* member) const {
  *member = 0;
  std::vector<platform::TokenGroup> groups;
  if (const long read = ReadProcessTokenGroups(&groups); read != ERROR_SUCCESS) {
    return static_cast<int>(read);
  }
  if (FindAdministratorsGroup(groups) != nullptr) *member = 1;
  return 0;
}

long ReadProcessTokenGroups(std::vector<platform::TokenGroup>* groups) {
  platform::ProcessToken token;
  if (const long opened = token.Open(TOKEN_READ); opened != ERROR_SUCCESS) return opened;
  return ReadTokenGroups(token, groups);
}

const platform::TokenGroup* FindAdministratorsGroup(
    const std::vector<platform::TokenGroup>& groups) {
  for (const platform::TokenGroup& group : groups) {
    if (group.sid == kAdministratorsSid) return &group;
  }
  return nullptr;
}

std::string WindowsVersionText(const platform::VersionInfo& version) {
  std::string text;
  const std::uint32_t major = version.major;
  const std::uint32_t minor = version.minor;
  const bool workstation = version.productType == 1;  // VER_NT_WORKSTATION
  switch (version.platformId) {
    case 0:  // VER_PLATFORM_WIN32s
      text = "Microsoft Win32s ";
      break;
    case 1:  // VER_PLATFORM_WIN32_WINDOWS: the release letter tells the editions apart
      if (major == 4 && minor == 0) {
        text = "Microsoft Windows 95 ";
        if (version.csdLetter == 'C') {
          text += "OSR2 ";
        } else {
          if (version.csdLetter != '\0') text += version.csdLetter;
          text += ' ';
        }
      } else if (major == 4 && minor == 10) {
        text = "Microsoft Windows 98 ";
        if (version.csdLetter == 'A') text += "SE ";
      } else if (major == 4 && minor == 90) {
        text = "Microsoft Windows Me ";
      }
      break;
    case 2:  // VER_PLATFORM_WIN32_NT
      if (major <= 4) {
        text = "Microsoft Windows NT ";
      } else if (major == 5 && minor == 0) {
        text = "Microsoft Windows 2000 ";
      } else if (major == 5 && minor == 1) {
        text = "Microsoft Windows XP ";
      } else if (major == 5 && minor == 2) {
        text = "Microsoft Windows 2003 ";
      } else if (major == 6 && minor == 0) {
        text = workstation ? "Microsoft Windows vista " : "Microsoft Windows 2008 ";
      } else if (major == 6 && minor == 1 && workstation) {
        text = "Microsoft Windows 7 ";
      } else {
        AppendFormat(text, "OS Version: %d.%d.%d", static_cast<int>(major), static_cast<int>(minor),
                     static_cast<int>(version.build));
      }
      break;
    default:
      break;
  }
  if (version.servicePackMajor > 0) {
    AppendFormat(text, "Service Pack %d", static_cast<int>(version.servicePackMajor));
  }
  return text;
}

void RenderSystemSection(std::string& system) {
  const CInstalledSoftwareInfo software;
  const CSysInfo info;

  AppendFormat(system, "%s %s\r\n\r\n", GetText(TEXT_COMPUTER_NAME), info.GetHostName().c_str());
  AppendFormat(system, "%s %s\r\n\r\n", GetText(TEXT_OPERATING_SYSTEM), info.GetOSName().c_str());
  AppendFormat(system, "%s %s\r\n", GetText(TEXT_USER_NAME), info.GetLoginUserName().c_str());
  int member = 0;
  const int checked = info.CheckAdministratorsMember(&member);
  AppendFormat(system, "%s %d\r\n\r\n", GetText(TEXT_ADMINISTRATORS_MEMBER),
               checked == 0 && member != 0 ? 1 : 0);
  AppendFormat(system, "%s %s %2.2f GB, %s %d%c \r\n", GetText(TEXT_PHYSICAL_MEMORY),
               GetText(TEXT_TOTAL), static_cast<double>(info.m_fTotalPhysGB), GetText(TEXT_USAGE),
               static_cast<int>(info.m_dwMemoryLoad), '%');
  AppendFormat(system, "%s %s %2.2f GB, %s %2.2f GB\r\n", GetText(TEXT_VIRTUAL_MEMORY),
               GetText(TEXT_TOTAL), static_cast<double>(info.m_fTotalVirtualGB), GetText(TEXT_FREE),
               static_cast<double>(info.m_fAvailVirtualGB));
  for (const DriveStats& drive : info.GetDrives()) {
    AppendFormat(system, "%s: %s %s, %s %s\r\n", drive.GetRootPath().c_str(), GetText(TEXT_TOTAL),
                 drive.GetTotal().c_str(), GetText(TEXT_FREE), drive.GetFree().c_str());
  }
  system += "\r\n";
  AppendFormat(system, "Windows %s \r\n", GetText(TEXT_PATCH_INFO));

  const std::vector<std::string> hotfixes = software.GetHotfixList();
  const int renego = CheckRenegoSetting();
  // Without the SCHANNEL key there is no verdict to print, and the patch names go with it.
  if (renego == RESULT_FAILED) {
    system += SettingsUserLine(platform::CurrentSettingsUser());
    return;
  }
  char line[260] = {};
  std::snprintf(line, sizeof(line), "\r\n%s%d.\r\n", kRenegoValueLine, renego);
  AppendFormat(system, "%s%s\r\n", line, renego != RESULT_NORMAL ? kRenegoWarning : "");
  for (const std::string& hotfix : hotfixes) {
    system += hotfix;
    system += "\r\n";
  }
  system += SettingsUserLine(platform::CurrentSettingsUser());
}
