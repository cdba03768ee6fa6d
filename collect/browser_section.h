// The browser configuration section: Internet Explorer's User-Agent values, automatic
// configuration script, proxy, helper objects and toolbar extensions.
#pragma once

#include <string>
#include <vector>

#include "checks/ie_info.h"

namespace collect {

// Fills the record from the registry. 0, or -1 when the per-user Internet Settings key cannot
// be opened (then nothing is read).
int ReadIEConfig(checks::IEInfo& info);

// Appends the class names of the browser helper objects, in the registry's order, duplicates
// kept. 0, or -1 when their key cannot be opened.
int ReadBrowserHelperObjects(std::vector<std::string>& names);

// Appends the menu (or else button) texts of the toolbar extensions. 0, or -1 when their key
// cannot be opened.
int ReadIEExtensions(std::vector<std::string>& texts);

// The section's record is the browser record that the User-Agent check shares
// (checks/ie_info.h): the check fills its User-Agent values, the section all of it.
using BrowserSection = checks::IEInfo;

BrowserSection GatherBrowserSection();
std::string RenderBrowserSection(const BrowserSection& section);

}  // namespace collect
