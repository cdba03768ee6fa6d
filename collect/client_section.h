// The VPN client health section: whether the pieces of the Tovra client that live outside the
// client program are in place and working. It only reads.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace collect {

// 0 when the first Winsock catalog entry was read and does not name the client's provider DLL;
// -1 when it cannot be read or names it.
int CheckCatalogEntry();

// 0 when the client's name-space provider is listed and active, else -1. Needs the sockets
// library started in the process.
int CheckNameSpaceProvider();

// The file version of `path` as "major. minor. build. revision" into `version`. 0, or -1 with
// `version` left as it was.
int GetFileVersionText(const char* path, std::string& version);

// The client's service, and its provider DLL in the system folder, as the report and the
// diagnosis both look for them.
inline constexpr char kClientServiceName[] = "QuorvService";
inline constexpr char kProviderDll[] = "\\dolvane.dll";

// The path of `name` ("\dolvane.dll") in the system folder under the Windows folder; empty when
// the Windows folder cannot be had.
std::string SystemFilePath(const char* name);
// The file version of `name` there, as GetFileVersionText gives it.
int GetSystemFileVersion(const char* name, std::string& version);

// The client's folder in the user's application data, into `path` (at most 260 bytes with its
// zero). 0, or -1 when there is none or it does not fit.
int GetClientFolder(char* path);

// The same for `name` ("QuorvService.exe") in the client's folder.
int GetClientFileVersion(const char* name, std::string& version);

// The virtual adapter device `name` among the present ROOT\NET devices: 0 installed and
// working, 1 disabled, 3 not present, 4 error.
int GetAdapterDeviceStatus(const char* name);

// How the client's service was found.
enum class ServiceState {
  kQueryFailed,   // the service control manager could not be opened
  kNotInstalled,  // the service could not be opened
  kUnknown,       // its status could not be read: the section has no line for it
  kStopped,
  kRunning,  // running, paused or pending: there and not stopped
};

// How the client's service "QuorvService" is found and, when `startType` is given and the
// state could be read, its start type (left as it was when that cannot be read). The section
// takes any service that cannot be opened for not installed; `openCode`, when given, receives
// the open's Win32 code, which tells a missing service (ERROR_SERVICE_DOES_NOT_EXIST) from one
// that could not be looked at.
ServiceState ReadClientService(std::optional<std::uint32_t>* startType = nullptr,
                               long* openCode = nullptr);

// The client's network extension: its service and its virtual adapter device.
struct NetworkExtension {
  ServiceState service = ServiceState::kQueryFailed;
  std::string adapterName = "MirrelDrv";  // "TovraDrv", or "MirrelDrv" when that is not found
  int adapterStatus = 3;                  // GetAdapterDeviceStatus of adapterName
};

NetworkExtension GatherNetworkExtension();
// The service's line (none for kUnknown), the adapter's line and the adapter's name.
std::string RenderNetworkExtension(const NetworkExtension& extension);

// What the section shows of the client's pieces. A version is empty when it cannot be read.
struct ClientSection {
  int catalogEntry = -1;        // CheckCatalogEntry
  int nameSpaceProvider = -1;   // CheckNameSpaceProvider
  std::string providerVersion;  // the provider DLL in the system folder
  std::string tesnobVersion;    // tesnob.dll in the system folder
  NetworkExtension extension;
  std::string serviceVersion;               // QuorvService.exe in the client's folder
  std::string pexamoVersion;                // Pexamo.exe in the client's folder
  std::string driverFile = "TovraDrv.sys";  // "MirrelDrv.sys" when TovraDrv.sys has no version
  std::string driverVersion;
};

// Everything of the section but its network extension. Starts the sockets library for the
// name-space provider check, and leaves it started.
void GatherClientComponents(ClientSection& section);

// The components, then the network extension.
ClientSection GatherClientSection();
std::string RenderClientSection(const ClientSection& section);

}  // namespace collect
