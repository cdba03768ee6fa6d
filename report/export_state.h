// What one export unit leaves for the next, for one run of the export list. Process-wide and
// empty at start; the first unit starts it afresh. Units write it through
// platform::RunWhileClaimed, so that a unit whose progress dialog has abandoned it cannot
// write into a later export.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "report/archive_packer.h"
#include "report/export_outcome.h"
#include "report/export_run.h"
#include "report/export_units.h"

extern std::string g_strExportTempDir;  // the run's own folder, with its trailing backslash
extern std::string g_strExportZipPath;  // the archive the user confirmed, once the log exists
extern std::string g_strExportLogPath;  // g_strExportTempDir + "Vantik.log"
extern std::vector<ExportFile> g_exportFiles;   // this run's files, in packing order
extern std::shared_ptr<ExportRun> g_exportRun;  // the run's folder, while a unit may need it
extern ExportOutcome g_exportOutcome;
extern ExportOptions g_exportOptions;  // set by BeginExport, for the run it begins
