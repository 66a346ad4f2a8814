// The scan engine: compares the name of every file of a folder walk with the
// reference entries and records each match. It takes its folders from a
// FolderSource and talks to the scan window through a ScanObserver, so it
// runs on an in-memory tree in tests.
#pragma once

#include <cstdint>
#include <string>

#include "core/definitions_index.h"
#include "core/detection.h"
#include "core/definitions_list.h"
#include "core/folder_walk.h"
#include "core/path_set.h"

namespace core {

class ScanObserver {
 public:
  virtual ~ScanObserver() = default;
  // Called often; lets the window handle its messages when that is due.
  // True when the scan is to stop.
  virtual bool YieldToWindow() = 0;
  virtual void ScanningFolder(const std::string& shownPath) = 0;
  virtual void Detected(const Detection& detection) = 0;
  virtual void FileExamined(int32_t objectsScanned) = 0;
};

class ScanEngine {
 public:
  // `reportText` and `objectsScanned` belong to the scan run and accumulate
  // over every root it walks.
  ScanEngine(FolderSource& folders, ScanObserver& observer, const DefinitionsList& list,
             const DefinitionsIndex& index, std::string& reportText, int32_t& objectsScanned);

  // Walks the tree under `location`. Returns when it is done or the observer
  // asked to stop; a folder that cannot be read is passed over.
  void Walk(const std::string& location, bool examineFiles);

  // Files the user chose to keep: examined and counted, never reported. The
  // set must outlive the walks.
  void Keep(const PathSet& keptFiles) { keptFiles_ = &keptFiles; }

 private:
  bool Visit(const FolderVisit& visit);
  void Examine(const std::string& folder, const std::string& foldedName);

  FolderSource& folders_;
  ScanObserver& observer_;
  const DefinitionsList& list_;
  const DefinitionsIndex& index_;
  std::string& reportText_;
  int32_t& objectsScanned_;
  const PathSet* keptFiles_ = nullptr;
};

}  // namespace core
