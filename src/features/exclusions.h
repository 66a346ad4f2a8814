// Files the user chose to keep: never listed by a scan, never quarantined,
// never ended by the process pass. Stored per user beside the settings, one
// text value per file (name: its full path, data: the description it had),
// so an administrator can hand them out as a .reg file.
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

// Every stored exclusion, in the order the registry lists them.
std::vector<Exclusion> ReadExclusions();
// Stores the file as excluded; one excluded already (in any case) is
// replaced. The path is kept with a single "\" between its parts.
void AddExclusion(const std::string& path, const std::string& description);
// Takes the exclusion away; the path may differ from the stored one in case.
void RemoveExclusion(const std::string& path);
// The excluded paths, as the scan and the removal ask about them.
core::PathSet ExcludedPaths();
// Excludes the files of the detections at `chosen` and takes every detection
// of those files out of `detections`, as the next scan would not list them:
// other entries naming the same file too. Gives back the positions taken,
// ascending.
std::vector<size_t> IgnoreDetections(std::vector<core::Detection>& detections, const std::vector<size_t>& chosen);

}  // namespace features
