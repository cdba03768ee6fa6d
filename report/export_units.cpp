#include "report/export_units.h"

#include <string>
#include <vector>

#include "platform/task_claim.h"
#include "platform/trace.h"
#include "report/archive_packer.h"
#include "report/command_capture.h"
#include "report/export_state.h"
#include "report/page_info.h"

std::string g_strExportTempDir;
std::string g_strExportZipPath;
std::string g_strExportLogPath;
std::vector<std::string> g_exportFiles;

namespace {

// The log path as the units before left it, or nothing when this run has been abandoned.
bool ReadLogPath(std::string& path) {
  return platform::RunWhileClaimed([&] { path = g_strExportLogPath; });
}

}  // namespace

int ExportBasicInfo() {
  CPageInfo page;
  const int result = page.ExportLog();
  platform::DebugTrace("Exporting Info\r\n");
  return result;
}

int ExportPatchInfo() {
  std::string tempDir;
  if (!platform::RunWhileClaimed([&] { tempDir = g_strExportTempDir; })) return -1;
  // Without a temporary folder the file would land in the current folder: capture nothing.
  const std::string path = tempDir.empty() ? std::string() : tempDir + "WindowsUpdate.log";
  const int result = CaptureHotfixList(path);
  if (!path.empty()) platform::RunWhileClaimed([&] { g_exportFiles.push_back(path); });
  return result;
}

int ExportSpiInfo() {
  std::string logPath;
  if (!ReadLogPath(logPath)) return -1;
  const int result = CaptureNetworkConfig(logPath);
  platform::DebugTrace("Exporting SPI Info\r\n");
  return result;
}

int ExportDnsInfo() {
  std::string logPath;
  if (!ReadLogPath(logPath)) return -1;
  const int result = CaptureDnsCache(logPath);
  platform::DebugTrace("Exporting DNS Info\r\n");
  return result;
}

int ExportPackage() {
  std::string zipPath;
  std::vector<std::string> files;
  if (!platform::RunWhileClaimed([&] {
        zipPath = g_strExportZipPath;
        files = g_exportFiles;
      })) {
    return 0;
  }
  return PackExportFiles(zipPath, files);
}
