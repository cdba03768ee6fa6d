// The export's task entries, in the order of the export list.
#pragma once

int ExportBasicInfo();  // composes the report and writes the log
int ExportPatchInfo();  // the hotfix list, on Vista and later only
int ExportSpiInfo();    // network configuration and Winsock catalog, appended to the log
int ExportDnsInfo();    // the DNS cache, appended to the log
int ExportPackage();    // packs the listed files into the archive the user chose
