// Walks folders again in the background, with the walk and rules of a scan
// (definitions, exclusions, the quarantine passed over) but without a
// window, from a thread below normal priority: how the
// guard catches up with changes it may have missed.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/definitions.h"
#include "core/detection.h"
#include "platform/mutex.h"
#include "platform/worker_thread.h"

namespace features {

class BackgroundCheck {
 public:
  // `checked` runs on the check's thread after each round with the folders
  // it walked and what it found there.
  using Checked = std::function<void(const std::vector<std::string>& folders, std::vector<core::Detection> found)>;

  BackgroundCheck(core::SharedDefinitions definitions, Checked checked);
  // Stops the walk under way and waits for it; `checked` runs no more.
  ~BackgroundCheck();
  BackgroundCheck(const BackgroundCheck&) = delete;
  BackgroundCheck& operator=(const BackgroundCheck&) = delete;

  // Walks `folder` in the next round; a folder asked for twice before it is
  // walked is walked once.
  void Check(const std::string& folder);

 private:
  void Run();

  const core::SharedDefinitions definitions_;
  const Checked checked_;
  platform::Mutex lock_;
  std::vector<std::string> due_;  // guarded by lock_
  platform::WakeSignal wake_;
  std::atomic<bool> stop_{false};
  std::unique_ptr<platform::WorkerThread> thread_;
};

}  // namespace features
