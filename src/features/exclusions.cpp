#include "features/exclusions.h"

#include "core/paths.h"

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
  target.Add(core::PlainPath(path));
  for (const platform::NamedText& stored : platform::ReadUserTexts(ExclusionsKeyPath())) {
    if (kept != nullptr && FoldFileName(stored.name) == FoldFileName(*kept)) continue;
    if (target.Contains(core::PlainPath(stored.name))) platform::DeleteUserValue(ExclusionsKeyPath(), stored.name);
  }
}

}  // namespace

std::vector<Exclusion> ReadExclusions() {
  std::vector<Exclusion> exclusions;
  for (platform::NamedText& value : platform::ReadUserTexts(ExclusionsKeyPath())) {
    if (value.name.empty()) continue;  // the key's default value names no file
    // Earlier releases stored a file at a drive's root as "C:\\x.exe".
    exclusions.push_back({core::PlainPath(value.name), std::move(value.text)});
  }
  return exclusions;
}

void AddExclusion(const std::string& path, const std::string& description) {
  // Written first, so that a stop in between never leaves the file without
  // its exclusion. The same file stored under another spelling (by an
  // earlier release, or by hand) is replaced, not kept beside.
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

std::vector<size_t> IgnoreDetections(std::vector<core::Detection>& detections, const std::vector<size_t>& chosen) {
  core::PathSet ignored(FoldFileName);
  for (size_t i : chosen) {
    if (i >= detections.size()) continue;
    AddExclusion(detections[i].path, detections[i].description);
    ignored.Add(detections[i].path);
  }
  std::vector<size_t> taken;
  std::vector<core::Detection> kept;
  for (size_t i = 0; i < detections.size(); ++i) {
    if (ignored.Contains(detections[i].path)) {
      taken.push_back(i);
    } else {
      kept.push_back(std::move(detections[i]));
    }
  }
  detections = std::move(kept);
  return taken;
}

}  // namespace features
