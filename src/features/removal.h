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
  Removed,      // in quarantine with its record, then deleted
  AlreadyGone,  // nothing to remove any more
  Failed,       // still where it was (in use, or protected), nothing of it in quarantine
  NotAFile,     // a folder, link or device stands at its place now; left alone
  Unrecorded,   // still where it was: the journal could not be written
};

// Where the copies of a removed file were written: the paths asked for, or
// the first free numbered ones ("dup (2).dll") when a file of that name was
// there already. The sibling copy is empty when it could not be written.
struct QuarantinedCopies {
  std::string quarantinePath;
  std::string siblingPath;
};

// The steps of one press of Quarantine, in the order they are taken: each
// file's copy is made and flushed, then every record is written at once,
// then each original goes. At every moment each file is whole at its place,
// or whole in quarantine with its record; start-up finishes or undoes what a
// stop left (see docs/development.md).
enum class RemovalStep {
  CopyUnderUnfinishedName,  // each file: into the Quarantine folder, marks cleared
  WriteCopyToDisk,          // each file: flushed, so a crash cannot cut it short
  WriteRecords,             // once: every record in one append, flushed
  DeleteOriginal,           // each file: checked gone, then what started it at log-on
  TakeItsName,              // each file: the copy renamed from unfinished to its name
  CopyBeside,               // each file: the "QVR" copy, a convenience that may fail
  ForgetFilesKept,          // once, when an original stayed: its record dropped
};

// Called before each step; lets a test look at the disk in between, or stop.
using RemovalStepObserver = std::function<void(RemovalStep)>;

// One file to quarantine and what became of it.
struct FileRemoval {
  core::RemovalPaths paths;
  RemovalResult result = RemovalResult::Failed;
  QuarantinedCopies copies;
};

// Moves the files into quarantine by the steps above and records them in the
// journal the first one's paths name, each with the traces among `logOn`
// that start it, which go with the file. A file whose step fails stays in
// place and what was made of it goes again. No existing file is ever
// overwritten. Only a plain file is removed: a link, a folder or a device
// put in the detected file's place is left alone. `between` is called
// often, so that windows may paint meanwhile.
void QuarantineFiles(std::vector<FileRemoval>& files, const LogOnEntries& logOn,
                     const RemovalStepObserver& observe = {}, const std::function<void()>& between = {});

// One file by the same steps.
RemovalResult QuarantineDetectedFile(const core::RemovalPaths& paths, const LogOnEntries& logOn,
                                     QuarantinedCopies* copies = nullptr, const RemovalStepObserver& observe = {});

// What one press of Quarantine did with the marked detections.
struct QuarantineOutcome {
  // The detections that left: removed, or already gone. Ascending positions
  // in the list of detections.
  std::vector<size_t> gone;
  // How many were removed into quarantine.
  int32_t removed = 0;
  // The paths of those still in place: in use or protected, no longer a
  // file, or not recorded for want of the journal.
  std::vector<std::string> notRemoved;
  std::vector<std::string> notFiles;
  std::vector<std::string> unrecorded;
};

// Removes the detections at the `marked` positions of `detections` (in
// ascending order) into the quarantine folder of `applicationFolder`, each
// recorded in its journal; an excluded file stays, neither gone nor failed.
QuarantineOutcome QuarantineDetections(const std::vector<core::Detection>& detections,
                                       const std::vector<size_t>& marked, const std::string& applicationFolder,
                                       const std::function<void()>& between, const RemovalStepObserver& observe = {});

// The first "name (n).ext" beside `path` that nothing holds.
std::string FreePathBeside(const std::string& path);

}  // namespace features
