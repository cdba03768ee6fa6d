// The VPN client health section: whether the pieces of the Tovra client that live outside the
// client program are in place and working. It only reads.
#pragma once

#include <string>

// 0 when the first Winsock catalog entry was read and does not name the client's provider DLL;
// -1 when it cannot be read or names it.
int CheckCatalogEntry();

// 0 when the client's name-space provider is listed and active, else -1. Needs the sockets
// library started in the process.
int CheckNameSpaceProvider();

// The file version of `path` as "major. minor. build. revision" into `version`. 0, or -1 with
// `version` left as it was.
int GetFileVersionText(const char* path, std::string& version);

// The same for `name` ("\dolvane.dll") in the system folder under the Windows folder.
int GetSystemFileVersion(const char* name, std::string& version);

// The client's folder in the user's application data, into `path` (at most 260 bytes with its
// zero). 0, or -1 when there is none or it does not fit.
int GetClientFolder(char* path);

// The same for `name` ("QuorvService.exe") in the client's folder.
int GetClientFileVersion(const char* name, std::string& version);

// The virtual adapter device `name` among the present ROOT\NET devices: 0 installed and
// working, 1 disabled, 3 not present, 4 error.
int GetAdapterDeviceStatus(const char* name);

// Appends the lines of the client's service and virtual adapter. Always 1.
int AppendExtensionStatus(std::string& text);
