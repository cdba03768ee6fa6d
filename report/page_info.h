// The report: one text per section, all composed by one call before anything is written.
#pragma once

#include <string>

class CPageInfo {
 public:
  CPageInfo() = default;
  virtual ~CPageInfo() = default;

  // Runs the section renderers once each, in their fixed order.
  void ComposeReport();

  // Composes the report, asks where to save the archive and writes "Vantik.log" in a folder of
  // the run's own under the temporary folder: nine banners, each followed by its section. 0
  // when the log was written (even partly), -1 when no log could be started.
  int ExportLog();

  std::string m_strSystem;
  std::string m_strProcess;
  std::string m_strSoftware;
  std::string m_strRoute;
  std::string m_strBrowser;
  std::string m_strAdapter;
  std::string m_strClient;
  std::string m_strHosts;
};
