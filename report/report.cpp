#include "report/report.h"

#include "collect/adapter_binding.h"
#include "collect/sections.h"
#include "diagnosis/findings_text.h"

namespace report {

void ComposeReport(Report& report) {
  report.system = collect::RenderSystemSection(collect::GatherSystemSection());
  report.software = collect::RenderSoftwareSection(collect::GatherSoftwareSection());
  report.process = collect::RenderProcessSection(collect::GatherProcessSection());
  report.browser = collect::RenderBrowserSection(collect::GatherBrowserSection());
  // The virtual adapter's binding is put right before the adapters are listed, so that the
  // listing shows the state the export leaves behind.
  collect::RepairVirtualAdapterBinding();
  const collect::RouteAndAdapterSections network = collect::GatherRouteAndAdapterSections();
  report.route = collect::RenderRouteSection(network.route, network.adapter);
  report.adapter = collect::RenderAdapterSection(network.adapter);
  report.client = collect::RenderClientSection(collect::GatherClientSection());
  const collect::HostsSection hosts = collect::GatherHostsSection();
  report.hosts = collect::RenderHostsSection(hosts);
  report.findings = diagnosis::RenderFindingsSection(diagnosis::JudgeAllRows(network, hosts));
}

}  // namespace report
