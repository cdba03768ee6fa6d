// The installed programs (the machine's uninstall list, without Windows updates) and the
// installed hotfixes, of both registry views on 64-bit Windows.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct SoftwareEntry {
  std::string strName;     // "DisplayName", at most 255 bytes
  std::string strVersion;  // "DisplayVersion", at most 19 bytes, or empty
};

// Reads both lists when it is made and only hands out copies afterwards.
class CInstalledSoftwareInfo {
 public:
  CInstalledSoftwareInfo();
  virtual ~CInstalledSoftwareInfo() = default;

  std::vector<SoftwareEntry> GetSoftwareList() const { return m_softwareList; }
  std::vector<std::string> GetHotfixList() const { return m_hotfixList; }

 private:
  // Each reads its key in the program's own registry view and then in the other, where there is
  // one, and returns 0, or -1 with its list empty when the key opens in neither.
  int ReadUninstallEntries();
  int ReadHotfixEntries();
  // Takes the hotfixes and Windows updates out of the program list, keeping the order; the
  // hotfixes of either view remove programs of both.
  void FilterSoftwareList();

  std::vector<SoftwareEntry> m_softwareList;
  std::vector<std::string> m_hotfixList;
};

// A program name that reads as a Windows update: "Windows" with "KB", "更新", "QB" or
// "Update", unless it is the Windows Installer. Case-sensitive, matched only where a character
// starts.
bool IsWindowsUpdate(std::string_view name);
