// What one export unit leaves for the next. Process-wide, empty at start; the file list is only
// ever appended to. Units write it through platform::RunWhileClaimed, so that a unit whose
// progress dialog has abandoned it cannot write into a later export.
#pragma once

#include <string>
#include <vector>

extern std::string g_strExportTempDir;  // with its trailing backslash
extern std::string g_strExportZipPath;  // the archive the user confirmed
extern std::string g_strExportLogPath;  // g_strExportTempDir + "Vantik.log"
extern std::vector<std::string> g_exportFiles;
