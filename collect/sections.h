// The report's sections. Each is read from the workstation and written in two steps:
//
//   XxxSection GatherXxxSection();                      // through the platform seam
//   std::string RenderXxxSection(const XxxSection&);     // a pure function of the record
//
// The record is named after its section and holds the facts as the workstation gave them, so
// that whatever reads the workstation later (findings, a report that leaves out personal data)
// reads records, never the report's text. A renderer makes no platform call: the same record
// gives the same bytes (code page 936, every line ending in CR LF). The route table and adapter
// sections share one gathering (RouteAndAdapterSections), as the adapters are listed only
// when the route table could be had.
//
// Errors. A gather step cannot fail as a whole: what it cannot have, it leaves out of its record
// (an empty text or list, a nullopt, or a flag that says so, as each record states), with a
// debugger trace where the section has one for it; the renderer writes what the section shows
// then. The helpers that gather one fact return an int: 0 when they have it and -1 when not,
// out-parameters left as they were on failure. Three kinds say more, each in its header: a
// check's verdict (0 normal, 1 abnormal, -1 not known), a device's status (0, 1, 3 or 4), and
// the Windows code of what failed (the Administrators check). Nothing here throws.
//
// A repair is never part of a section: the virtual adapter's binding (adapter_binding.h) is a
// step of its own, which the report composer runs before it gathers the adapters.
#pragma once

#include "collect/browser_section.h"
#include "collect/client_section.h"
#include "collect/hosts_section.h"
#include "collect/software_section.h"
#include "collect/process_section.h"
#include "collect/route_section.h"
#include "collect/system_section.h"
