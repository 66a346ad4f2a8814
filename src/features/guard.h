// The guard: while the program runs, a watch of every fixed drive on a
// thread of its own notes each file created or renamed to a name that the
// definitions hold; the user-interface thread collects them and learns
// which to report. Where changes may have gone unseen (the watch just
// started, overflowed or stopped) the guard walks the drive again in the
// background; it walks each new folder too, whose files may have come
// before the watch covered it.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/definitions.h"
#include "core/guard_filter.h"
#include "core/guard_status.h"
#include "features/background_check.h"
#include "platform/change_watch.h"
#include "platform/mutex.h"

namespace features {

class Guard {
 public:
  // Watches `roots` (every fixed drive when empty). `wake` runs on another
  // thread of the guard's when something waits to be collected, once until
  // the next Collect().
  Guard(core::SharedDefinitions definitions, std::function<void()> wake, std::vector<std::string> roots = {});
  // Stops the watch and any check at once.
  ~Guard();
  Guard(const Guard&) = delete;
  Guard& operator=(const Guard&) = delete;

  struct Collected {
    std::vector<core::GuardFinding> findings;
    // The drives, when what is known of them changed since the last call.
    std::vector<core::GuardDriveStatus> drives;
    bool drivesChanged = false;
    // Changes were missed, and a check of the folders found files or the
    // watch could not be started again: worth a window.
    bool worthShowing = false;
  };
  // On the user-interface thread: what arrived since the last call, less
  // what is excluded, in the quarantine folder, gone, or reported before.
  Collected Collect(const std::function<bool(const std::string&)>& isExcluded);
  // On the user-interface thread, before the next Collect(): see
  // core::GuardFilter::Pass.
  void Pass(const std::string& path);
  bool Watching() const { return !watch_->Watched().empty(); }
  const core::SharedDefinitions& definitions() const { return definitions_; }
  // For tests: see platform::ChangeWatch::FailNextRead.
  void FailNextRead(DWORD error) { watch_->FailNextRead(error); }

 private:
  void OnChange(const std::string& root, const std::string& relative, platform::ChangeAction action, bool isFolder);
  void OnWatchEvent(const std::string& root, platform::WatchEvent event, unsigned retrySeconds);
  void OnChecked(const std::vector<std::string>& folders, std::vector<core::Detection> found);
  // Under the lock: the drive's status, added when new.
  core::GuardDriveStatus& Drive(const std::string& root);
  // Under the lock: wakes the user-interface thread unless it was woken.
  void WakeOnce();

  const core::SharedDefinitions definitions_;
  const std::function<void()> wake_;
  core::GuardFilter filter_;
  platform::Mutex lock_;
  std::vector<std::pair<core::FileChange, std::string>> arrived_;  // guarded by lock_
  std::vector<core::GuardDriveStatus> drives_;                     // guarded by lock_
  bool drivesChanged_ = false;                                     // guarded by lock_
  bool worthShowing_ = false;                                      // guarded by lock_
  bool woken_ = false;                                             // guarded by lock_
  // Last, so that they stop before anything they call goes; the watch
  // first, since it asks for checks.
  std::unique_ptr<BackgroundCheck> check_;
  std::unique_ptr<platform::ChangeWatch> watch_;
};

}  // namespace features
