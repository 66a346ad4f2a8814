// Moving a detected file into quarantine.
#pragma once

#include <string>

#include "removal/removal_text.h"

namespace platform {

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
RemovalResult QuarantineDetectedFile(const removal::RemovalPaths& paths, QuarantinedCopies* copies = nullptr);

}  // namespace platform
