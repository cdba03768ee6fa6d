// Sections whose collectors are not built yet. Each leaves its text empty, which the export
// writes as its banner alone; a collector that lands takes its renderer out of this file.
#include "collect/section_renderers.h"

int RenderBrowserSection(std::string& browser) {
  browser.clear();
  return 0;
}

void RenderRouteAndAdapterSections(std::string& route, std::string& adapter) {
  route.clear();
  adapter.clear();
}

void RenderClientSection(std::string& client) { client.clear(); }

void RenderHostsSection(std::string& hosts) { hosts.clear(); }
