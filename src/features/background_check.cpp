#include "features/background_check.h"

#include <algorithm>

#include "features/scan_session.h"

namespace features {
namespace {

// A scan run's view that shows nothing and keeps what the walk found.
class QuietView : public core::ScanObserver {
 public:
  explicit QuietView(const std::atomic<bool>& stop) : stop_(stop) {}
  bool YieldToWindow() override { return stop_.load(); }
  void ScanningFolder(const std::string&) override {}
  void Detected(const core::Detection& detection) override { found.push_back(detection); }
  void FileExamined(int32_t) override {}

  std::vector<core::Detection> found;

 private:
  const std::atomic<bool>& stop_;
};

}  // namespace

BackgroundCheck::BackgroundCheck(core::SharedDefinitions definitions, Checked checked)
    : definitions_(std::move(definitions)), checked_(std::move(checked)) {
  thread_ = std::make_unique<platform::WorkerThread>([this] { Run(); });
}

BackgroundCheck::~BackgroundCheck() {
  stop_ = true;
  wake_.Signal();
  if (thread_ && thread_->Started()) WaitForSingleObject(thread_->handle(), INFINITE);
}

void BackgroundCheck::Check(const std::string& folder) {
  {
    platform::MutexLock hold(lock_);
    if (std::find(due_.begin(), due_.end(), folder) == due_.end()) due_.push_back(folder);
  }
  wake_.Signal();
}

void BackgroundCheck::Run() {
  platform::LowerThisThreadPriority();
  while (!stop_) {
    WaitForSingleObject(wake_.handle(), INFINITE);
    std::vector<std::string> folders;
    {
      platform::MutexLock hold(lock_);
      folders.swap(due_);
    }
    if (stop_ || folders.empty()) continue;
    // A folder inside another of the round is walked with it.
    std::sort(folders.begin(), folders.end());
    std::vector<std::string> walks;
    for (const std::string& folder : folders) {
      const bool inside = !walks.empty() && folder.size() > walks.back().size() &&
                          folder.compare(0, walks.back().size(), walks.back()) == 0 &&
                          (walks.back().back() == '\\' || folder[walks.back().size()] == '\\');
      if (!inside) walks.push_back(folder);
    }
    QuietView view(stop_);
    ScanSession session(definitions_, view);
    for (const std::string& folder : walks) session.Walk(folder);
    if (stop_) break;
    checked_(folders, std::move(view.found));
  }
}

}  // namespace features
