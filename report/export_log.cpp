// The export's log: the composed report under its nine banners, in the run's own folder under
// the temporary folder.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/cp936.h"
#include "platform/files.h"
#include "platform/prompt.h"
#include "platform/task_claim.h"
#include "platform/win32_codes.h"
#include "report/archive_packer.h"
#include "report/export_state.h"
#include "report/page_info.h"
#include "text/text_table.h"

namespace {

constexpr std::uint32_t kTempBufferSize = 246;

// The temporary folder, or "" with the system's code in *error when it cannot be had. A folder
// longer than the usual buffer is read into one that fits rather than taken as empty (which
// would put the log in the current folder).
std::string TempFolder(long* error) {
  char buffer[kTempBufferSize] = {};
  const std::uint32_t length = platform::GetTempFolder(buffer, kTempBufferSize, error);
  if (length == 0) return {};
  if (length < kTempBufferSize) return std::string(buffer, length);
  std::vector<char> larger(length + 1, '\0');
  const std::uint32_t second = platform::GetTempFolder(larger.data(), length + 1, error);
  if (second == 0) return {};
  if (second > length) {  // it grew in between
    *error = ERROR_INSUFFICIENT_BUFFER;
    return {};
  }
  return std::string(larger.data(), second);
}

// How this run ended, when it ends before the archive.
void EndRun(ExportStatus status, long error) {
  platform::RunWhileClaimed([&] {
    g_exportOutcome.status = status;
    g_exportOutcome.error = error;
  });
}

// The length in characters that the ANSI calls count: each double-byte character is one.
std::size_t CharacterCount(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t at = 0; at < text.size(); at += platform::cp936::CharLength(text, at)) ++count;
  return count;
}

// The Save As dialog until it gives a path the archive can be written to: a path too long is
// said to be so, and asked for again.
platform::SaveAsAnswer ChooseArchivePath(std::string* path, unsigned long* error) {
  for (;;) {
    const platform::SaveAsAnswer answer =
        platform::AskSaveAsPath("Vantik.zip", "Zip Files (*.zip)|*.zip||", path, error);
    const bool tooLong = answer == platform::SaveAsAnswer::kTooLong ||
                         (answer == platform::SaveAsAnswer::kConfirmed &&
                          CharacterCount(*path) > kLongestArchivePath);
    if (!tooLong) return answer;
    platform::ShowMessageBox(GetText(TEXT_PATH_TOO_LONG));
  }
}

}  // namespace

int CPageInfo::ExportLog() {
  // A new run: nothing of an earlier export is packed again or said of this one. The run of an
  // earlier export that was never finished goes after the claim.
  std::shared_ptr<ExportRun> earlier;
  if (!platform::RunWhileClaimed([&] {
        earlier = std::move(g_exportRun);
        g_strExportTempDir.clear();
        g_strExportZipPath.clear();
        g_strExportLogPath.clear();
        g_exportFiles.clear();
        g_exportOutcome = ExportOutcome{};
      })) {
    return -1;
  }
  earlier.reset();
  ComposeReport();

  long tempError = ERROR_SUCCESS;
  const std::string tempDir = TempFolder(&tempError);
  if (tempDir.empty()) {
    platform::ShowMessageBox("0Couldn't create the file!");
    EndRun(ExportStatus::kLogFailed, tempError);
    return -1;
  }

  std::string zipPath;
  unsigned long dialogError = 0;
  switch (ChooseArchivePath(&zipPath, &dialogError)) {
    case platform::SaveAsAnswer::kConfirmed:
      break;
    case platform::SaveAsAnswer::kFailed:
      EndRun(ExportStatus::kSaveAsFailed, static_cast<long>(dialogError));
      return -1;
    default:
      EndRun(ExportStatus::kCancelled, ERROR_SUCCESS);
      return -1;
  }

  std::shared_ptr<ExportRun> run;
  long created = ExportRun::Start(tempDir, &run);
  const std::string logPath = created == ERROR_SUCCESS ? run->folder() + "Vantik.log" : "";
  platform::File log;
  if (created == ERROR_SUCCESS) created = log.CreateForWriting(logPath.c_str());
  if (created != ERROR_SUCCESS) {
    // Without a log there is nothing to pack: the target is left as it is.
    platform::ShowMessageBox("1Couldn't create the file!");
    EndRun(ExportStatus::kLogFailed, created);
    return -1;
  }
  if (!platform::RunWhileClaimed([&] {
        g_exportRun = run;
        g_strExportTempDir = run->folder();
        g_strExportZipPath = zipPath;
        g_strExportLogPath = logPath;
      })) {
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
  long writeError = ERROR_SUCCESS;
  for (const auto& piece : pieces) {
    writeError = log.Write(piece.banner, static_cast<std::uint32_t>(std::strlen(piece.banner)));
    if (writeError == ERROR_SUCCESS && piece.text != nullptr && !piece.text->empty()) {
      writeError = log.Write(piece.text->data(), static_cast<std::uint32_t>(piece.text->size()));
    }
    if (writeError != ERROR_SUCCESS) break;
  }
  const long closed = log.Close();
  if (writeError == ERROR_SUCCESS) writeError = closed;
  if (writeError != ERROR_SUCCESS) platform::ShowMessageBox("Failed when save log！");

  platform::RunWhileClaimed([&] {
    g_exportOutcome.logWriteError = writeError;
    g_exportFiles.push_back(ExportFile{logPath, "Vantik.log"});
  });
  return 0;
}
