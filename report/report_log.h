// The export's log file: the composed report, each section under its banner, and a last banner
// under which the command captures go.
#pragma once

#include "platform/files.h"
#include "report/report.h"

namespace report {

// Writes the nine banners and the eight sections into `log`, which it then closes. The first
// failure ends the writing, as an exception from the file layer would: what was written stays.
// ERROR_SUCCESS, or the Windows code of the write (or the close) that failed.
long WriteReportLog(platform::File& log, const Report& report);

}  // namespace report
