// The guard: while the program runs, a watch of every fixed drive on a
// thread of its own notes each file created or renamed to a name that the
// definitions hold; the user-interface thread collects them and learns
// which to report.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/definitions.h"
#include "core/guard_filter.h"
#include "platform/change_watch.h"
#include "platform/mutex.h"

namespace features {

class Guard {
 public:
  // Watches `roots` (every fixed drive when empty). `wake` runs on the
  // guard's thread when something waits to be collected, once until the
  // next Collect().
  Guard(core::SharedDefinitions definitions, std::function<void()> wake, std::vector<std::string> roots = {});
  // Stops the watch at once.
  ~Guard();
  Guard(const Guard&) = delete;
  Guard& operator=(const Guard&) = delete;

  struct Collected {
    std::vector<core::GuardFinding> findings;
    // The system dropped changes: a file may have arrived unseen.
    bool changesMissed = false;
  };
  // On the user-interface thread: what arrived since the last call, less
  // what is excluded, in the quarantine folder or reported before.
  Collected Collect(const std::function<bool(const std::string&)>& isExcluded);
  // On the user-interface thread, before the next Collect(): see
  // core::GuardFilter::Pass.
  void Pass(const std::string& path) { filter_.Pass(path); }
  bool Watching() const { return !watch_->Watched().empty(); }
  const core::SharedDefinitions& definitions() const { return definitions_; }

 private:
  void OnChange(const std::string& root, const std::string& relative, platform::ChangeAction action);
  void OnMissed();
  // Under the lock: wakes the user-interface thread unless it was woken.
  void WakeOnce();

  const core::SharedDefinitions definitions_;
  const std::function<void()> wake_;
  core::GuardFilter filter_;
  platform::Mutex lock_;
  std::vector<std::pair<core::FileChange, std::string>> arrived_;
  bool missed_ = false;
  bool woken_ = false;
  // Last, so that it stops before anything it calls goes.
  std::unique_ptr<platform::ChangeWatch> watch_;
};

}  // namespace features
