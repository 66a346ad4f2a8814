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

void WorkerThread::WaitForEnd() const {
  while (!Ended()) PauseBriefly();
}

void LowerThisThreadPriority() { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL); }

void PauseBriefly(HANDLE wake) {
  MsgWaitForMultipleObjects(wake != nullptr ? 1 : 0, &wake, FALSE, 1, QS_ALLINPUT);
}

void Doze() { Sleep(1); }

}  // namespace platform
