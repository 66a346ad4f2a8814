// Files and folders the user chose to keep: never listed by a scan, never
// quarantined, never ended by the process pass; a folder covers every file
// below it. Stored per user beside the settings, one text value per file
// or folder (name: its full path, data: the description it had), so an
// administrator can hand them out as a .reg file, or set them for every
// user of the machine under the policy key, where the user cannot remove
// them.
#pragma once

#include <string>
#include <vector>

#include "core/detection.h"
#include "core/path_set.h"

namespace features {

struct Exclusion {
  std::string path;
  std::string description;

  bool operator==(const Exclusion& other) const { return path == other.path && description == other.description; }
  bool operator!=(const Exclusion& other) const { return !(*this == other); }
};

// The user's stored exclusions, in the order the registry lists them.
std::vector<Exclusion> ReadExclusions();
// Those the administrator set for every user of the machine.
std::vector<Exclusion> PolicyExclusions();
// Stores the file or folder as excluded; one excluded already (in any case)
// is replaced. The path is kept with a single "\" between its parts.
void AddExclusion(const std::string& path, const std::string& description);
// Takes away the user's exclusions stored under these paths, as
// ReadExclusions gives them (case aside), with one opening of the store.
void RemoveExclusions(const std::vector<std::string>& paths);
// Every exclusion in effect, the user's and the administrator's, each by
// its long path; ask it with IsExcluded.
core::PathSet ExcludedPaths();
// Excludes the files of the detections at `chosen` and takes every detection
// of those files out of `detections`, as the next scan would not list them:
// other entries naming the same file too. Gives back the positions taken,
// ascending.
std::vector<size_t> IgnoreDetections(std::vector<core::Detection>& detections, const std::vector<size_t>& chosen);
// Whether `excluded` covers the file, however its path is spelt (short
// names, doubled "\", case).
bool IsExcluded(const core::PathSet& excluded, const std::string& path);

}  // namespace features
