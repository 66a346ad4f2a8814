// Decides which changes the guard reports: a file created, or renamed to,
// a name that a definitions record holds, or found by a check after missed
// changes; never inside the program's own quarantine folder, never an
// excluded file, never one already gone, and each file once until it goes
// or comes back changed.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/definitions_index.h"
#include "core/detection.h"
#include "core/definitions_list.h"

namespace core {

// Found: a check of the folders, made after changes were missed, met it.
enum class FileChange { Created, Removed, Modified, RenamedFrom, RenamedTo, Found };

// What tells one file at a path from another written there later.
struct FileState {
  uint64_t size = 0;
  uint64_t writeTime = 0;
  bool operator==(const FileState& other) const { return size == other.size && writeTime == other.writeTime; }
};

// A file the guard found, with the line the scan window would show for it.
struct GuardFinding {
  std::string path;     // the file as the change named it
  Detection detection;  // as a scan would show it
};

class GuardFilter {
 public:
  // `list` and `index` must outlive the filter.
  GuardFilter(const DefinitionsList& list, const DefinitionsIndex& index, std::string_view quarantineFolder);

  // The findings for one change of the file at `path` (a full path): one
  // for each record that names it, none for everything else. `now` is the
  // file as it is when the change is considered; none when it is gone.
  std::vector<GuardFinding> Consider(FileChange change, std::string_view path,
                                     const std::function<bool(const std::string&)>& isExcluded,
                                     const std::optional<FileState>& now);
  // The file at `path`, as `now` describes it, counts as reported: the user
  // brought it back from quarantine, and is not told of it again as it
  // arrives.
  void Pass(std::string_view path, const FileState& now) { reported_[index_.fold()(path)] = now; }

 private:
  const DefinitionsList& list_;
  const DefinitionsIndex& index_;
  // Folded, with a final "\".
  std::string quarantinePrefix_;
  // Folded full paths already reported, with the file each was then.
  std::map<std::string, FileState> reported_;
};

// The full path of a change that a watch of `root` reports by its path
// relative to the root ("C:\" and "sub\a.exe", or "C:\x" and "a.exe").
std::string ChangedPath(std::string_view root, std::string_view relative);

}  // namespace core
