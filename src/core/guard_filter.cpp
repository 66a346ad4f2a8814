#include "core/guard_filter.h"

#include "core/definitions_syntax.h"
#include "core/paths.h"
#include "core/scan_text.h"

namespace core {

GuardFilter::GuardFilter(const DefinitionsList& list, const DefinitionsIndex& index, std::string_view quarantineFolder)
    : list_(list), index_(index), quarantinePrefix_(index.fold()(FolderPathOf(quarantineFolder))) {
  if (quarantinePrefix_.empty() || quarantinePrefix_.back() != '\\') quarantinePrefix_ += '\\';
}

std::vector<GuardFinding> GuardFilter::Consider(FileChange change, std::string_view path,
                                                const std::function<bool(const std::string&)>& isExcluded,
                                                const std::optional<FileState>& now) {
  std::vector<GuardFinding> findings;
  const std::string folded = index_.fold()(path);
  // A file that goes is new when it comes again, however alike.
  if (change == FileChange::Removed || change == FileChange::RenamedFrom) reported_.erase(folded);
  if (change != FileChange::Created && change != FileChange::RenamedTo && change != FileChange::Found) {
    return findings;
  }
  const size_t slash = path.rfind('\\');
  if (slash == std::string_view::npos || slash + 1 == path.size() || !now) return findings;
  if (folded.compare(0, quarantinePrefix_.size(), quarantinePrefix_) == 0) return findings;
  const std::vector<size_t> positions = index_.Find(index_.fold()(path.substr(slash + 1)));
  if (positions.empty()) return findings;
  const auto reported = reported_.find(folded);
  if (reported != reported_.end() && reported->second == *now) return findings;
  const std::string fullPath(path);
  if (isExcluded && isExcluded(fullPath)) return findings;
  reported_[folded] = *now;
  // The folder part as a scan would name it: a drive root keeps its "\".
  const std::string_view folder = path.substr(0, slash == 2 ? slash + 1 : slash);
  for (size_t position : positions) {
    Entry entry;
    SplitEntry(list_.Record(position), entry);
    findings.push_back({fullPath, DetectionIn(folder, entry.name, entry.description)});
  }
  return findings;
}

std::string ChangedPath(std::string_view root, std::string_view relative) { return JoinPath(root, relative); }

}  // namespace core
