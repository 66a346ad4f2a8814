// The process pass: before any file is removed, every running program that
// the definitions name is ended, one termination for each naming entry.
#pragma once

#include <functional>
#include <vector>

#include "core/definitions_index.h"
#include "core/detection.h"

namespace features {

// Before the removal of the detections at `marked`, ends the running
// programs the definitions name, never this program nor a core part of
// Windows, nor one whose image file the user keeps (excluded, or detected but
// not marked). `beforeEachTermination` is called before every termination
// attempt (one per naming entry), so the user is told first. False, with no
// program looked for, where the operating system is not one the pass knows.
bool RunProcessPass(const core::DefinitionsIndex& index, const std::vector<core::Detection>& detections,
                    const std::vector<size_t>& marked, const std::function<void()>& beforeEachTermination);

}  // namespace features
