// What the guard knows of each watched drive beyond its changes: whether
// changes there may have gone unseen, the check of its folders that
// catches up with them, and the note the guard window shows for it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace core {

// Why the guard cannot be sure it saw every change on a drive.
enum class MissedCause {
  None,
  Start,       // the watch has only just started
  Overflow,    // more changes came at once than the system could pass on
  WatchEnded,  // the watch stopped and was started again
};

struct GuardDriveStatus {
  std::string root;
  MissedCause cause = MissedCause::None;
  bool checking = false;      // its folders are being checked again, or are about to be
  size_t found = 0;           // files the last such check found
  unsigned retrySeconds = 0;  // not 0: the watch is down and is tried again in this many seconds
};

// The guard window's note on the drives; empty when every drive is watched
// and nothing was missed.
std::string GuardNote(const std::vector<GuardDriveStatus>& drives);

}  // namespace core
