// Quarantine from a list of detections, as the scan window and the guard
// window both offer it.
#pragma once

#include <windows.h>

#include <vector>

#include "core/detection.h"

namespace windows {

struct Program;

// Ends the programs the definitions name, then moves into quarantine the
// detections of the marked lines of `list`, whose lines show `detections`
// in order; the lines and detections whose file is gone leave both, and
// files that stay are named in one message owned by `owner`.
void QuarantineMarkedDetections(Program& program, HWND owner, HWND list, std::vector<core::Detection>& detections);

// The positions of the marked lines of a list, ascending.
std::vector<size_t> MarkedLines(HWND list);

}  // namespace windows
