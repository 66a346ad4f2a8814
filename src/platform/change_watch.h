// Watches whole folder trees for files being created, deleted and renamed,
// on a thread of its own. The reads are overlapped and the thread waits on
// them and on a stop event together, so stopping takes effect at once.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/handles.h"
#include "platform/worker_thread.h"

namespace platform {

enum class ChangeAction { Added, Removed, Modified, RenamedOld, RenamedNew };

class ChangeWatch {
 public:
  // Called on the watch's thread with the watched folder and the changed
  // file's path relative to it.
  using OnChange = std::function<void(const std::string& root, const std::string& relative, ChangeAction action)>;
  // Called on the watch's thread when the system had more changes than the
  // buffer held and some were lost.
  using OnMissed = std::function<void(const std::string& root)>;

  // Starts watching each folder of `roots` that can be opened, and returns
  // once the watch is in place. Each folder's changes between two reads
  // must fit in `bufferBytes`; 64 KiB is the most a read returns over the
  // network and plenty on a local disk.
  ChangeWatch(const std::vector<std::string>& roots, OnChange onChange, OnMissed onMissed,
              size_t bufferBytes = 64 * 1024);
  // Stops the thread and waits for it; no callback runs afterwards.
  ~ChangeWatch();
  ChangeWatch(const ChangeWatch&) = delete;
  ChangeWatch& operator=(const ChangeWatch&) = delete;

  // The folders being watched.
  const std::vector<std::string>& Watched() const { return watched_; }

 private:
  struct Folder;
  void Run();

  OnChange onChange_;
  OnMissed onMissed_;
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
