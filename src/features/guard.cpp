#include "features/guard.h"

#include "features/quarantine_records.h"

namespace features {

Guard::Guard(core::SharedDefinitions definitions, std::function<void()> wake, std::vector<std::string> roots)
    : definitions_(std::move(definitions)),
      wake_(std::move(wake)),
      // The program may run from a letter made by SUBST, which is not watched.
      filter_(definitions_->list, definitions_->index, platform::WithoutDriveAlias(QuarantineFolder())) {
  if (roots.empty()) roots = platform::FixedDriveRoots();
  watch_ = std::make_unique<platform::ChangeWatch>(
      roots,
      [this](const std::string& root, const std::string& relative, platform::ChangeAction action) {
        OnChange(root, relative, action);
      },
      [this](const std::string&) { OnMissed(); });
}

Guard::~Guard() { watch_.reset(); }

void Guard::OnChange(const std::string& root, const std::string& relative, platform::ChangeAction action) {
  // Only the names matter here, so that thousands of ordinary files never
  // wake the user-interface thread; the rest is decided there.
  if (action != platform::ChangeAction::Added && action != platform::ChangeAction::RenamedNew) return;
  const size_t slash = relative.rfind('\\');
  const std::string name = slash == std::string::npos ? relative : relative.substr(slash + 1);
  if (definitions_->index.Find(definitions_->index.fold()(name)).empty()) return;
  platform::MutexLock hold(lock_);
  arrived_.emplace_back(action == platform::ChangeAction::Added ? core::FileChange::Created
                                                                : core::FileChange::RenamedTo,
                        core::ChangedPath(root, relative));
  WakeOnce();
}

void Guard::OnMissed() {
  platform::MutexLock hold(lock_);
  missed_ = true;
  WakeOnce();
}

void Guard::WakeOnce() {
  if (woken_) return;
  woken_ = true;
  if (wake_) wake_();
}

Guard::Collected Guard::Collect(const std::function<bool(const std::string&)>& isExcluded) {
  std::vector<std::pair<core::FileChange, std::string>> arrived;
  Collected collected;
  {
    platform::MutexLock hold(lock_);
    arrived.swap(arrived_);
    collected.changesMissed = missed_;
    missed_ = false;
    woken_ = false;
  }
  for (const auto& [change, path] : arrived) {
    for (core::GuardFinding& finding : filter_.Consider(change, path, isExcluded)) {
      collected.findings.push_back(std::move(finding));
    }
  }
  return collected;
}

}  // namespace features
