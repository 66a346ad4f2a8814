// A job run on a thread of its own, so that the user-interface thread can
// keep its windows painted meanwhile.
#pragma once

#include <windows.h>

#include <functional>

#include "platform/handles.h"

namespace platform {

class WorkerThread {
 public:
  // Starts `job` at once. The job must own, or share, everything it
  // touches: a caller that stops waiting for it lets it run on to its end
  // unobserved, and this object does not wait for it either.
  explicit WorkerThread(std::function<void()> job);
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;

  // False when the thread could not be started; the job has then not run.
  bool Started() const { return static_cast<bool>(handle_); }
  // Signalled when the job has ended.
  HANDLE handle() const { return handle_.get(); }
  bool Ended() const { return !handle_ || WaitForSingleObject(handle_.get(), 0) != WAIT_TIMEOUT; }

 private:
  UniqueHandle handle_;
};

// An event by which one thread ends another's pause early.
class WakeSignal {
 public:
  WakeSignal() : handle_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}
  void Signal() {
    if (handle_) SetEvent(handle_.get());
  }
  HANDLE handle() const { return handle_.get(); }

 private:
  UniqueHandle handle_;
};

// Runs the calling thread below normal priority, behind the user's work.
void LowerThisThreadPriority();

// Gives the processor away for about `milliseconds` (longer where the
// system's clock ticks coarser), or less when `wake` is signalled or a
// message is sent to the calling thread's windows, which is answered.
void PauseBriefly(HANDLE wake = nullptr, unsigned milliseconds = 1);
// Sleeps for about a millisecond (longer where the system's clock ticks
// coarser); for threads that own no window.
void Doze();

}  // namespace platform
