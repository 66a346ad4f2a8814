#include "core/scan_engine.h"

#include <climits>

#include "core/definitions_syntax.h"
#include "core/scan_text.h"

namespace core {

ScanEngine::ScanEngine(FolderSource& folders, ScanObserver& observer, const DefinitionsList& list,
                       const DefinitionsIndex& index, std::string& reportText, int32_t& objectsScanned)
    : folders_(folders),
      observer_(observer),
      list_(list),
      index_(index),
      reportText_(reportText),
      objectsScanned_(objectsScanned) {}

void ScanEngine::Walk(const std::string& location, bool examineFiles) {
  folders_.Walk(location, examineFiles, [this](FolderVisit& visit) { return Visit(visit); });
}

bool ScanEngine::Visit(const FolderVisit& visit) {
  observer_.ScanningFolder(ShortenForLabel(visit.folder));
  if (observer_.YieldToWindow()) return false;
  for (const std::string& folded : visit.foldedFiles) {
    if (observer_.YieldToWindow()) return false;
    Examine(visit.folder, folded);
  }
  return true;
}

void ScanEngine::Examine(const std::string& folder, const std::string& foldedName) {
  for (size_t position : index_.Find(foldedName)) {
    Entry entry;
    SplitEntry(list_.Record(position), entry);
    const Detection detection = DetectionIn(folder, entry.name, entry.description);
    if (keptFiles_ != nullptr && keptFiles_->Covers(detection.path)) continue;
    reportText_ += ReportLine(detection);
    observer_.Detected(detection);
  }
  if (objectsScanned_ < INT32_MAX) ++objectsScanned_;
  observer_.FileExamined(objectsScanned_);
}

}  // namespace core
