// A folder walk that lists ahead on several threads at once: a folder's
// listing mostly waits on the file system, and several can wait together.
// The calling thread still visits the folders in the walk's own order, so
// what a scan finds and reports does not depend on which listing ended first.
#pragma once

#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include "core/folder_walk.h"
#include "core/walk_ahead.h"
#include "platform/mutex.h"
#include "platform/worker_thread.h"

namespace features {

class ParallelFolderWalk : public core::FolderSource {
 public:
  // Makes the lister one thread uses; the lister asks `stopping` between the
  // parts of a long listing.
  using ListerMaker = std::function<std::unique_ptr<core::FolderLister>(std::function<bool()> stopping)>;

  // `idle` is called on the calling thread while it waits for the next
  // folder (often; it decides itself when to let the window's messages
  // through) and answers true when the walk is to stop. `threads` list the
  // folders, with listers from `makeLister` (the disk's when not given).
  ParallelFolderWalk(core::FoldCase fold, std::function<bool()> idle, int threads, ListerMaker makeLister = {});

  void Exclude(const std::string& folder) override;
  // Returns only when every thread it started has ended.
  bool Walk(const std::string& location, bool withFiles, const core::VisitFolder& visit) override;

 private:
  class Listers;

  // Visits the folders in the walk's order as they come listed; lists them
  // itself with `inLine` when given.
  bool VisitInOrder(core::WalkAhead& walk, core::FolderLister* inLine, const core::VisitFolder& visit);
  // Called under mutex_ by a listing thread that listed a folder, or found
  // nothing left to list: wakes the waiting walk when its next folder is
  // listed and, after a listing, much else with it.
  void WakeWalkIfReady(bool listedMore);
  void RunLister();

  core::FoldCase fold_;
  std::function<bool()> idle_;
  int threads_;
  ListerMaker makeLister_;
  std::set<core::FolderId> visited_;

  platform::Mutex mutex_;
  core::WalkAhead* walk_ = nullptr;  // guarded by mutex_, as is what it points to
  std::exception_ptr failure_;       // guarded by mutex_
  bool walkWaits_ = false;           // guarded by mutex_
  // Cuts the calling thread's wait short when much was listed meanwhile, or
  // all there is to list.
  platform::WakeSignal wake_;
  std::atomic<bool> stop_{false};
};

}  // namespace features
