// Worker threads on Win32 threads.
#include "platform/win32/windows_api.h"

#include "platform/thread.h"

namespace platform {
namespace {

struct StartArguments {
  void (*entry)(void*);
  void* argument;
};

DWORD WINAPI ThreadMain(LPVOID parameter) {
  const StartArguments start = *static_cast<StartArguments*>(parameter);
  delete static_cast<StartArguments*>(parameter);
  start.entry(start.argument);
  return 0;
}

void PeekSentMessages() {
  MSG message;
  // Peeking for sent messages alone dispatches them and removes nothing from the queue.
  PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

}  // namespace

bool WorkerThread::Start(void (*entry)(void*), void* argument) {
  Close();
  auto* start = new StartArguments{entry, argument};
  DWORD id = 0;
  HANDLE thread = CreateThread(nullptr, 0, ThreadMain, start, 0, &id);
  if (thread == nullptr) {
    delete start;
    return false;
  }
  handle_ = thread;
  return true;
}

bool WorkerThread::WaitWhileLettingSentMessagesThrough(std::uint32_t milliseconds) {
  if (handle_ == nullptr) return true;
  HANDLE thread = static_cast<HANDLE>(handle_);
  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= milliseconds) return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
    const DWORD woke =
        MsgWaitForMultipleObjects(1, &thread, FALSE, milliseconds - elapsed, QS_SENDMESSAGE);
    if (woke == WAIT_OBJECT_0) return true;
    if (woke == WAIT_OBJECT_0 + 1) {
      PeekSentMessages();
    } else if (woke != WAIT_TIMEOUT) {
      return false;
    }
  }
}

void WorkerThread::Close() {
  if (handle_ != nullptr) {
    CloseHandle(static_cast<HANDLE>(handle_));
    handle_ = nullptr;
  }
}

void LetSentMessagesThrough() {
  PeekSentMessages();
  MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_SENDMESSAGE);
}

}  // namespace platform
