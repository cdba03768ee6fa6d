#include "report/report.h"

#include "collect/adapter_binding.h"
#include "collect/sections.h"

void ComposeReport(Report& report) {
  report.system = RenderSystemSection(GatherSystemSection());
  report.software = RenderSoftwareSection(GatherSoftwareSection());
  report.process = RenderProcessSection(GatherProcessSection());
  report.browser = RenderBrowserSection(GatherBrowserSection());
  // The virtual adapter's binding is put right before the adapters are listed, so that the
  // listing shows the state the export leaves behind.
  RepairVirtualAdapterBinding();
  const RouteAndAdapterSections network = GatherRouteAndAdapterSections();
  report.route = RenderRouteSection(network.route, network.adapter);
  report.adapter = RenderAdapterSection(network.adapter);
  report.client = RenderClientSection(GatherClientSection());
  report.hosts = RenderHostsSection(GatherHostsSection());
}
