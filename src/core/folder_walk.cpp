#include "core/folder_walk.h"

#include <algorithm>

#include "core/scan_text.h"

namespace core {
namespace {

std::string JoinPath(const std::string& folder, const std::string& name) {
  return folder.back() == '\\' ? folder + name : folder + "\\" + name;
}

// The folded names in name order ignoring case. Names equal but for case
// fold alike and are examined alike, so their order among themselves does
// not matter.
std::vector<std::string> SortedFoldedNames(const std::vector<std::string>& names, const FoldCase& fold) {
  std::vector<std::string> folded;
  folded.reserve(names.size());
  for (const std::string& name : names) folded.push_back(fold(name));
  std::sort(folded.begin(), folded.end());
  return folded;
}

void SortByFoldedName(std::vector<Subfolder>& subfolders, const FoldCase& fold) {
  std::vector<std::pair<std::string, Subfolder>> keyed;
  keyed.reserve(subfolders.size());
  for (Subfolder& subfolder : subfolders) keyed.emplace_back(fold(subfolder.name), std::move(subfolder));
  std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
    return a.first != b.first ? a.first < b.first : a.second.name < b.second.name;
  });
  subfolders.clear();
  for (auto& [key, subfolder] : keyed) subfolders.push_back(std::move(subfolder));
}

}  // namespace

FolderWalk::FolderWalk(FolderLister& lister, FoldCase fold, std::function<bool()> keepGoing)
    : lister_(lister), fold_(std::move(fold)), keepGoing_(std::move(keepGoing)) {}

void FolderWalk::Exclude(const std::string& folder) {
  FolderId id;
  if (lister_.Identify(FolderPathOf(folder), id)) visited_.insert(id);
}

bool FolderWalk::Walk(const std::string& location, bool withFiles, const VisitFolder& visit) {
  // The subfolder snapshots of the folders on the current path, each with
  // the position of the next subfolder to walk. An explicit stack keeps a
  // very deep tree from exhausting the thread's stack.
  std::vector<std::pair<Snapshot, size_t>> stack;
  // Only the caller's location is tidied up: subfolder paths are built from
  // the names on disk, which may end in blanks or dots and must stay as they are.
  Subfolder root;
  root.name = FolderPathOf(location);
  if (!Enter(root, withFiles, visit, stack)) return false;
  while (!stack.empty()) {
    auto& [snapshot, next] = stack.back();
    if (next == snapshot.size()) {
      stack.pop_back();
      continue;
    }
    const Subfolder subfolder = std::move(snapshot[next++]);
    if (!Enter(subfolder, withFiles, visit, stack)) return false;
  }
  return true;
}

bool FolderWalk::Enter(const Subfolder& location, bool withFiles, const VisitFolder& visit,
                       std::vector<std::pair<Snapshot, size_t>>& stack) {
  if (!keepGoing_()) return false;
  const std::string& folder = location.name;
  if (folder.empty()) return true;
  FolderId id = location.id;
  // Some file systems give every folder the index 0, which says nothing: it
  // would make every folder after the first look like one already walked.
  const bool identified = (location.identified || lister_.Identify(folder, id)) && id.index != 0;
  // A folder whose identity cannot be learnt is walked: it cannot be shown
  // to be one already walked. Only the depth limit keeps a link that leads
  // back into such a tree from being walked for ever.
  if (!identified && stack.size() >= kUnknownIdentityDepth) return true;
  if (identified && !visited_.insert(id).second) return true;

  std::vector<std::string> files;
  Snapshot subfolders;
  FolderVisit visited;
  visited.folder = folder;
  const bool listed = lister_.List(folder, identified ? &id : nullptr, files, subfolders);
  if (listed && withFiles) visited.foldedFiles = SortedFoldedNames(files, fold_);
  if (!visit(visited)) return false;
  if (!listed) return true;

  SortByFoldedName(subfolders, fold_);
  for (Subfolder& subfolder : subfolders) subfolder.name = JoinPath(folder, subfolder.name);
  if (!subfolders.empty()) stack.emplace_back(std::move(subfolders), 0);
  return true;
}

}  // namespace core
