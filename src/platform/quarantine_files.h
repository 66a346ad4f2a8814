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

// Copies the file into the quarantine folder and beside itself as its "QVR"
// copy, then deletes it. The file is deleted only once its quarantine copy
// has been written, so no failure can lose it. On Removed, `quarantined`
// (when given) receives the path of the copy in the quarantine folder.
RemovalResult QuarantineDetectedFile(const removal::RemovalPaths& paths, std::string* quarantined = nullptr);

}  // namespace platform
