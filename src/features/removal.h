// Moving detected files into quarantine, and the free names their copies
// and restored files take.
#pragma once

#include <string>

#include "core/removal_text.h"

namespace features {

enum class RemovalResult {
  Removed,      // copied into quarantine and beside itself, then deleted
  AlreadyGone,  // nothing to remove any more
  Failed,       // still where it was
};

// Where the copies of a removed file were written: the paths asked for, or
// the first free numbered ones ("dup (2).dll") when a file of that name was
// there already. The sibling copy is empty when it could not be written.
struct QuarantinedCopies {
  std::string quarantinePath;
  std::string siblingPath;
};

// Copies the file into the quarantine folder and beside itself as its "QVR"
// copy, then deletes it. The file is deleted only once its quarantine copy
// has been written, so no failure can lose it; no existing file is ever
// overwritten. Only a plain file is removed: a link, a folder or a device
// put in the detected file's place is left alone (Failed).
RemovalResult QuarantineDetectedFile(const core::RemovalPaths& paths, QuarantinedCopies* copies = nullptr);

// What became of one detection line.
struct DetectionRemoval {
  bool understood = false;  // false for a line that names no file; nothing was done
  RemovalResult result = RemovalResult::Failed;
  std::string filePath;
};

// Removes the file a detection line names ("<path> > <description>") into
// the quarantine folder of `applicationFolder` and records it in the
// quarantine journal.
DetectionRemoval RemoveDetection(const std::string& detectionLine, const std::string& applicationFolder);

// The first "name (n).ext" beside `path` that nothing holds.
std::string FreePathBeside(const std::string& path);

}  // namespace features
