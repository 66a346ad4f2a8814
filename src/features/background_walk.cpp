#include "features/background_walk.h"

#include <utility>

namespace features {

BackgroundFolderWalk::BackgroundFolderWalk(core::FoldCase fold, std::function<bool()> idle)
    : idle_(std::move(idle)),
      lister_([this] { return Stopping(); }),
      walk_(lister_, std::move(fold), [this] { return !Stopping(); }) {}

void BackgroundFolderWalk::Exclude(const std::string& folder) { walk_.Exclude(folder); }

bool BackgroundFolderWalk::Walk(const std::string& location, bool withFiles, const core::VisitFolder& visit) {
  stop_ = false;
  inLine_ = false;
  queue_.clear();
  queuedNames_ = 0;
  finished_ = false;
  failure_ = nullptr;
  // The job touches this object's members; every way out of this function
  // waits for its end first.
  platform::WorkerThread worker([this, location, withFiles] { RunWorker(location, withFiles); });
  if (!worker.Started()) {
    inLine_ = true;
    return walk_.Walk(location, withFiles, visit);
  }
  struct EndWorker {
    BackgroundFolderWalk& walk;
    const platform::WorkerThread& thread;
    ~EndWorker() {
      walk.stop_ = true;
      thread.WaitForEnd();
    }
  } endWorker{*this, worker};
  if (!VisitQueued(visit)) return false;
  std::exception_ptr failure;
  {
    platform::MutexLock lock(mutex_);
    failure = failure_;
  }
  if (failure) std::rethrow_exception(failure);
  return true;
}

bool BackgroundFolderWalk::VisitQueued(const core::VisitFolder& visit) {
  std::deque<core::FolderVisit> taken;
  for (;;) {
    taken.clear();
    bool finished;
    {
      platform::MutexLock lock(mutex_);
      taken.swap(queue_);
      queuedNames_ = 0;
      finished = finished_;
    }
    for (core::FolderVisit& folder : taken) {
      if (!visit(folder)) return false;
    }
    // Everything the worker handed over before it finished was taken above.
    if (finished) return true;
    if (taken.empty()) {
      if (idle_()) return false;
      platform::PauseBriefly();
    }
  }
}

void BackgroundFolderWalk::RunWorker(const std::string& location, bool withFiles) {
  std::exception_ptr failure;
  try {
    walk_.Walk(location, withFiles, [this](core::FolderVisit& folder) { return Push(folder); });
  } catch (...) {
    failure = std::current_exception();
  }
  platform::MutexLock lock(mutex_);
  failure_ = failure;
  finished_ = true;
}

bool BackgroundFolderWalk::Push(core::FolderVisit& folder) {
  for (;;) {
    if (Stopping()) return false;
    {
      platform::MutexLock lock(mutex_);
      if (queuedNames_ < kQueuedNamesLimit || queue_.empty()) {
        queuedNames_ += folder.foldedFiles.size() + 1;
        queue_.push_back(std::move(folder));
        return true;
      }
    }
    platform::PauseBriefly();
  }
}

}  // namespace features
