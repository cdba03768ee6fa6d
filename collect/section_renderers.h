// The renderers of the report's sections, one per collector. Each fills only the text or texts
// it is given, and says what went wrong inside its own text rather than failing.
#pragma once

#include <string>

// Appends the system section (the text is empty when called).
void RenderSystemSection(std::string& system);
// Replaces the text with the installed software section.
void RenderSoftwareSection(std::string& software);
// Returns the process list section.
std::string RenderProcessSection();
// Replaces the text with the browser section. Always 0.
int RenderBrowserSection(std::string& browser);
// Replaces both texts with the route table and the adapter sections.
void RenderRouteAndAdapterSections(std::string& route, std::string& adapter);
// Replaces the text with the VPN client section.
void RenderClientSection(std::string& client);
// Replaces the text with the hosts file section.
void RenderHostsSection(std::string& hosts);
