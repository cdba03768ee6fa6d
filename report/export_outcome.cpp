#include "report/export_outcome.h"

#include "platform/win32_codes.h"
#include "text/text_table.h"

namespace report {

using namespace text;

namespace {

// "<text> 错误代码 [N]", or the text alone without a code.
std::string WithCode(const std::string& text, long code) {
  if (code == 0) return text;
  return text + " " + GetText(TEXT_ERROR_CODE) + " [" + std::to_string(code) + "]";
}

// What the archive's failure was, as far as its code tells.
const char* ArchiveFailure(long code) {
  switch (code) {
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
      return GetText(TEXT_ARCHIVE_FOLDER_NOT_FOUND);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return GetText(TEXT_ARCHIVE_DISK_FULL);
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return GetText(TEXT_ARCHIVE_IN_USE);
    case ERROR_ACCESS_DENIED:
      return GetText(TEXT_ARCHIVE_ACCESS_DENIED);
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
      return GetText(TEXT_ARCHIVE_EXISTS);
    default:
      return GetText(TEXT_ARCHIVE_NOT_WRITTEN);
  }
}

void AddUnpacked(const std::vector<UnpackedFile>& files, std::vector<std::string>* lines) {
  for (const UnpackedFile& file : files) {
    lines->push_back(WithCode(GetText(TEXT_FILE_NOT_PACKED) + file.name, file.error));
  }
}

// The headline, then one line for each thing that went wrong.
std::string Lines(int headline, const std::vector<std::string>& lines) {
  std::string message = GetText(headline);
  for (const std::string& line : lines) message += "\r\n" + line;
  return message;
}

}  // namespace

std::optional<std::string> ClosingMessage(const ExportOutcome& outcome) {
  switch (outcome.status) {
    case ExportStatus::kCancelled:
      return std::nullopt;
    case ExportStatus::kSaveAsFailed:
      return Lines(TEXT_EXPORT_FAILED, {WithCode(GetText(TEXT_SAVE_AS_FAILED), outcome.error)});
    case ExportStatus::kLogFailed:
      return Lines(TEXT_EXPORT_FAILED, {WithCode(GetText(TEXT_LOG_NOT_CREATED), outcome.error)});
    case ExportStatus::kUnderway:
      break;
  }
  const PackOutcome& pack = outcome.pack;
  if (!pack.finished) return std::string(GetText(TEXT_EXPORT_STOPPED));
  std::vector<std::string> lines;
  if (!pack.placed) {
    // With no code, the archive lost every file it was to hold: those are the news.
    if (pack.error != 0) {
      lines.push_back(WithCode(ArchiveFailure(pack.error), pack.error));
    } else {
      AddUnpacked(pack.unpacked, &lines);
    }
    return Lines(TEXT_EXPORT_FAILED, lines);
  }
  if (outcome.logWriteError != 0) {
    lines.push_back(WithCode(GetText(TEXT_LOG_INCOMPLETE), outcome.logWriteError));
  }
  AddUnpacked(outcome.notProduced, &lines);
  AddUnpacked(pack.unpacked, &lines);
  if (lines.empty()) return std::string(kExportDone);
  return Lines(TEXT_EXPORT_INCOMPLETE, lines);
}

bool ExportIsComplete(const ExportOutcome& outcome) {
  const std::optional<std::string> message = ClosingMessage(outcome);
  return message && *message == kExportDone;
}

}  // namespace report
