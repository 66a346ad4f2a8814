#include "features/parallel_walk.h"

#include <utility>
#include <vector>

#include "core/scan_text.h"
#include "features/disk_folders.h"
#include "platform/worker_thread.h"

namespace features {
namespace {

// Folders listed ahead at which a waiting walk is woken; a quarter of the
// limit, and more than listing adds within one of Wine's pauses, where each
// wake-up is a call to its server.
constexpr size_t kWakeAhead = core::AheadLimits{}.folders / 4;

std::unique_ptr<core::FolderLister> MakeDiskLister(std::function<bool()> stopping) {
  return std::make_unique<DiskFolderLister>(std::move(stopping));
}

}  // namespace

ParallelFolderWalk::ParallelFolderWalk(core::FoldCase fold, std::function<bool()> idle, int threads,
                                       ListerMaker makeLister)
    : fold_(std::move(fold)),
      idle_(std::move(idle)),
      threads_(threads),
      makeLister_(makeLister ? std::move(makeLister) : MakeDiskLister) {}

void ParallelFolderWalk::Exclude(const std::string& folder) {
  core::FolderId id;
  if (makeLister_({})->Identify(core::FolderPathOf(folder), id)) visited_.insert(id);
}

bool ParallelFolderWalk::Walk(const std::string& location, bool withFiles, const core::VisitFolder& visit) {
  const std::string root = core::FolderPathOf(location);
  if (root.empty()) return true;
  core::WalkAhead walk(root, withFiles, visited_);
  {
    platform::MutexLock lock(mutex_);
    walk_ = &walk;
    failure_ = nullptr;
  }
  stop_ = false;
  // The threads use this object and the walk; every way out of this
  // function waits for the end of each of them first.
  std::vector<std::unique_ptr<platform::WorkerThread>> threads;
  struct EndThreads {
    ParallelFolderWalk& owner;
    const std::vector<std::unique_ptr<platform::WorkerThread>>& threads;
    ~EndThreads() {
      owner.stop_ = true;
      for (const auto& thread : threads) {
        while (!thread->Ended()) platform::PauseBriefly();
      }
      platform::MutexLock lock(owner.mutex_);
      owner.walk_ = nullptr;
    }
  } endThreads{*this, threads};
  for (int i = 0; i < threads_; ++i) {
    auto thread = std::make_unique<platform::WorkerThread>([this] { RunLister(); });
    if (thread->Started()) threads.push_back(std::move(thread));
  }
  // With no thread started, the walk lists on this one and lets the
  // window's messages through between the parts of a long listing.
  std::unique_ptr<core::FolderLister> inLine;
  if (threads.empty()) inLine = makeLister_(idle_);

  core::FolderVisit folder;
  core::FolderJob job;
  for (;;) {
    core::WalkAhead::Step step;
    std::exception_ptr failure;
    {
      platform::MutexLock lock(mutex_);
      step = walk.Next(inLine != nullptr, folder, job);
      walkWaits_ = step == core::WalkAhead::Step::Wait;
      failure = failure_;
    }
    if (failure) std::rethrow_exception(failure);
    switch (step) {
      case core::WalkAhead::Step::Visit:
        if (!visit(folder)) return false;
        break;
      case core::WalkAhead::Step::Job: {
        if (idle_()) return false;
        core::RunFolderJob(job, *inLine, fold_);
        platform::MutexLock lock(mutex_);
        walk.Finish(job);
        break;
      }
      case core::WalkAhead::Step::Wait:
        if (idle_()) return false;
        platform::PauseBriefly(wake_.handle());
        break;
      case core::WalkAhead::Step::Done:
        return true;
    }
  }
}

void ParallelFolderWalk::RunLister() {
  try {
    const std::unique_ptr<core::FolderLister> lister = makeLister_([this] { return stop_.load(); });
    core::FolderJob job;
    while (!stop_) {
      bool taken;
      {
        platform::MutexLock lock(mutex_);
        taken = walk_->TakeJobAhead(job);
      }
      if (!taken) {
        platform::Doze();
        continue;
      }
      core::RunFolderJob(job, *lister, fold_);
      // A listing cut short by the stop lists nothing; the walk is over.
      if (stop_) break;
      platform::MutexLock lock(mutex_);
      walk_->Finish(job);
      if (walkWaits_ && walk_->foldersAhead() >= kWakeAhead && walk_->Ready()) {
        walkWaits_ = false;
        wake_.Signal();
      }
    }
  } catch (...) {
    platform::MutexLock lock(mutex_);
    if (!failure_) failure_ = std::current_exception();
  }
}

}  // namespace features
