// A lock that one process holds at a time, for files that several running
// copies of the program may change: two users' sessions can run it from one
// shared folder, where a lock of one session's own would not be seen.
#pragma once

#include <string>

namespace platform {

class FileLock {
 public:
  enum class State {
    Held,         // this object holds it
    Busy,         // another holder kept it for all of the wait
    Unavailable,  // the lock file cannot be made here (a read-only folder)
  };

  // Takes the lock at `path`, a file opened without sharing and gone again
  // once the last holder lets go; waits up to `waitMs` for another holder.
  FileLock(const std::string& path, unsigned waitMs);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  State state() const { return state_; }

 private:
  void* handle_ = nullptr;
  State state_ = State::Unavailable;
};

}  // namespace platform
