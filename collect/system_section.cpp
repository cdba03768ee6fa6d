#include "collect/system_section.h"

#include <cstdint>
#include <cstdio>

#include "checks/renego_check.h"
#include "checks/result_codes.h"
#include "collect/administrators.h"
#include "collect/settings_user_line.h"
#include "collect/software_section.h"
#include "platform/identity.h"
#include "platform/winsock.h"
#include "text/append_format.h"
#include "text/text_table.h"

namespace collect {

using namespace text;

namespace {

constexpr char kRenegoValueLine[] =
    "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\SecurityProviders\\SCHANNEL\\"
    "DisableRenegoOnClient Value is ";
constexpr char kRenegoWarning[] = "warning:Please modify the reg value to 0.\r\n";

// Whole MiB, then 1/1024 of them.
float Gigabytes(std::uint64_t bytes) {
  return static_cast<float>(static_cast<std::uint32_t>(bytes >> 20) * 0.0009765625);
}

std::string HostName() {
  // The library stays started, as every user of it in the process expects.
  char name[128] = {};
  if (platform::StartSockets() != 0 || platform::GetHostName(name, sizeof(name)) != 0) return {};
  name[sizeof(name) - 1] = '\0';
  return name;
}

std::string LoginUserName() {
  char name[260] = {};
  std::uint32_t size = sizeof(name);
  // A failure leaves the buffer as cleared: an empty name.
  (void)platform::GetLoginUserName(name, &size);
  name[sizeof(name) - 1] = '\0';
  return name;
}

}  // namespace

SystemSection GatherSystemSection() {
  SystemSection section;
  section.hotfixes = GatherHotfixes();
  section.drives = GatherDrives(DRIVE_MASK_FIXED | DRIVE_MASK_REMOTE);
  section.hostName = HostName();
  section.memory = platform::GetMemoryStatus();
  platform::VersionInfo version;
  if (platform::GetWindowsVersion(&version)) section.windowsName = WindowsVersionText(version);
  section.userName = LoginUserName();
  int member = 0;
  section.administratorsMember = CheckAdministratorsMember(&member) == 0 && member != 0;
  section.renegoSetting = checks::CheckRenegoSetting();
  section.settingsUser = platform::CurrentSettingsUser();
  return section;
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

std::string RenderSystemSection(const SystemSection& section) {
  std::string system;
  AppendFormat(system, "%s %s\r\n\r\n", GetText(TEXT_COMPUTER_NAME), section.hostName.c_str());
  AppendFormat(system, "%s %s\r\n\r\n", GetText(TEXT_OPERATING_SYSTEM),
               section.windowsName.c_str());
  AppendFormat(system, "%s %s\r\n", GetText(TEXT_USER_NAME), section.userName.c_str());
  AppendFormat(system, "%s %d\r\n\r\n", GetText(TEXT_ADMINISTRATORS_MEMBER),
               section.administratorsMember ? 1 : 0);
  const platform::MemoryStatus& memory = section.memory;
  AppendFormat(system, "%s %s %2.2f GB, %s %d%c \r\n", GetText(TEXT_PHYSICAL_MEMORY),
               GetText(TEXT_TOTAL), static_cast<double>(Gigabytes(memory.totalPhys)),
               GetText(TEXT_USAGE), static_cast<int>(memory.memoryLoad), '%');
  AppendFormat(system, "%s %s %2.2f GB, %s %2.2f GB\r\n", GetText(TEXT_VIRTUAL_MEMORY),
               GetText(TEXT_TOTAL), static_cast<double>(Gigabytes(memory.totalVirtual)),
               GetText(TEXT_FREE), static_cast<double>(Gigabytes(memory.availVirtual)));
  for (const Drive& drive : section.drives) {
    AppendFormat(system, "%s: %s %s, %s %s\r\n", drive.rootPath.c_str(), GetText(TEXT_TOTAL),
                 DriveSizeText(drive, drive.totalBytes).c_str(), GetText(TEXT_FREE),
                 DriveSizeText(drive, drive.freeBytes).c_str());
  }
  system += "\r\n";
  AppendFormat(system, "Windows %s \r\n", GetText(TEXT_PATCH_INFO));

  // Without the SCHANNEL key there is no verdict to print, and the patch names go with it.
  if (section.renegoSetting == checks::RESULT_FAILED) {
    system += SettingsUserLine(section.settingsUser);
    return system;
  }
  char line[260] = {};
  std::snprintf(line, sizeof(line), "\r\n%s%d.\r\n", kRenegoValueLine, section.renegoSetting);
  AppendFormat(system, "%s%s\r\n", line,
               section.renegoSetting != checks::RESULT_NORMAL ? kRenegoWarning : "");
  for (const std::string& hotfix : section.hotfixes) {
    system += hotfix;
    system += "\r\n";
  }
  system += SettingsUserLine(section.settingsUser);
  return system;
}

}  // namespace collect
