#include "features/exclusions.h"

#include "core/exclusion_path.h"
#include "core/paths.h"
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
    // Earlier releases stored a file at a drive's root as "C:\\x.exe".
    exclusions.push_back({core::PlainPath(value.name), std::move(value.text)});
  }
  return exclusions;
}

// Deletes every stored value that names the file at `path`, but `kept`.
// Value names compare without regard to case.
void DeleteSpellingsOf(const std::string& path, const std::string& kept) {
  core::PathSet target(FoldFileName);
  target.Add(path);
  std::vector<std::string> names;
  for (const platform::NamedText& stored : platform::ReadUserTexts(ExclusionsKeyPath())) {
    if (!stored.name.empty() && FoldFileName(stored.name) != FoldFileName(kept) && target.Contains(stored.name)) {
      names.push_back(stored.name);
    }
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
  // its exclusion. The same file stored under another spelling (by an
  // earlier release, or by hand) is replaced, not kept beside.
  const std::string plain = core::PlainPath(path);
  platform::WriteUserText(ExclusionsKeyPath(), plain, description);
  DeleteSpellingsOf(path, plain);
}

void RemoveExclusions(const std::vector<std::string>& paths) {
  // The store is read once, not again for each, so that thousands go at
  // once; each value is deleted under the name it is stored by.
  core::PathSet removed(FoldFileName);
  for (const std::string& path : paths) removed.Add(path);
  std::vector<std::string> names;
  for (const platform::NamedText& stored : platform::ReadUserTexts(ExclusionsKeyPath())) {
    if (!stored.name.empty() && removed.Contains(stored.name)) names.push_back(stored.name);
  }
  platform::DeleteUserValues(ExclusionsKeyPath(), names);
}

core::PathSet ExcludedPaths() {
  core::PathSet paths(FoldFileName);
  AddInEffect(paths, PolicyExclusions());
  AddInEffect(paths, ReadExclusions());
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

bool IsExcluded(const core::PathSet& excluded, const std::string& path) {
  return !excluded.empty() && excluded.Covers(platform::LongPathOf(path));
}

}  // namespace features
