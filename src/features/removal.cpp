#include "features/removal.h"

#include "features/quarantine_records.h"
#include "platform/files.h"

namespace features {
namespace {

// Enough for any real clash of names; a folder full of one name's numbered
// copies is refused rather than searched for ever.
constexpr int kMostNumberedCopies = 10000;

// Copies `file` to `target`, or to its first numbered name that is free.
// The copy itself refuses an existing name, so no name is looked up before
// (looking up a missing name reads the whole folder on some systems). The
// path written to is left in `written`; false when nothing was copied.
bool CopyToFreeName(const std::string& file, const std::string& target, std::string& written) {
  for (int number = 1; number <= kMostNumberedCopies; ++number) {
    const std::string candidate = core::NumberedPath(target, number);
    switch (platform::CopyWithoutOverwrite(file, candidate)) {
      case platform::CopyResult::Copied:
        written = candidate;
        return true;
      case platform::CopyResult::TargetExists:
        break;
      case platform::CopyResult::Failed:
        return false;
    }
  }
  return false;
}

}  // namespace

RemovalResult QuarantineDetectedFile(const core::RemovalPaths& paths, QuarantinedCopies* copies) {
  const std::string& file = paths.filePath;
  switch (platform::KindOfPath(file)) {
    case platform::PathKind::PlainFile:
      break;
    case platform::PathKind::Missing:
      return RemovalResult::AlreadyGone;
    case platform::PathKind::Other:
    case platform::PathKind::Unknown:
      return RemovalResult::Failed;
  }
  std::string quarantined;
  if (!CopyToFreeName(file, paths.quarantinePath, quarantined)) {
    // The folder may have been removed while the program ran.
    const std::string folder = paths.quarantinePath.substr(0, paths.quarantinePath.rfind('\\'));
    platform::CreateFolder(folder);
    if (!CopyToFreeName(file, paths.quarantinePath, quarantined)) return RemovalResult::Failed;
  }
  // Copies keep the file's attributes; a read-only copy in quarantine could
  // not be purged later.
  platform::ClearReadOnly(quarantined);
  // The copy beside the file is a convenience; the quarantine copy is what
  // makes the deletion safe.
  std::string sibling;
  CopyToFreeName(file, paths.siblingPath, sibling);
  if (copies != nullptr) *copies = {quarantined, sibling};
  // Spyware often marks itself read-only; that alone must not protect it.
  return platform::DeleteEvenIfReadOnly(file) ? RemovalResult::Removed : RemovalResult::Failed;
}

DetectionRemoval RemoveDetection(const std::string& detectionLine, const std::string& applicationFolder) {
  DetectionRemoval outcome;
  core::RemovalPaths paths;
  if (!core::PathsForDetection(detectionLine, applicationFolder, paths)) return outcome;
  outcome.understood = true;
  outcome.filePath = paths.filePath;
  QuarantinedCopies copies;
  outcome.result = QuarantineDetectedFile(paths, &copies);
  if (outcome.result == RemovalResult::Removed) {
    RecordQuarantined(core::FileNameOf(copies.quarantinePath), paths.filePath,
                      detectionLine.substr(detectionLine.find(" > ") + 3));
  }
  return outcome;
}

std::string FreePathBeside(const std::string& path) {
  for (int number = 2;; ++number) {
    std::string candidate = core::NumberedPath(path, number);
    if (!platform::PathExists(candidate)) return candidate;
  }
}

}  // namespace features
