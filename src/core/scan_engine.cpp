#include "core/scan_engine.h"

#include <algorithm>
#include <climits>

#include "core/definitions_syntax.h"
#include "core/scan_text.h"

namespace core {
namespace {

std::string JoinPath(const std::string& folder, const std::string& name) {
  return folder.back() == '\\' ? folder + name : folder + "\\" + name;
}

// Names with their folded form, in name order ignoring case; names equal
// but for case keep a fixed order.
using FoldedNames = std::vector<std::pair<std::string, std::string>>;

FoldedNames SortByFoldedName(std::vector<std::string>& names, const FoldCase& fold) {
  FoldedNames keyed;
  keyed.reserve(names.size());
  for (std::string& name : names) keyed.emplace_back(fold(name), std::move(name));
  names.clear();
  std::sort(keyed.begin(), keyed.end());
  return keyed;
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

ScanEngine::ScanEngine(FolderLister& lister, ScanObserver& observer, const DefinitionsList& list,
                       const DefinitionsIndex& index, std::string& reportText, int32_t& objectsScanned)
    : lister_(lister),
      observer_(observer),
      list_(list),
      index_(index),
      reportText_(reportText),
      objectsScanned_(objectsScanned) {}

void ScanEngine::Exclude(const std::string& folder) {
  FolderId id;
  if (lister_.Identify(FolderPathOf(folder), id)) visited_.insert(id);
}

void ScanEngine::Walk(const std::string& location, bool examineFiles) {
  // The subfolder snapshots of the folders on the current path, each with
  // the position of the next subfolder to walk. An explicit stack keeps a
  // very deep tree from exhausting the thread's stack.
  std::vector<std::pair<Snapshot, size_t>> stack;
  // Only the caller's location is tidied up: subfolder paths are built from
  // the names on disk, which may end in blanks or dots and must stay as they are.
  Subfolder root;
  root.name = FolderPathOf(location);
  if (!VisitFolder(root, examineFiles, stack)) return;
  while (!stack.empty()) {
    auto& [snapshot, next] = stack.back();
    if (next == snapshot.size()) {
      stack.pop_back();
      continue;
    }
    const Subfolder subfolder = std::move(snapshot[next++]);
    if (observer_.YieldToWindow()) return;
    if (!VisitFolder(subfolder, examineFiles, stack)) return;
  }
}

bool ScanEngine::VisitFolder(const Subfolder& location, bool examineFiles,
                             std::vector<std::pair<Snapshot, size_t>>& stack) {
  if (observer_.YieldToWindow()) return false;
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
  observer_.ScanningFolder(ShortenForLabel(folder));
  if (observer_.YieldToWindow()) return false;

  std::vector<std::string> files;
  Snapshot subfolders;
  if (!lister_.List(folder, identified ? &id : nullptr, files, subfolders)) return true;
  if (examineFiles) {
    const FoldedNames sortedFiles = SortByFoldedName(files, index_.fold());
    for (const auto& [folded, file] : sortedFiles) {
      if (observer_.YieldToWindow()) return false;
      Examine(folder, folded);
    }
  }

  SortByFoldedName(subfolders, index_.fold());
  for (Subfolder& subfolder : subfolders) {
    if (observer_.YieldToWindow()) return false;
    subfolder.name = JoinPath(folder, subfolder.name);
  }
  if (!subfolders.empty()) stack.emplace_back(std::move(subfolders), 0);
  return true;
}

void ScanEngine::Examine(const std::string& folder, const std::string& foldedName) {
  for (size_t position : index_.Find(foldedName)) {
    Entry entry;
    SplitEntry(list_.Record(position), entry);
    reportText_ += ReportLine(folder, entry.name);
    observer_.Detected(DetectionLine(folder, entry.name, entry.description));
  }
  if (objectsScanned_ < INT32_MAX) ++objectsScanned_;
  observer_.FileExamined(objectsScanned_);
}

}  // namespace core
