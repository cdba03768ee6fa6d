// The console on the simulated workstation: what a program writes is kept for the tests.
#include "platform/console.h"

#include "platform/sim/console_model.h"
#include "platform/sim/workstation.h"
#include "platform/win32_codes.h"

namespace platform {
namespace sim {

Console& Console::SetConsoleWindow(StdStream stream, bool window) {
  std::lock_guard lock(mutex_);
  Of(stream).window = window;
  return *this;
}

Console& Console::SetOutputCodePage(unsigned codePage) {
  std::lock_guard lock(mutex_);
  codePage_ = codePage;
  return *this;
}

Console& Console::FailWrites(StdStream stream, long code) {
  std::lock_guard lock(mutex_);
  Of(stream).failure = code;
  return *this;
}

std::string Console::Bytes(StdStream stream) const {
  std::lock_guard lock(mutex_);
  return Of(stream).bytes;
}

std::u16string Console::Characters(StdStream stream) const {
  std::lock_guard lock(mutex_);
  return Of(stream).characters;
}

bool Console::IsWindow(StdStream stream) const {
  std::lock_guard lock(mutex_);
  return Of(stream).window;
}

unsigned Console::OutputCodePage() const {
  std::lock_guard lock(mutex_);
  return codePage_;
}

long Console::Write(StdStream stream, std::string_view bytes) {
  std::lock_guard lock(mutex_);
  Stream& target = Of(stream);
  if (target.failure != 0) return target.failure;
  target.bytes.append(bytes);
  return ERROR_SUCCESS;
}

long Console::WriteCharacters(StdStream stream, std::u16string_view text) {
  std::lock_guard lock(mutex_);
  Stream& target = Of(stream);
  if (target.failure != 0) return target.failure;
  // A file or pipe has no console mode: WriteConsoleW fails on it.
  if (!target.window) return ERROR_INVALID_HANDLE;
  target.characters.append(text);
  return ERROR_SUCCESS;
}

}  // namespace sim

namespace {

// What a recorded call wrote to.
std::string StreamName(StdStream stream) {
  return stream == StdStream::kOutput ? "standard output" : "standard error";
}

}  // namespace

bool IsConsoleWindow(StdStream stream) {
  return sim::Workstation::Current().console().IsWindow(stream);
}

unsigned ConsoleOutputCodePage() { return sim::Workstation::Current().console().OutputCodePage(); }

long WriteWide(StdStream stream, std::u16string_view text) {
  if (const long fault = sim::EnterCall("WriteConsoleW", StreamName(stream), ERROR_NO_DATA)) {
    return fault;
  }
  return sim::Workstation::Current().console().WriteCharacters(stream, text);
}

long WriteBytes(StdStream stream, std::string_view bytes) {
  // The reader of the pipe has gone.
  if (const long fault = sim::EnterCall("WriteFile", StreamName(stream), ERROR_NO_DATA)) {
    return fault;
  }
  return sim::Workstation::Current().console().Write(stream, bytes);
}

}  // namespace platform
