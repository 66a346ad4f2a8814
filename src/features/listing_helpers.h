// The scan's listing helpers: copies of the program that each walk whole
// subtrees ahead of the scan, in processes of their own. Under Wine a
// process lists one folder at a time however many of its threads ask; only
// processes list side by side there. The scan still takes every listing in
// its own order and applies its own guards, so what it finds is the same.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "core/listing_stream.h"
#include "core/walk_ahead.h"
#include "platform/helper_process.h"
#include "platform/mutex.h"
#include "platform/worker_thread.h"

namespace features {

class ListingHelpers {
 public:
  // Starts up to `count` helpers on a thread of its own, since starting a
  // process can take long; those that cannot be started are left out. The
  // folders in `passOver` are left out of every walk.
  ListingHelpers(int count, core::FoldCase fold, std::vector<core::FolderId> passOver);
  ~ListingHelpers();
  ListingHelpers(const ListingHelpers&) = delete;
  ListingHelpers& operator=(const ListingHelpers&) = delete;

  // A new walk begins: what was sent for the last one is behind it.
  void BeginWalk();
  // Takes in what the helpers have written, and sends subtrees of `walk`
  // (guarded by `mutex`) to those that are running short of work.
  void Refill(core::WalkAhead& walk, platform::Mutex& mutex, bool withFiles);

  enum class Served { Listed, NotYet, Missed };
  // Fills in a listing job on a folder left to a helper, from what the
  // helper sent: NotYet while the helper is still on its way there, Missed
  // when it passed the folder over or is gone; the caller then lists the
  // folder itself. Never waits.
  Served Serve(core::FolderJob& job);

 private:
  struct Helper;

  // True once the helpers are started; there may be none.
  bool Started();
  // Decodes what the helper has written so far, within the bytes held.
  void Receive(Helper& helper);

  core::FoldCase fold_;
  std::vector<core::FolderId> passOver_;
  std::vector<std::unique_ptr<Helper>> helpers_;  // once started
  std::vector<std::unique_ptr<Helper>> starting_;  // the starting thread's
  bool started_ = false;
  uint32_t lastSubtree_ = 0;
  platform::WorkerThread starter_;
};

}  // namespace features
