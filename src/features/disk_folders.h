// The scan engine's view of the real file system, and the case folding that
// compares file names the way the shell does.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/folder_walk.h"

namespace features {

class DiskFolderLister : public core::FolderLister {
 public:
  // `yield` is called between the parts of a long listing and answers true
  // when the listing is to stop; the folder then counts as unreadable.
  explicit DiskFolderLister(std::function<bool()> yield = {}) : yield_(std::move(yield)) {}

  bool List(const std::string& folder, const core::FolderId* self, std::vector<std::string>& files,
            std::vector<core::Subfolder>& subfolders) override;
  bool Identify(const std::string& folder, core::FolderId& id) override;

 private:
  std::function<bool()> yield_;
};

// True when `path` is `folder` or lies below it, told by the folders'
// identities: another name for the same folder (its short name, a drive
// letter made for it, a link to it) counts as well as its own.
bool LiesWithin(std::string path, const std::string& folder);

// Lower-cases a file name with the system's rules; ASCII names, nearly all
// of them, without a round trip through the system.
std::string FoldFileName(std::string_view name);

}  // namespace features
