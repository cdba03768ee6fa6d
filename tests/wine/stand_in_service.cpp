// Stands in for the VPN client's service in a Wine prefix: a real service program that the
// prefix's service manager starts and stops (`sc create QuorvService binPath= ...`). Started, it
// reports itself running and waits for the manager's stop; it does nothing else.
//
//   stand_in_service.exe   (started by the service manager only)
#include "platform/win32/windows_api.h"

namespace {

// An event handle that closes itself.
class Event {
 public:
  Event() : handle_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
  ~Event() {
    if (handle_ != nullptr) CloseHandle(handle_);
  }
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// The service's one instance: its status handle and the event its stop sets.
struct Service {
  SERVICE_STATUS_HANDLE status = nullptr;
  Event stopped;
};
Service* g_service = nullptr;

void Report(DWORD state) {
  SERVICE_STATUS status{};
  status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  status.dwCurrentState = state;
  status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
  SetServiceStatus(g_service->status, &status);
}

DWORD WINAPI Control(DWORD control, DWORD, void*, void*) {
  if (control == SERVICE_CONTROL_STOP) {
    Report(SERVICE_STOP_PENDING);
    SetEvent(g_service->stopped.get());
    return NO_ERROR;
  }
  // SERVICE_CONTROL_INTERROGATE and the rest: the manager knows the state already.
  return control == SERVICE_CONTROL_INTERROGATE ? NO_ERROR : ERROR_CALL_NOT_IMPLEMENTED;
}

void WINAPI ServiceMain(DWORD, char**) {
  Service service;
  if (service.stopped.get() == nullptr) return;
  // Before the handler exists: a control may come as soon as it does.
  g_service = &service;
  // The service table names no service: an own-process service gets whatever it was created as.
  service.status = RegisterServiceCtrlHandlerExA("", Control, nullptr);
  if (service.status != nullptr) {
    Report(SERVICE_RUNNING);
    WaitForSingleObject(service.stopped.get(), INFINITE);
    Report(SERVICE_STOPPED);
  }
  g_service = nullptr;
}

}  // namespace

int main() {
  char name[] = "";
  SERVICE_TABLE_ENTRYA table[] = {{name, ServiceMain}, {nullptr, nullptr}};
  return StartServiceCtrlDispatcherA(table) ? 0 : 1;
}
