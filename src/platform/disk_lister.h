// The scan engine's view of the real file system.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "scan/scan_engine.h"

namespace platform {

class DiskLister : public scan::FolderLister {
 public:
  // `yield` is called between the parts of a long listing and answers true
  // when the listing is to stop; the folder then counts as unreadable.
  explicit DiskLister(std::function<bool()> yield = {}) : yield_(std::move(yield)) {}

  bool List(const std::string& folder, const scan::FolderId* self, std::vector<std::string>& files,
            std::vector<scan::Subfolder>& subfolders) override;
  bool Identify(const std::string& folder, scan::FolderId& id) override;

 private:
  std::function<bool()> yield_;
};

// Lower-cases text with the system's rules, as the shell compares names.
std::string FoldCase(std::string_view text);

// The logical drives in drive-letter order, each as "<letter>:" with the
// letter in lower case.
std::vector<std::string> LogicalDrives();

// True for a drive list entry ("a:") naming a floppy drive: a: or b:
// reported as removable. The disk itself is not touched.
bool IsFloppyDrive(const std::string& entry);

// A full drive path in the form the file functions take beyond 260
// characters and with names that end in blanks or dots.
std::wstring ExtendedPath(const std::string& path);

}  // namespace platform
