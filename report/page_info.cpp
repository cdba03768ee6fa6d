#include "report/page_info.h"

#include "collect/section_renderers.h"

void CPageInfo::ComposeReport() {
  // The system section goes first: its host-name lookup starts the sockets library that the
  // client section needs.
  RenderSystemSection(m_strSystem);
  RenderSoftwareSection(m_strSoftware);
  m_strProcess = RenderProcessSection();
  RenderBrowserSection(m_strBrowser);
  RenderRouteAndAdapterSections(m_strRoute, m_strAdapter);
  RenderClientSection(m_strClient);
  RenderHostsSection(m_strHosts);
}
