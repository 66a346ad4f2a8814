#include "features/guard.h"

#include <map>

#include "features/quarantine_records.h"
#include "platform/files.h"

namespace features {
namespace {

// The file's path from a detection's, whose drive root keeps its own "\".
std::string FilePathOf(const core::Detection& detection) {
  std::string path = detection.path;
  if (path.size() > 4 && path[1] == ':' && path[2] == '\\' && path[3] == '\\') path.erase(3, 1);
  return path;
}

}  // namespace

Guard::Guard(core::SharedDefinitions definitions, std::function<void()> wake, std::vector<std::string> roots)
    : definitions_(std::move(definitions)),
      wake_(std::move(wake)),
      // The program may run from a letter made by SUBST, which is not watched.
      filter_(definitions_->list, definitions_->index, platform::WithoutDriveAlias(QuarantineFolder())) {
  if (roots.empty()) roots = platform::FixedDriveRoots();
  check_ = std::make_unique<BackgroundCheck>(
      definitions_, [this](const std::vector<std::string>& folders, std::vector<core::Detection> found) {
        OnChecked(folders, std::move(found));
      });
  watch_ = std::make_unique<platform::ChangeWatch>(
      roots,
      [this](const std::string& root, const std::string& relative, platform::ChangeAction action, bool isFolder) {
        OnChange(root, relative, action, isFolder);
      },
      [this](const std::string& root, platform::WatchEvent event, unsigned retrySeconds) {
        OnWatchEvent(root, event, retrySeconds);
      });
  // Until its folders were walked once, a watch may not cover them all:
  // under Wine it reaches a folder that existed before it only once the
  // folder is opened.
  platform::MutexLock hold(lock_);
  for (const std::string& root : watch_->Watched()) {
    core::GuardDriveStatus& drive = Drive(root);
    drive.cause = core::MissedCause::Start;
    drive.checking = true;
    check_->Check(root);
  }
  drivesChanged_ = true;
}

Guard::~Guard() {
  watch_.reset();
  check_.reset();
}

core::GuardDriveStatus& Guard::Drive(const std::string& root) {
  for (core::GuardDriveStatus& drive : drives_) {
    if (drive.root == root) return drive;
  }
  drives_.push_back({root});
  return drives_.back();
}

void Guard::OnChange(const std::string& root, const std::string& relative, platform::ChangeAction action,
                     bool isFolder) {
  using platform::ChangeAction;
  if (isFolder) {
    // Its files may have come before the watch covered it (under Wine, a
    // folder made inside a new one is never covered until it is opened).
    if (action == ChangeAction::Added || action == ChangeAction::RenamedNew) {
      check_->Check(core::ChangedPath(root, relative));
    }
    return;
  }
  // Only the names matter here, so that thousands of ordinary files never
  // wake the user-interface thread; the rest is decided there.
  core::FileChange change;
  switch (action) {
    case ChangeAction::Added:
      change = core::FileChange::Created;
      break;
    case ChangeAction::RenamedNew:
      change = core::FileChange::RenamedTo;
      break;
    case ChangeAction::Removed:
      change = core::FileChange::Removed;
      break;
    case ChangeAction::RenamedOld:
      change = core::FileChange::RenamedFrom;
      break;
    default:
      return;
  }
  const size_t slash = relative.rfind('\\');
  const std::string name = slash == std::string::npos ? relative : relative.substr(slash + 1);
  if (definitions_->index.Find(definitions_->index.fold()(name)).empty()) return;
  platform::MutexLock hold(lock_);
  arrived_.emplace_back(change, core::ChangedPath(root, relative));
  WakeOnce();
}

void Guard::OnWatchEvent(const std::string& root, platform::WatchEvent event, unsigned retrySeconds) {
  platform::MutexLock hold(lock_);
  core::GuardDriveStatus& drive = Drive(root);
  switch (event) {
    case platform::WatchEvent::Overflowed:
      // A watch that starts again loses nothing more than this.
      if (!drive.checking || drive.cause != core::MissedCause::WatchEnded) drive.cause = core::MissedCause::Overflow;
      drive.checking = true;
      check_->Check(root);
      break;
    case platform::WatchEvent::Ended:
      drive.cause = core::MissedCause::WatchEnded;
      drive.checking = true;
      break;
    case platform::WatchEvent::Restarted:
      drive.retrySeconds = 0;
      drive.checking = true;
      check_->Check(root);
      break;
    case platform::WatchEvent::RestartFailed:
      drive.cause = core::MissedCause::WatchEnded;
      drive.checking = true;
      drive.retrySeconds = retrySeconds;
      worthShowing_ = true;
      break;
  }
  drivesChanged_ = true;
  WakeOnce();
}

void Guard::OnChecked(const std::vector<std::string>& folders, std::vector<core::Detection> found) {
  platform::MutexLock hold(lock_);
  bool droveChecked = false;
  for (const std::string& folder : folders) {
    for (core::GuardDriveStatus& drive : drives_) {
      if (drive.root != folder || drive.retrySeconds != 0) continue;
      drive.checking = false;
      drive.found = found.size();
      droveChecked = true;
      drivesChanged_ = true;
      if (!found.empty() && drive.cause != core::MissedCause::Start) worthShowing_ = true;
    }
  }
  for (const core::Detection& detection : found) arrived_.emplace_back(core::FileChange::Found, FilePathOf(detection));
  if (droveChecked || !found.empty()) WakeOnce();
}

void Guard::WakeOnce() {
  if (woken_) return;
  woken_ = true;
  if (wake_) wake_();
}

void Guard::Pass(const std::string& path) {
  core::FileState now;
  if (platform::SizeAndWriteTime(path, now.size, now.writeTime)) filter_.Pass(path, now);
}

Guard::Collected Guard::Collect(const std::function<bool(const std::string&)>& isExcluded) {
  std::vector<std::pair<core::FileChange, std::string>> arrived;
  Collected collected;
  {
    platform::MutexLock hold(lock_);
    arrived.swap(arrived_);
    if (drivesChanged_) collected.drives = drives_;
    collected.drivesChanged = drivesChanged_;
    collected.worthShowing = worthShowing_;
    drivesChanged_ = false;
    worthShowing_ = false;
    woken_ = false;
  }
  // Where a file went later in the batch, what is at its path now is a
  // later file, which its own change names.
  std::map<std::string, size_t> lastGone;
  for (size_t i = 0; i < arrived.size(); ++i) {
    const core::FileChange change = arrived[i].first;
    if (change == core::FileChange::Removed || change == core::FileChange::RenamedFrom) {
      lastGone[definitions_->index.fold()(arrived[i].second)] = i;
    }
  }
  for (size_t i = 0; i < arrived.size(); ++i) {
    const auto& [change, path] = arrived[i];
    const auto gone = lastGone.find(definitions_->index.fold()(path));
    if (gone != lastGone.end() && gone->second > i) continue;
    // As the file is now: one already gone is not shown.
    std::optional<core::FileState> now;
    core::FileState identity;
    if (change != core::FileChange::Removed && change != core::FileChange::RenamedFrom &&
        platform::SizeAndWriteTime(path, identity.size, identity.writeTime)) {
      now = identity;
    }
    for (core::GuardFinding& finding : filter_.Consider(change, path, isExcluded, now)) {
      collected.findings.push_back(std::move(finding));
    }
  }
  return collected;
}

}  // namespace features
