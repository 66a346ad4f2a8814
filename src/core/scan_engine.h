// The scan engine: walks a folder tree in pre-order (a folder's own files,
// then each subfolder's whole tree, both in name order ignoring case),
// compares every file name with the reference entries and records each
// match. It talks to the file system through a FolderLister and to the scan
// window through a ScanObserver, so it runs on an in-memory tree in tests.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/definitions_index.h"
#include "core/definitions_list.h"

namespace core {

// A folder's identity on its volume: a junction or link that leads to a
// folder already walked has the same identity as that folder.
struct FolderId {
  uint64_t volume = 0;
  uint64_t index = 0;
  bool operator<(const FolderId& other) const {
    return std::pair(volume, index) < std::pair(other.volume, other.index);
  }
};

struct Subfolder {
  std::string name;
  FolderId id;
  bool identified = false;
};

class FolderLister {
 public:
  virtual ~FolderLister() = default;
  // Names of the folder's files that are neither hidden nor system files,
  // and its subfolders, in any order. `self` is the folder's identity when
  // known; subfolders carry theirs where the listing yields it cheaply.
  // False when the folder cannot be listed.
  virtual bool List(const std::string& folder, const FolderId* self, std::vector<std::string>& files,
                    std::vector<Subfolder>& subfolders) = 0;
  // False when the folder's identity cannot be learnt.
  virtual bool Identify(const std::string& folder, FolderId& id) = 0;
};

class ScanObserver {
 public:
  virtual ~ScanObserver() = default;
  // Called often; lets the window handle its messages when that is due.
  // True when the scan is to stop.
  virtual bool YieldToWindow() = 0;
  virtual void ScanningFolder(const std::string& shownPath) = 0;
  virtual void Detected(const std::string& detectionLine) = 0;
  virtual void FileExamined(int32_t objectsScanned) = 0;
};

// How deep below the scan root a folder of unknown identity is still
// entered; real trees are far shallower, a loop of links is not.
constexpr size_t kUnknownIdentityDepth = 128;

class ScanEngine {
 public:
  // `reportText` and `objectsScanned` belong to the scan run and accumulate
  // over every root it walks.
  ScanEngine(FolderLister& lister, ScanObserver& observer, const DefinitionsList& list,
             const DefinitionsIndex& index, std::string& reportText, int32_t& objectsScanned);

  // Folders left out of every walk, such as the program's own quarantine.
  void Exclude(const std::string& folder);
  // Walks the tree under `location`. Returns when it is done or the observer
  // asked to stop; a folder that cannot be read is passed over.
  void Walk(const std::string& location, bool examineFiles);

 private:
  using Snapshot = std::vector<Subfolder>;
  // Examines one folder and pushes the snapshot of its subfolders (full
  // paths); false when the scan is to stop.
  bool VisitFolder(const Subfolder& location, bool examineFiles, std::vector<std::pair<Snapshot, size_t>>& stack);
  void Examine(const std::string& folder, const std::string& foldedName);

  FolderLister& lister_;
  ScanObserver& observer_;
  const DefinitionsList& list_;
  const DefinitionsIndex& index_;
  std::string& reportText_;
  int32_t& objectsScanned_;
  std::set<FolderId> visited_;
};

}  // namespace core
