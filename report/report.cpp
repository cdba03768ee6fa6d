#include "report/report.h"

#include "collect/section_renderers.h"

void ComposeReport(Report& report) {
  // The system section goes first: its host-name lookup starts the sockets library that the
  // client section needs.
  RenderSystemSection(report.system);
  RenderSoftwareSection(report.software);
  report.process = RenderProcessSection();
  RenderBrowserSection(report.browser);
  RenderRouteAndAdapterSections(report.route, report.adapter);
  RenderClientSection(report.client);
  RenderHostsSection(report.hosts);
}
