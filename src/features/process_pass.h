// The process pass: before any file is removed, every running program that
// the definitions name is ended, one termination for each naming entry.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/definitions_index.h"
#include "core/detection.h"
#include "core/path_set.h"

namespace features {

struct NamedProcess {
  uint32_t id;
  std::string executablePath;
  bool ended;  // by the last termination tried
};

// Ends the running programs the definitions name, never this program nor a
// core part of Windows, nor one whose image file is in `kept` (the files the
// user excluded or chose not to remove). `beforeEachTermination` is called
// before every termination attempt (one per naming entry), so the user is
// told first.
std::vector<NamedProcess> EndNamedProcesses(const core::DefinitionsIndex& index, const core::PathSet& kept,
                                            const std::function<void()>& beforeEachTermination);

// The files the user keeps: the excluded ones, and the detections of which
// no line at the `marked` positions names the file.
core::PathSet KeptFiles(const std::vector<core::Detection>& detections, const std::vector<size_t>& marked);

// The pass before the removal of the detections at `marked`, where the
// operating system is one the pass knows; false, with no program looked
// for, where it is not.
bool RunProcessPass(const core::DefinitionsIndex& index, const std::vector<core::Detection>& detections,
                    const std::vector<size_t>& marked, const std::function<void()>& beforeEachTermination);

}  // namespace features
