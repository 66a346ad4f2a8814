#include "features/exclusions.h"

#include "features/disk_folders.h"
#include "features/settings.h"
#include "platform/registry.h"

namespace features {
namespace {

std::string ExclusionsKeyPath() { return AppSectionKeyPath("EXCLUSIONS"); }

// Deletes every stored value that names the file at `path`, but `kept`.
// Value names compare without regard to case.
void DeleteSpellingsOf(const std::string& path, const std::string* kept) {
  core::PathSet target(FoldFileName);
  target.Add(path);
  for (const Exclusion& stored : ReadExclusions()) {
    if (kept != nullptr && FoldFileName(stored.path) == FoldFileName(*kept)) continue;
    if (target.Contains(stored.path)) platform::DeleteUserValue(ExclusionsKeyPath(), stored.path);
  }
}

}  // namespace

std::vector<Exclusion> ReadExclusions() {
  std::vector<Exclusion> exclusions;
  for (platform::NamedText& value : platform::ReadUserTexts(ExclusionsKeyPath())) {
    if (value.name.empty()) continue;  // the key's default value names no file
    exclusions.push_back({std::move(value.name), std::move(value.text)});
  }
  return exclusions;
}

void AddExclusion(const std::string& path, const std::string& description) {
  // Written first, so that a stop in between never leaves the file without
  // its exclusion. Written by hand, the same file may be stored under another
  // spelling ("C:\\x.exe"); that one is replaced, not kept beside.
  const std::string plain = core::PlainPath(path);
  platform::WriteUserText(ExclusionsKeyPath(), plain, description);
  DeleteSpellingsOf(path, &plain);
}

void RemoveExclusion(const std::string& path) { DeleteSpellingsOf(path, nullptr); }

core::PathSet ExcludedPaths() {
  core::PathSet paths(FoldFileName);
  for (const Exclusion& exclusion : ReadExclusions()) paths.Add(exclusion.path);
  return paths;
}

}  // namespace features
