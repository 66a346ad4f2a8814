// The scan's listing helpers: copies of the program that each walk whole
// subtrees ahead of the scan, in processes of their own. Under Wine a
// process lists one folder at a time however many of its threads ask; only
// processes list side by side there.
#pragma once

#include <atomic>
#include <memory>
#include <vector>

#include "core/subtree_helpers.h"
#include "core/walk_ahead.h"
#include "platform/mutex.h"
#include "platform/worker_thread.h"

namespace features {

class ListingHelpers {
 public:
  // Starts up to `count` helpers on a thread of its own, since starting a
  // process can take long; those that cannot be started are left out.
  ListingHelpers(int count, core::FoldCase fold);
  // Ends the helpers.
  ~ListingHelpers();
  ListingHelpers(const ListingHelpers&) = delete;
  ListingHelpers& operator=(const ListingHelpers&) = delete;

  void PassOver(const core::FolderId& id) { subtrees_.PassOver(id); }
  void BeginWalk() { subtrees_.BeginWalk(); }
  // Takes in what the helpers have written, and sends subtrees of `walk`
  // (guarded by `mutex`) to those that are running short of work.
  void Refill(core::WalkAhead& walk, platform::Mutex& mutex, bool withFiles);
  core::SubtreeHelpers::Served Serve(core::FolderJob& job) { return subtrees_.Serve(job); }
  // Returns when the helper the job waits for has sent more, when the
  // window has messages, or after a while.
  void WaitForAnswers(const core::FolderJob& job) const;

  // True once the helpers are started, there may be none; the first call
  // after that takes them over from the starting thread.
  bool Started();
  // True once every helper started has said it is ready, or is gone.
  bool Ready() { return Started() && subtrees_.AllReady(); }
  // Listings taken from helpers so far.
  size_t served() const { return subtrees_.served(); }

 private:
  class ProcessLink;

  core::SubtreeHelpers subtrees_;
  std::vector<std::unique_ptr<ProcessLink>> links_;     // once started
  std::vector<std::unique_ptr<ProcessLink>> starting_;  // the starting thread's
  bool started_ = false;
  std::atomic<bool> stopping_{false};  // no more starts: the scan has ended
  platform::WorkerThread starter_;
};

}  // namespace features
