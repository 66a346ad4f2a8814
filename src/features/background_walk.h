// A folder walk that lists ahead on a thread of its own: the window keeps
// answering while the system reads a large folder, which it does in one call
// that no caller can split, and the listing of the next folders overlaps the
// examination of the last.
#pragma once

#include <atomic>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <string>

#include "core/folder_walk.h"
#include "features/disk_folders.h"
#include "platform/mutex.h"
#include "platform/worker_thread.h"

namespace features {

class BackgroundFolderWalk : public core::FolderSource {
 public:
  // `idle` is called on the calling thread while it waits for the next
  // folder (often; it decides itself when to let the window's messages
  // through) and answers true when the walk is to stop.
  BackgroundFolderWalk(core::FoldCase fold, std::function<bool()> idle);

  void Exclude(const std::string& folder) override;
  bool Walk(const std::string& location, bool withFiles, const core::VisitFolder& visit) override;

 private:
  // Folders listed but not yet visited. The worker waits while the queue
  // holds more names than this, so a fast walk cannot fill the memory.
  static constexpr size_t kQueuedNamesLimit = 65536;

  // Visits what the worker queued until it has finished; false when the
  // walk is to stop.
  bool VisitQueued(const core::VisitFolder& visit);
  void RunWorker(const std::string& location, bool withFiles);
  bool Push(core::FolderVisit& visit);
  // True when the walk is to stop: asked by the listing between its parts
  // and by the walk before each folder.
  bool Stopping() { return inLine_ ? idle_() : stop_.load(); }

  std::function<bool()> idle_;
  DiskFolderLister lister_;
  core::FolderWalk walk_;

  platform::Mutex mutex_;
  std::deque<core::FolderVisit> queue_;  // guarded by mutex_
  size_t queuedNames_ = 0;               // guarded by mutex_
  bool finished_ = false;                // guarded by mutex_
  std::exception_ptr failure_;           // guarded by mutex_
  std::atomic<bool> stop_{false};
  // Set when no thread could be started: the walk then runs on the calling
  // thread and lets the window's messages through itself.
  bool inLine_ = false;
};

}  // namespace features
