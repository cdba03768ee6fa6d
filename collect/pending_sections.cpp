// Sections whose collectors are not built yet. Each leaves its text empty, which the export
// writes as its banner alone; a collector that lands takes its renderer out of this file.
#include "collect/section_renderers.h"

void RenderSystemSection(std::string&) {}

void RenderSoftwareSection(std::string& software) { software.clear(); }

std::string RenderProcessSection() { return {}; }
