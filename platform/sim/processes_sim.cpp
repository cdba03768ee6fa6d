// The processes of the simulated workstation.
#include <algorithm>
#include <cstring>

#include "platform/processes.h"
#include "platform/sim/workstation.h"
#include "platform/win32_codes.h"

namespace platform {
namespace sim {
namespace {

// An open process: which one, and a copy of what could be read of it when it was opened.
struct OpenedProcess {
  std::vector<std::string> modules;
  long moduleListError;
  std::uint32_t access;
  std::string imagePath;
  long imagePathError;
};

// Module handles are their position in the list, spaced as load addresses are.
constexpr ModuleHandle kModuleSpacing = 0x10000;

ModuleHandle HandleOf(std::size_t position) { return (position + 1) * kModuleSpacing; }

}  // namespace

Processes& Processes::Add(SimProcess process) {
  std::lock_guard lock(mutex_);
  const auto found = index_.find(process.id);
  if (found != index_.end()) {
    processes_[found->second] = std::move(process);
  } else {
    index_[process.id] = processes_.size();
    processes_.push_back(std::move(process));
  }
  return *this;
}

Processes& Processes::Add(std::uint32_t id, std::vector<std::string> modules) {
  SimProcess process;
  process.id = id;
  if (!modules.empty() && !modules.front().empty()) {
    process.imagePath = "C:\\WINDOWS\\system32\\" + modules.front();
  }
  process.modules = std::move(modules);
  return Add(std::move(process));
}

Processes& Processes::SetProgramBitness(Bitness program) {
  std::lock_guard lock(mutex_);
  program_ = program;
  return *this;
}

Processes& Processes::FailEnumeration(long code) {
  std::lock_guard lock(mutex_);
  enumerationError_ = code;
  return *this;
}

Processes& Processes::OnEnumerate(std::function<void()> probe) {
  std::lock_guard lock(mutex_);
  probe_ = std::move(probe);
  return *this;
}

std::vector<std::uint32_t> Processes::OpenRequests() const {
  std::lock_guard lock(mutex_);
  return openRequests_;
}

int Processes::OpenHandleCount() const {
  std::lock_guard lock(mutex_);
  return openHandles_;
}

long Processes::EnumIds(std::uint32_t* ids, std::uint32_t capacity, std::uint32_t* count) {
  std::function<void()> probe;
  {
    std::lock_guard lock(mutex_);
    probe = probe_;
  }
  if (probe) probe();
  std::lock_guard lock(mutex_);
  if (enumerationError_ != 0) return enumerationError_;
  const auto written =
      static_cast<std::uint32_t>(std::min<std::size_t>(capacity, processes_.size()));
  for (std::uint32_t i = 0; i < written; ++i) ids[i] = processes_[i].id;
  *count = written;
  return ERROR_SUCCESS;
}

long Processes::Open(std::uint32_t access, std::uint32_t id, void** handle) {
  std::lock_guard lock(mutex_);
  openRequests_.push_back(id);
  const auto found = index_.find(id);
  if (found == index_.end()) return ERROR_INVALID_PARAMETER;
  const SimProcess& process = processes_[found->second];
  if ((access & ~process.grantedAccess) != 0) return process.openError;
  long moduleListError = process.moduleListError;
  if (moduleListError == 0 && process.bitness == Bitness::k64 && program_ == Bitness::k32) {
    moduleListError = ERROR_PARTIAL_COPY;
  }
  *handle = new OpenedProcess{process.modules, moduleListError, access, process.imagePath,
                              process.imagePathError};
  ++openHandles_;
  return ERROR_SUCCESS;
}

long Processes::EnumModules(void* handle, ModuleHandle* modules, std::uint32_t capacity,
                            std::uint32_t* total) const {
  const auto* process = static_cast<const OpenedProcess*>(handle);
  // Reading another process's module list needs both rights.
  if ((process->access & (PROCESS_QUERY_INFORMATION | PROCESS_VM_READ)) !=
      (PROCESS_QUERY_INFORMATION | PROCESS_VM_READ)) {
    return ERROR_ACCESS_DENIED;
  }
  if (process->moduleListError != 0) return process->moduleListError;
  const std::size_t count = process->modules.size();
  for (std::size_t i = 0; i < count && i < capacity; ++i) modules[i] = HandleOf(i);
  *total = static_cast<std::uint32_t>(count);
  return ERROR_SUCCESS;
}

std::uint32_t Processes::BaseName(void* handle, ModuleHandle module, char* name,
                                  std::uint32_t size) const {
  const auto* process = static_cast<const OpenedProcess*>(handle);
  if (process->moduleListError != 0 || module == 0 || module % kModuleSpacing != 0 ||
      module / kModuleSpacing > process->modules.size() || size == 0) {
    return 0;
  }
  const std::string& text = process->modules[module / kModuleSpacing - 1];
  const auto copied = static_cast<std::uint32_t>(std::min<std::size_t>(text.size(), size));
  std::memcpy(name, text.data(), copied);
  if (copied < size) name[copied] = '\0';
  return copied;
}

long Processes::ImagePath(void* handle, char* path, std::uint32_t size,
                          std::uint32_t* length) const {
  const auto* process = static_cast<const OpenedProcess*>(handle);
  if ((process->access & (PROCESS_QUERY_INFORMATION | PROCESS_QUERY_LIMITED_INFORMATION)) == 0) {
    return ERROR_ACCESS_DENIED;
  }
  if (process->imagePathError != 0) return process->imagePathError;
  const std::string& text = process->imagePath;
  if (text.size() + 1 > size) return ERROR_INSUFFICIENT_BUFFER;
  std::memcpy(path, text.c_str(), text.size() + 1);
  *length = static_cast<std::uint32_t>(text.size());
  return ERROR_SUCCESS;
}

void Processes::Close(void* handle) {
  std::lock_guard lock(mutex_);
  delete static_cast<OpenedProcess*>(handle);
  --openHandles_;
}

}  // namespace sim

long EnumProcessIds(std::uint32_t* ids, std::uint32_t capacity, std::uint32_t* count) {
  if (const long fault = sim::EnterCall("EnumProcesses", "", ERROR_NOT_ENOUGH_MEMORY)) {
    return fault;
  }
  return sim::Workstation::Current().processes().EnumIds(ids, capacity, count);
}

long FindShellProcess(std::uint32_t* id) {
  if (const long fault = sim::EnterCall("GetShellWindow", "", ERROR_INVALID_WINDOW_HANDLE)) {
    return fault;
  }
  return sim::Workstation::Current().identity().ShellProcess(id);
}

long Process::Open(std::uint32_t access, std::uint32_t id) {
  Close();
  if (const long fault = sim::EnterCall("OpenProcess", std::to_string(id), ERROR_ACCESS_DENIED)) {
    return fault;
  }
  return sim::Workstation::Current().processes().Open(access, id, &handle_);
}

long Process::EnumModules(ModuleHandle* modules, std::uint32_t capacity,
                          std::uint32_t* total) const {
  // The process ends meanwhile, or its memory cannot be read.
  if (const long fault = sim::EnterCall("EnumProcessModules", "", ERROR_PARTIAL_COPY)) {
    return fault;
  }
  if (handle_ == nullptr) return ERROR_INVALID_HANDLE;
  return sim::Workstation::Current().processes().EnumModules(handle_, modules, capacity, total);
}

std::uint32_t Process::ModuleBaseName(ModuleHandle module, char* name, std::uint32_t size) const {
  if (sim::EnterCall("GetModuleBaseNameA", "", ERROR_PARTIAL_COPY) != 0) return 0;
  if (handle_ == nullptr) return 0;
  return sim::Workstation::Current().processes().BaseName(handle_, module, name, size);
}

long Process::ImagePath(char* path, std::uint32_t size, std::uint32_t* length) const {
  if (const long fault = sim::EnterCall("QueryFullProcessImageNameA", "", ERROR_ACCESS_DENIED)) {
    return fault;
  }
  if (handle_ == nullptr) return ERROR_INVALID_HANDLE;
  return sim::Workstation::Current().processes().ImagePath(handle_, path, size, length);
}

void Process::Close() {
  if (handle_ != nullptr) {
    sim::EnterCall("CloseHandle", "process", 0);
    sim::Workstation::Current().processes().Close(handle_);
    handle_ = nullptr;
  }
}

}  // namespace platform
