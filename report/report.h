// The report: one text per section, all composed by one call before anything is written.
#pragma once

#include <string>

namespace report {

struct Report {
  std::string system;
  std::string software;
  std::string process;
  std::string browser;
  std::string route;
  std::string adapter;
  std::string client;
  std::string hosts;
  std::string findings;  // the diagnosis's findings, judged from the records gathered above
};

// Composes every section once, in the report's fixed order, into `report`.
void ComposeReport(Report& report);

}  // namespace report
