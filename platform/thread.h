// Worker threads: started, waited for and left alone, never ended by force.
#pragma once

#include <cstdint>

#include "platform/owned_handle.h"

namespace platform {

// One worker thread. Move-only; dropping it closes the handle and leaves the thread running.
class WorkerThread : public OwnedHandle<WorkerThread> {
 public:
  WorkerThread() = default;
  ~WorkerThread() { Close(); }
  WorkerThread(WorkerThread&&) noexcept = default;
  WorkerThread& operator=(WorkerThread&&) noexcept = default;

  // CreateThread(default security, default stack, entry, argument, run at once). False when
  // no thread could be made; `entry` is then not called.
  [[nodiscard]] bool Start(void (*entry)(void*), void* argument);

  // Waits up to `milliseconds` for the thread to end (WaitForSingleObject), letting through the
  // synchronous messages that it sends to this thread's windows meanwhile, so that it cannot
  // dead-lock on them. True when the thread has ended.
  [[nodiscard]] bool WaitWhileLettingSentMessagesThrough(std::uint32_t milliseconds);

  bool IsStarted() const { return handle_ != nullptr; }
  void Close();
};

// Handles the synchronous messages that other threads have sent to this thread's windows,
// then yields for a moment.
void LetSentMessagesThrough();

}  // namespace platform
