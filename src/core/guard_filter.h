// Decides which changes the guard reports: a file created, or renamed to,
// a name that a definitions record holds; never inside the program's own
// quarantine folder, never an excluded file, and each file once for the
// whole run of the guard.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/definitions_index.h"
#include "core/detection.h"
#include "core/definitions_list.h"

namespace core {

enum class FileChange { Created, Removed, Modified, RenamedFrom, RenamedTo };

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
  // for each record that names it, none for everything else.
  std::vector<GuardFinding> Consider(FileChange change, std::string_view path,
                                     const std::function<bool(const std::string&)>& isExcluded);
  // The file at `path` counts as reported: the user brought it back from
  // quarantine, and is not told of it again as it arrives.
  void Pass(std::string_view path) { reported_.insert(index_.fold()(path)); }

 private:
  const DefinitionsList& list_;
  const DefinitionsIndex& index_;
  // Folded, with a final "\".
  std::string quarantinePrefix_;
  // Folded full paths already reported.
  std::set<std::string> reported_;
};

// The full path of a change that a watch of `root` reports by its path
// relative to the root ("C:\" and "sub\a.exe", or "C:\x" and "a.exe").
std::string ChangedPath(std::string_view root, std::string_view relative);

}  // namespace core
