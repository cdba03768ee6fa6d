// The findings as text (code page 936, every line ending in CR LF): the report's findings
// section, and one row's details as the main dialog shows them on demand.
#pragma once

#include <string>
#include <vector>

#include "diagnosis/rows.h"

namespace diagnosis {

// Each finding of each shown row with its row, severity, meaning, evidence and next step; a
// row whose facts could not be gathered says so; one line when nothing was found.
std::string RenderFindingsSection(const std::vector<RowReport>& reports);

// The row's title, then its findings as above, or that it is normal, or that it could not be
// checked.
std::string RowDetailsText(RowId row, const RowOutcome& outcome);

}  // namespace diagnosis
