#include "core/guard_status.h"

namespace core {
namespace {

std::string FoundText(size_t found) {
  if (found == 0) return "nothing found";
  return std::to_string(found) + (found == 1 ? " file found" : " files found");
}

std::string DriveNote(const GuardDriveStatus& drive) {
  const std::string& root = drive.root;
  if (drive.retrySeconds != 0) {
    return "The watch of " + root + " stopped and could not be started again: trying again in " +
           std::to_string(drive.retrySeconds) + " s. Files arriving there meanwhile are not seen.";
  }
  std::string missed;
  switch (drive.cause) {
    case MissedCause::None:
      return std::string();
    case MissedCause::Start:
      // Once checked, the drive is watched as a whole: nothing to say.
      return drive.checking ? "Not yet watching " + root + " fully: checking its folders first." : std::string();
    case MissedCause::Overflow:
      missed = "Changes on " + root + " were missed while many files changed at once";
      break;
    case MissedCause::WatchEnded:
      missed = "The watch of " + root + " stopped and was started again";
      break;
  }
  if (drive.checking) return missed + ": checking its folders again.";
  return missed + "; its folders were checked again: " + FoundText(drive.found) + ".";
}

}  // namespace

std::string GuardNote(const std::vector<GuardDriveStatus>& drives) {
  std::string note;
  for (const GuardDriveStatus& drive : drives) {
    const std::string line = DriveNote(drive);
    if (line.empty()) continue;
    if (!note.empty()) note += ' ';
    note += line;
  }
  return note;
}

}  // namespace core
