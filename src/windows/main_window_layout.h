// Layout table of the main window.
#pragma once

#include <vector>

#include "toolkit/controls.h"

namespace windows {

// Outer size of the main window, fixed.
constexpr int kMainWidthTwips = 7455;
constexpr int kMainHeightTwips = 6840;

extern const char* const kTabCaptions[6];
std::vector<toolkit::ControlRow> MainWindowControls();

}  // namespace windows
