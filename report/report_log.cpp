#include "report/report_log.h"

#include <cstdint>
#include <cstring>
#include <string>

#include "platform/win32_codes.h"

namespace report {

long WriteReportLog(platform::File& log, const Report& report) {
  const struct {
    const char* banner;
    const std::string* text;
  } pieces[] = {
      {"\r\n===================================SYSTEM INFO==================================\r\n",
       &report.system},
      {"\r\n===================================SOFTWARE INFO================================\r\n",
       &report.software},
      {"\r\n===================================PROCESS INFO=================================\r\n",
       &report.process},
      {"\r\n===================================IE BROWER INFO===============================\r\n",
       &report.browser},
      {"\r\n====================================ROUTE TABLE=================================\r\n",
       &report.route},
      {"\r\n====================================ADAPTER INFO================================\r\n",
       &report.adapter},
      {"\r\n====================================TOVRA CLIENT==================================\r\n",
       &report.client},
      {"\r\n====================================HOSTS================================\r\n",
       &report.hosts},
      // Before the catalog's banner: the command captures that follow it are appended to the
      // log later, and belong right after it.
      {"\r\n====================================FINDINGS================================\r\n",
       &report.findings},
      {"\r\n====================================CATALOG================================\r\n",
       nullptr},
  };
  long error = ERROR_SUCCESS;
  for (const auto& piece : pieces) {
    error = log.Write(piece.banner, static_cast<std::uint32_t>(std::strlen(piece.banner)));
    if (error == ERROR_SUCCESS && piece.text != nullptr && !piece.text->empty()) {
      error = log.Write(piece.text->data(), static_cast<std::uint32_t>(piece.text->size()));
    }
    if (error != ERROR_SUCCESS) break;
  }
  const long closed = log.Close();
  return error != ERROR_SUCCESS ? error : closed;
}

}  // namespace report
