#include "features/exclusions.h"

#include "core/exclusion_path.h"
#include "features/disk_folders.h"
#include "features/settings.h"
#include "platform/files.h"
#include "platform/registry.h"

namespace features {
namespace {

constexpr const char* kExclusionsSection = "EXCLUSIONS";

std::string ExclusionsKeyPath() { return AppSectionKeyPath(kExclusionsSection); }

std::vector<Exclusion> ExclusionsOf(std::vector<platform::NamedText> values) {
  std::vector<Exclusion> exclusions;
  exclusions.reserve(values.size());
  for (platform::NamedText& value : values) {
    if (value.name.empty()) continue;  // the key's default value names no file
    exclusions.push_back({std::move(value.name), std::move(value.text)});
  }
  return exclusions;
}

// Deletes every stored value that names the file at `path`, but `kept`.
// Value names compare without regard to case.
void DeleteSpellingsOf(const std::string& path, const std::string& kept) {
  core::PathSet target(FoldFileName);
  target.Add(path);
  std::vector<std::string> names;
  for (const Exclusion& stored : ReadExclusions()) {
    if (FoldFileName(stored.path) != FoldFileName(kept) && target.Contains(stored.path)) names.push_back(stored.path);
  }
  platform::DeleteUserValues(ExclusionsKeyPath(), names);
}

void AddInEffect(core::PathSet& paths, const std::vector<Exclusion>& exclusions) {
  for (const Exclusion& exclusion : exclusions) {
    const core::ExclusionPath read = core::ReadExclusionPath(exclusion.path);
    if (read.problem.empty()) paths.Add(platform::LongPathOf(read.path));
  }
}

}  // namespace

std::vector<Exclusion> ReadExclusions() { return ExclusionsOf(platform::ReadUserTexts(ExclusionsKeyPath())); }

std::vector<Exclusion> PolicyExclusions() {
  return ExclusionsOf(platform::ReadMachineTexts(PolicySectionKeyPath(kExclusionsSection)));
}

void AddExclusion(const std::string& path, const std::string& description) {
  // Written first, so that a stop in between never leaves the file without
  // its exclusion. Written by hand, the same file may be stored under another
  // spelling ("C:\\x.exe"); that one is replaced, not kept beside.
  const std::string plain = core::PlainPath(path);
  platform::WriteUserText(ExclusionsKeyPath(), plain, description);
  DeleteSpellingsOf(path, plain);
}

void RemoveExclusions(const std::vector<std::string>& paths) {
  // By name alone: the store is not read again for each, nor at all, so
  // that thousands go at once.
  platform::DeleteUserValues(ExclusionsKeyPath(), paths);
}

core::PathSet ExcludedPaths() {
  core::PathSet paths(FoldFileName);
  AddInEffect(paths, PolicyExclusions());
  AddInEffect(paths, ReadExclusions());
  return paths;
}

bool IsExcluded(const core::PathSet& excluded, const std::string& path) {
  return !excluded.empty() && excluded.Covers(platform::LongPathOf(path));
}

}  // namespace features
