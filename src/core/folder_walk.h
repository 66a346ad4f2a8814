// The walk of a folder tree in pre-order: a folder's own files, then each
// subfolder's whole tree, both in name order ignoring case. Each folder
// reached is handed over as a visit; a folder that leads back to one already
// walked (a link or junction) is passed over.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>


namespace core {

// A folder's identity on its volume: a junction or link that leads to a
// folder already walked has the same identity as that folder.
struct FolderId {
  uint64_t volume = 0;
  uint64_t index = 0;
  bool operator<(const FolderId& other) const {
    return std::pair(volume, index) < std::pair(other.volume, other.index);
  }
  bool operator==(const FolderId& other) const { return volume == other.volume && index == other.index; }
};

// The volume part of a folder's identity. The serial number alone would take
// a disk cloned block for block, or a backup image mounted to look inside
// it, for the disk it was copied from, and a full scan would pass over the
// copy as already walked: the name of the device the folder lies on (the
// first two parts of its object name, "\Device\HarddiskVolume2") tells
// them apart. Without a name the serial number stands alone.
uint64_t VolumeIdentity(uint32_t serial, std::string_view objectName);

struct Subfolder {
  std::string name;
  FolderId id;
  bool identified = false;
};

class FolderLister {
 public:
  virtual ~FolderLister() = default;
  // Names of the folder's files, hidden and system files among them, and
  // its subfolders, in any order. `self` is the folder's identity when
  // known; subfolders carry theirs where the listing yields it cheaply.
  // False when the folder cannot be listed.
  virtual bool List(const std::string& folder, const FolderId* self, std::vector<std::string>& files,
                    std::vector<Subfolder>& subfolders) = 0;
  // False when the folder's identity cannot be learnt.
  virtual bool Identify(const std::string& folder, FolderId& id) = 0;
};

// One folder reached by a walk: its path and, when files were asked for,
// its files' folded names in name order. A folder that could not be listed
// is visited too, with no files.
struct FolderVisit {
  std::string folder;
  std::vector<std::string> foldedFiles;
};

// Hands each visit on; false when the walk is to stop.
using VisitFolder = std::function<bool(FolderVisit&)>;

// Where a scan's folders come from: the disk's walk, or a tree in memory in
// tests.
class FolderSource {
 public:
  virtual ~FolderSource() = default;
  // Folders left out of every walk, such as the program's own quarantine.
  virtual void Exclude(const std::string& folder) = 0;
  // Walks the tree under `location`; false when a visit asked to stop.
  virtual bool Walk(const std::string& location, bool withFiles, const VisitFolder& visit) = 0;
};

// How deep below the scan root a folder of unknown identity is still
// entered; real trees are far shallower, a loop of links is not.
constexpr size_t kUnknownIdentityDepth = 128;

}  // namespace core
