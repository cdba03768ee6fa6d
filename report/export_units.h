// The export's task entries, in the order of the export list, and what the main dialog does
// around the list.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "report/archive_packer.h"
#include "report/export_outcome.h"

int ExportBasicInfo();  // composes the report and writes the log
int ExportPatchInfo();  // the hotfix list, on Vista and later only
int ExportSpiInfo();    // network configuration and Winsock catalog, appended to the log
int ExportDnsInfo();    // the DNS cache, appended to the log
int ExportPackage();    // packs the listed files into the archive the user chose

// How an export treats what is already at the place it writes to.
struct ExportOptions {
  // The Save As dialog has asked the user before a file is replaced; a program that asks
  // nobody keeps a file that is there.
  TargetPolicy target = TargetPolicy::kReplace;
};

// Before the export list runs: its outcome starts afresh, so that a run stopped before its
// first unit says so; the options hold for this run.
void BeginExport(const ExportOptions& options = {});

// Once the export list has run or been stopped: the closing message, if there is one to show,
// and the whole outcome in *outcome (when given). The run's folder goes now, or with the last
// abandoned unit that still works in it.
std::optional<std::string> FinishExport(ExportOutcome* outcome = nullptr);

// The export as the main dialog runs it: BeginExport, the list (run by `runList`, behind the
// progress dialog), then the closing message, if any, in a message box owned by `owner`.
void RunExport(const std::function<void()>& runList, void* owner);
