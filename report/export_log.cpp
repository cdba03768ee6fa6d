// The export's log: the composed report under its nine banners, in the temporary folder.
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/files.h"
#include "platform/prompt.h"
#include "platform/task_claim.h"
#include "platform/win32_codes.h"
#include "report/export_state.h"
#include "report/page_info.h"

namespace {

constexpr std::uint32_t kTempBufferSize = 246;

// The temporary folder, or "" when it cannot be had. A folder longer than the usual buffer is
// read into one that fits rather than taken as empty (which would put the log in the current
// folder).
std::string TempFolder() {
  char buffer[kTempBufferSize] = {};
  const std::uint32_t length = platform::GetTempFolder(buffer, kTempBufferSize);
  if (length == 0) return {};
  if (length < kTempBufferSize) return std::string(buffer, length);
  std::vector<char> larger(length + 1, '\0');
  const std::uint32_t second = platform::GetTempFolder(larger.data(), length + 1);
  if (second == 0 || second > length) return {};
  return std::string(larger.data(), second);
}

}  // namespace

int CPageInfo::ExportLog() {
  if (!platform::RunWhileClaimed([] {
        g_strExportZipPath.clear();
        g_strExportLogPath.clear();
      })) {
    return -1;
  }
  ComposeReport();

  const std::string tempDir = TempFolder();
  if (tempDir.empty()) {
    platform::ShowMessageBox("0Couldn't create the file!");
    return -1;
  }
  if (!platform::RunWhileClaimed([&] { g_strExportTempDir = tempDir; })) return -1;

  char zipPath[260] = {};
  if (!platform::AskSaveAsPath("Vantik.zip", "Zip Files (*.zip)|*.zip||", zipPath,
                               sizeof(zipPath))) {
    return -1;
  }
  const std::string logPath = tempDir + "Vantik.log";
  if (!platform::RunWhileClaimed([&] {
        g_strExportZipPath = zipPath;
        g_strExportLogPath = logPath;
      })) {
    return -1;
  }

  platform::File log;
  if (log.CreateForWriting(logPath.c_str()) != ERROR_SUCCESS) {
    platform::ShowMessageBox("1Couldn't create the file!");
    return -1;
  }
  const struct {
    const char* banner;
    const std::string* text;
  } pieces[] = {
      {"\r\n===================================SYSTEM INFO==================================\r\n",
       &m_strSystem},
      {"\r\n===================================SOFTWARE INFO================================\r\n",
       &m_strSoftware},
      {"\r\n===================================PROCESS INFO=================================\r\n",
       &m_strProcess},
      {"\r\n===================================IE BROWER INFO===============================\r\n",
       &m_strBrowser},
      {"\r\n====================================ROUTE TABLE=================================\r\n",
       &m_strRoute},
      {"\r\n====================================ADAPTER INFO================================\r\n",
       &m_strAdapter},
      {"\r\n====================================TOVRA CLIENT==================================\r\n",
       &m_strClient},
      {"\r\n====================================HOSTS================================\r\n",
       &m_strHosts},
      {"\r\n====================================CATALOG================================\r\n",
       nullptr},
  };
  // The first failure ends the writing, as an exception from the file layer would; what was
  // written stays, and the log is still listed.
  bool written = true;
  for (const auto& piece : pieces) {
    if (log.Write(piece.banner, static_cast<std::uint32_t>(std::strlen(piece.banner))) !=
        ERROR_SUCCESS) {
      written = false;
      break;
    }
    if (piece.text != nullptr && !piece.text->empty() &&
        log.Write(piece.text->data(), static_cast<std::uint32_t>(piece.text->size())) !=
            ERROR_SUCCESS) {
      written = false;
      break;
    }
  }
  if (log.Close() != ERROR_SUCCESS) written = false;
  if (!written) platform::ShowMessageBox("Failed when save log！");

  platform::RunWhileClaimed([&] { g_exportFiles.push_back(logPath); });
  return 0;
}
