#include "features/parallel_walk.h"

#include <exception>
#include <memory>
#include <utility>
#include <vector>

#include "core/scan_text.h"
#include "features/disk_folders.h"
#include "platform/worker_thread.h"

namespace features {
namespace {

// Folders listed ahead at which a waiting walk is woken; a quarter of the
// limit, and more than listing adds within one of its pauses.
constexpr size_t kWakeAhead = core::AheadLimits{}.folders / 4;
// The walk's pause while it waits for its next folder. The walk examines
// faster than the threads list, so it waits at nearly every folder; each
// wake-up is a call to the system (under Wine, to its one server, which the
// listings wait on too), so it wakes seldom: when much was listed, when the
// listing threads run out of work, or when another program sends the window
// a message.
constexpr unsigned kWalkPauseMs = 5;

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

// The listing threads of one walk. Every way out of the walk passes through
// the destructor, which waits for the end of each of them: they use the
// owner and the walk.
class ParallelFolderWalk::Listers {
 public:
  Listers(ParallelFolderWalk& owner, core::WalkAhead& walk) : owner_(owner) {
    {
      platform::MutexLock lock(owner_.mutex_);
      owner_.walk_ = &walk;
      owner_.failure_ = nullptr;
    }
    owner_.stop_ = false;
    // Reserved first: a thread started and then lost to a failed push
    // would outlive the walk it uses.
    threads_.reserve(static_cast<size_t>(owner_.threads_ > 0 ? owner_.threads_ : 0));
    for (int i = 0; i < owner_.threads_; ++i) {
      auto thread = std::make_unique<platform::WorkerThread>([&owner] { owner.RunLister(); });
      if (thread->Started()) threads_.push_back(std::move(thread));
    }
  }
  ~Listers() {
    owner_.stop_ = true;
    // A listing thread may be in a call that takes long to return, such as
    // the listing of a network folder whose server has gone away; the
    // window answers meanwhile, as it does between folders, unless the walk
    // ends by a failure on its way out.
    const bool failing = std::uncaught_exceptions() > 0;
    for (const auto& thread : threads_) {
      while (!thread->Ended()) {
        if (!failing && owner_.idle_) owner_.idle_();
        platform::PauseBriefly(thread->handle());
      }
    }
    platform::MutexLock lock(owner_.mutex_);
    owner_.walk_ = nullptr;
  }
  Listers(const Listers&) = delete;
  Listers& operator=(const Listers&) = delete;

  bool any() const { return !threads_.empty(); }

 private:
  ParallelFolderWalk& owner_;
  std::vector<std::unique_ptr<platform::WorkerThread>> threads_;
};

bool ParallelFolderWalk::Walk(const std::string& location, bool withFiles, const core::VisitFolder& visit) {
  const std::string root = core::FolderPathOf(location);
  if (root.empty()) return true;
  core::WalkAhead walk(root, withFiles, visited_);
  const Listers listers(*this, walk);
  // With no thread started, the walk lists on this one and lets the
  // window's messages through between the parts of a long listing.
  std::unique_ptr<core::FolderLister> inLine;
  if (!listers.any()) inLine = makeLister_(idle_);
  return VisitInOrder(walk, inLine.get(), visit);
}

bool ParallelFolderWalk::VisitInOrder(core::WalkAhead& walk, core::FolderLister* inLine,
                                      const core::VisitFolder& visit) {
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
        platform::PauseBriefly(wake_.handle(), kWalkPauseMs);
        break;
      case core::WalkAhead::Step::Done:
        return true;
    }
  }
}

void ParallelFolderWalk::WakeWalkIfReady(bool listedMore) {
  if (!walkWaits_ || (listedMore && walk_->foldersAhead() < kWakeAhead) || !walk_->Ready()) return;
  walkWaits_ = false;
  wake_.Signal();
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
        if (!taken) WakeWalkIfReady(false);
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
      WakeWalkIfReady(true);
    }
  } catch (...) {
    platform::MutexLock lock(mutex_);
    if (!failure_) failure_ = std::current_exception();
  }
}

}  // namespace features
