#include "core/folder_walk.h"

#include "core/scan_text.h"
#include "core/walk_ahead.h"

namespace core {

uint64_t VolumeIdentity(uint32_t serial, std::string_view objectName) {
  if (objectName.empty()) return serial;
  // "\Device\HarddiskVolume2\Users" ends its device part at the third separator.
  size_t end = objectName.size();
  int separators = 0;
  for (size_t i = 0; i < objectName.size(); ++i) {
    if (objectName[i] == '\\' && ++separators == 3) {
      end = i;
      break;
    }
  }
  uint32_t hash = 2166136261u;
  for (char c : objectName.substr(0, end)) {
    hash = (hash ^ static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c)) * 16777619u;
  }
  return (static_cast<uint64_t>(hash) << 32) | serial;
}

FolderWalk::FolderWalk(FolderLister& lister, FoldCase fold, std::function<bool()> keepGoing)
    : lister_(lister), fold_(std::move(fold)), keepGoing_(std::move(keepGoing)) {}

void FolderWalk::Exclude(const std::string& folder) {
  FolderId id;
  if (lister_.Identify(FolderPathOf(folder), id)) visited_.insert(id);
}

bool FolderWalk::Walk(const std::string& location, bool withFiles, const VisitFolder& visit) {
  // Only the caller's location is tidied up: subfolder paths are built from
  // the names on disk, which may end in blanks or dots and must stay as they are.
  const std::string root = FolderPathOf(location);
  if (root.empty()) return true;
  WalkAhead walk(root, withFiles, visited_);
  FolderVisit folder;
  FolderJob job;
  for (;;) {
    const WalkAhead::Step step = walk.Next(true, folder, job);
    if (step == WalkAhead::Step::Visit) {
      if (!visit(folder)) return false;
    } else if (step == WalkAhead::Step::Job) {
      if (!keepGoing_()) return false;
      RunFolderJob(job, lister_, fold_);
      walk.Finish(job);
    } else {
      // Done: with nobody else taking its jobs, the walk never waits.
      return true;
    }
  }
}

}  // namespace core
