// Moving detected files into quarantine, and the free names their copies
// and restored files take.
#pragma once

#include <functional>
#include <cstdint>
#include <string>
#include <vector>

#include "core/detection.h"
#include "core/removal_text.h"
#include "features/startup_traces.h"

namespace features {

enum class RemovalResult {
  Removed,      // in quarantine with its record, copied beside itself, then deleted
  AlreadyGone,  // nothing to remove any more
  Failed,       // still where it was, and nothing of it left in quarantine
};

// Where the copies of a removed file were written: the paths asked for, or
// the first free numbered ones ("dup (2).dll") when a file of that name was
// there already. The sibling copy is empty when it could not be written.
struct QuarantinedCopies {
  std::string quarantinePath;
  std::string siblingPath;
};

// The steps of one removal, in the order they are taken. At every moment the
// file is whole at its place, or whole in quarantine with its record: the
// original goes last, and only once the copy is on disk and recorded.
enum class RemovalStep {
  CopyUnderUnfinishedName,  // into the Quarantine folder, marks cleared
  WriteCopyToDisk,          // flushed, so a crash cannot cut it short
  TakeFreeName,             // renamed to its first free name there
  CopyBeside,               // the "QVR" copy, a convenience that may fail
  WriteRecord,              // appended to the journal and flushed
  DeleteOriginal,           // and with it what started it at log-on
};

// Called before each step; lets a test look at the disk in between.
using RemovalStepObserver = std::function<void(RemovalStep)>;

// Moves the file into quarantine by the steps above and records it in the
// journal the paths name, with the traces among `logOn` that start it, which
// go once the record holds them. When a step fails, what the earlier ones
// made is taken away again (the copies, the record) and the file stays in
// place. No existing file is ever overwritten. Only a plain file is removed:
// a link, a folder or a device put in the detected file's place is left
// alone (Failed).
RemovalResult QuarantineDetectedFile(const core::RemovalPaths& paths, const LogOnEntries& logOn,
                                     QuarantinedCopies* copies = nullptr, const RemovalStepObserver& observe = {});

// What one press of Quarantine did with the marked detections.
struct QuarantineOutcome {
  // The detections that left: removed, or already gone. Ascending positions
  // in the list of detections.
  std::vector<size_t> gone;
  // How many were removed into quarantine.
  int32_t removed = 0;
  // The paths of those still in place.
  std::vector<std::string> notRemoved;
};

// Removes the detections at the `marked` positions of `detections` (in
// ascending order) into the quarantine folder of `applicationFolder`, each
// recorded in its journal; an excluded file stays, neither gone nor failed. `between` is called often, so that windows may
// paint meanwhile.
QuarantineOutcome QuarantineDetections(const std::vector<core::Detection>& detections,
                                       const std::vector<size_t>& marked, const std::string& applicationFolder,
                                       const std::function<void()>& between);

// The first "name (n).ext" beside `path` that nothing holds.
std::string FreePathBeside(const std::string& path);

}  // namespace features
