#include "scan/scan_engine.h"

#include <algorithm>
#include <climits>

#include "reference/reference_syntax.h"
#include "scan/scan_text.h"

namespace scan {
namespace {

std::string JoinPath(const std::string& folder, const std::string& name) {
  return folder.back() == '\\' ? folder + name : folder + "\\" + name;
}

// Name order ignoring case; names equal but for case keep a fixed order.
void SortByFoldedName(std::vector<std::string>& names, const reference::FoldCase& fold) {
  std::vector<std::pair<std::string, std::string>> keyed;
  keyed.reserve(names.size());
  for (std::string& name : names) keyed.emplace_back(fold(name), std::move(name));
  std::sort(keyed.begin(), keyed.end());
  names.clear();
  for (auto& [key, name] : keyed) names.push_back(std::move(name));
}

}  // namespace

ScanEngine::ScanEngine(FolderLister& lister, ScanObserver& observer, const reference::ReferenceList& list,
                       const reference::ReferenceIndex& index, std::string& reportText, int32_t& objectsScanned)
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

bool ScanEngine::FirstVisit(const std::string& folder) {
  FolderId id;
  // A folder whose identity cannot be learnt is walked: it cannot be shown
  // to be one already walked.
  if (!lister_.Identify(folder, id)) return true;
  return visited_.insert(id).second;
}

void ScanEngine::Peek(const std::string& location, bool examineFiles) {
  // The subfolder snapshots of the folders on the current path, each with
  // the position of the next subfolder to walk. An explicit stack keeps a
  // very deep tree from exhausting the thread's stack.
  std::vector<std::pair<Snapshot, size_t>> stack;
  if (!VisitFolder(location, examineFiles, stack)) return;
  while (!stack.empty()) {
    auto& [snapshot, next] = stack.back();
    if (next == snapshot.size()) {
      stack.pop_back();
      continue;
    }
    const std::string subfolder = std::move(snapshot[next++]);
    if (observer_.YieldToWindow()) return;
    if (!VisitFolder(subfolder, examineFiles, stack)) return;
  }
}

bool ScanEngine::VisitFolder(const std::string& location, bool examineFiles,
                             std::vector<std::pair<Snapshot, size_t>>& stack) {
  if (observer_.YieldToWindow()) return false;
  const std::string folder = FolderPathOf(location);
  if (folder.empty() || !FirstVisit(folder)) return true;
  observer_.ScanningFolder(ShortenForLabel(folder));
  if (observer_.YieldToWindow()) return false;

  std::vector<std::string> files;
  Snapshot subfolders;
  if (!lister_.List(folder, files, subfolders)) return true;
  if (examineFiles) {
    SortByFoldedName(files, index_.fold());
    for (const std::string& file : files) {
      if (observer_.YieldToWindow()) return false;
      Examine(folder, file);
    }
  }
  files.clear();
  files.shrink_to_fit();

  SortByFoldedName(subfolders, index_.fold());
  for (std::string& name : subfolders) {
    if (observer_.YieldToWindow()) return false;
    name = JoinPath(folder, name);
  }
  if (!subfolders.empty()) stack.emplace_back(std::move(subfolders), 0);
  return true;
}

void ScanEngine::Examine(const std::string& folder, const std::string& fileName) {
  for (size_t position : index_.Find(index_.fold()(fileName))) {
    reference::Entry entry;
    reference::SplitEntry(list_.Record(position), entry);
    reportText_ += ReportLine(folder, entry.name);
    observer_.Detected(DetectionLine(folder, entry.name, entry.description));
  }
  if (objectsScanned_ < INT32_MAX) ++objectsScanned_;
  observer_.FileExamined(objectsScanned_);
}

}  // namespace scan
