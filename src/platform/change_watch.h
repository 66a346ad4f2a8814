// Watches whole folder trees for files and folders being created, deleted
// and renamed, on a thread of its own. The reads are overlapped and the
// thread waits on them and on a stop event together, so stopping takes
// effect at once. A read that fails ends that folder's watch, which is
// started again at once and then after waits that double, up to 5 minutes.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/handles.h"
#include "platform/worker_thread.h"

namespace platform {

enum class ChangeAction { Added, Removed, Modified, RenamedOld, RenamedNew };

// What befell a folder's watch. Each but Restarted means changes were lost.
enum class WatchEvent {
  Overflowed,     // more changes came between two reads than the buffer held
  Ended,          // a read failed; the watch is being started again
  Restarted,      // watching again after it ended
  RestartFailed,  // could not be started again; tried again later
};

class ChangeWatch {
 public:
  // Called on the watch's thread with the watched folder and the changed
  // file's or folder's path relative to it.
  using OnChange = std::function<void(const std::string& root, const std::string& relative, ChangeAction action,
                                      bool isFolder)>;
  // Called on the watch's thread; `retrySeconds` is the wait before the
  // next try after RestartFailed.
  using OnWatchEvent = std::function<void(const std::string& root, WatchEvent event, unsigned retrySeconds)>;

  // Starts watching each folder of `roots` that can be opened, and returns
  // once the watch is in place. Files and folders are watched by reads of
  // their own, so that a change says which it is without a look at the disk. Each folder's changes between two reads
  // must fit in `bufferBytes`; 64 KiB is the most a read returns over the
  // network and plenty on a local disk.
  ChangeWatch(const std::vector<std::string>& roots, OnChange onChange, OnWatchEvent onEvent,
              size_t bufferBytes = 64 * 1024);
  // Stops the thread and waits for it; no callback runs afterwards.
  ~ChangeWatch();
  ChangeWatch(const ChangeWatch&) = delete;
  ChangeWatch& operator=(const ChangeWatch&) = delete;

  // The folders being watched.
  const std::vector<std::string>& Watched() const { return watched_; }
  // For tests: the next read that completes fails with `error` instead.
  void FailNextRead(DWORD error) { injectedError_ = error; }

 private:
  struct Folder;
  void Run();
  // Hands on the records of a completed read, or what its failure means.
  void Completed(Folder& folder);
  // The wait until the next restart is due, in milliseconds.
  DWORD NextRestartWait() const;
  void RestartDue();
  void Report(const Folder& folder, WatchEvent event, unsigned retrySeconds = 0);

  OnChange onChange_;
  OnWatchEvent onEvent_;
  std::atomic<DWORD> injectedError_{0};
  UniqueHandle stop_;
  UniqueHandle started_;  // signalled once the first reads are under way
  std::vector<std::unique_ptr<Folder>> folders_;
  std::vector<std::string> watched_;
  std::unique_ptr<WorkerThread> thread_;
};

// The roots of the fixed drives ("C:\"), in drive-letter order, but for
// disks plugged in by USB or FireWire and letters made by SUBST.
std::vector<std::string> FixedDriveRoots();
// The path as the watch of its real drive names it: on a letter made by
// SUBST from "C:\Tools", "T:\x" is "C:\Tools\x". Other paths stay.
std::string WithoutDriveAlias(const std::string& path);

}  // namespace platform
