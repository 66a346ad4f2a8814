#include "platform/worker_thread.h"

#include <process.h>

#include <memory>

namespace platform {
namespace {

unsigned __stdcall RunJob(void* job) {
  std::unique_ptr<std::function<void()>> owned(static_cast<std::function<void()>*>(job));
  (*owned)();
  return 0;
}

}  // namespace

WorkerThread::WorkerThread(std::function<void()> job) {
  auto owned = std::make_unique<std::function<void()>>(std::move(job));
  // The C runtime's own thread start, since the job uses its heap and
  // exceptions.
  const uintptr_t thread = _beginthreadex(nullptr, 0, RunJob, owned.get(), 0, nullptr);
  if (thread == 0) return;
  owned.release();
  handle_.reset(reinterpret_cast<HANDLE>(thread));
}

void LowerThisThreadPriority() { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL); }

void PauseBriefly(HANDLE wake, unsigned milliseconds) {
  // Input, posted and paint messages wait for the caller's next look at its
  // queue; until then they would end every pause at once. A message another
  // program sends is answered here, which is all its sender waits for.
  const DWORD count = wake != nullptr ? 1 : 0;
  if (MsgWaitForMultipleObjects(count, &wake, FALSE, milliseconds, QS_SENDMESSAGE) == WAIT_OBJECT_0 + count) {
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

void Doze() { Sleep(1); }

}  // namespace platform
